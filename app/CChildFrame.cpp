#include "app/CChildFrame.h"

#include "editor/document/CKestrelDoc.h"
#include "editor/ui/CKestrelView.h"

#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QVBoxLayout>

CChildFrame::CChildFrame(std::shared_ptr<CKestrelDoc> document, QWidget* parent)
    : QWidget(parent)
    , document_(std::move(document))
{
    ShowTitle();
    setAttribute(Qt::WA_DeleteOnClose);
    view_ = new CKestrelView(document_.get(), this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setFocusProxy(view_);
    connect(document_.get(), &CKestrelDoc::TitleChanged, this, [this](const QString& title) {
        ShowTitle();
        emit TitleChanged(title);
    });
}

CChildFrame::~CChildFrame()
{
    // Members go before child widgets: the view must not outlive the document it shows, which this
    // window may be the last to hold.
    delete view_;
}

void CChildFrame::SetWindowNumber(int number)
{
    windowNumber_ = number;
    ShowTitle();
}

void CChildFrame::ShowTitle()
{
    const QString& title = document_->Title();
    setWindowTitle(windowNumber_ > 0 ? title + ':' + QString::number(windowNumber_) : title);
}

QString CChildFrame::Title() const
{
    return document_->Title();
}

bool CChildFrame::IsModified() const
{
    return document_->IsModified();
}

void CChildFrame::SetModified(bool modified)
{
    document_->SetModifiedFlag(modified);
}

bool CChildFrame::SaveTo(const QString& path)
{
    return document_->SaveAs(path.toStdString());
}

void CChildFrame::CloseDocument()
{
    // Inside the tabbed area the sub-window is what closes; it takes this widget with it.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    if (closeGuard_ && !closeGuard_(*this))
        event->ignore();
    else
        event->accept();
}
