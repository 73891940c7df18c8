#include "CChildFrame.h"

#include "CKestrelDoc.h"

#include <QCloseEvent>
#include <QMdiSubWindow>

CChildFrame::CChildFrame(std::unique_ptr<CKestrelDoc> document, QWidget* parent)
    : QWidget(parent)
    , document_(std::move(document))
{
    setWindowTitle(document_->Title());
    setAttribute(Qt::WA_DeleteOnClose);
    connect(document_.get(), &CKestrelDoc::TitleChanged, this, [this](const QString& title) {
        setWindowTitle(title);
        emit TitleChanged(title);
    });
}

CChildFrame::~CChildFrame() = default;

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
