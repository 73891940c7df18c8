#include "app/CAboutDlg.h"

#include "app/AppIcons.h"
#include "controls/CHyperLink.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
CHyperLink* LinkLabel(const QString& text, const QUrl& url, int id, QWidget* parent)
{
    auto* label = new CHyperLink(text, url.toString(), parent);
    label->setObjectName(QString("link%1").arg(id));
    return label;
}
} // namespace

CAboutDlg::CAboutDlg(const QUrl& homePage, const QUrl& supportPage, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle("About Lumora!");
    setObjectName("dialog100");
    auto* icon = new QLabel(this);
    icon->setPixmap(AppIcons::Application().pixmap(48, 48));
    auto* text = new QVBoxLayout;
    text->addWidget(new QLabel("Lumora Version 1.0", this));
    text->addWidget(new QLabel("Screen capture and image editor", this));
    text->addWidget(LinkLabel("Lumora home page", homePage, 1042, this));
    text->addWidget(LinkLabel("Support", supportPage, 1043, this));
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
}
