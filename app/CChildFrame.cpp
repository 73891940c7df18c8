#include "CChildFrame.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMdiSubWindow>

CChildFrame::CChildFrame(const QString& title, QWidget* parent)
    : QWidget(parent)
    , title_(title)
{
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
}

void CChildFrame::SetTitle(const QString& title)
{
    title_ = title;
    setWindowTitle(title);
    emit TitleChanged(title);
}

void CChildFrame::SetModified(bool modified)
{
    modified_ = modified;
}

bool CChildFrame::SaveTo(const QString& path)
{
    if (!saveHandler_ || !saveHandler_(path))
        return false;
    // The name changes only once the file is written.
    SetTitle(QFileInfo(path).fileName());
    return true;
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
