#include "app/StatusProgress.h"

#include <QLabel>
#include <QProgressBar>

StatusProgress::StatusProgress(QLabel* pane)
{
    if (!pane)
        return;
    bar_ = new QProgressBar(pane);
    bar_->setObjectName("statusProgress");
    bar_->setRange(0, 100);
    bar_->setTextVisible(false);
    bar_->setGeometry(pane->rect());
    bar_->hide();
}

StatusProgress::~StatusProgress()
{
    delete bar_;
}

void StatusProgress::Reset()
{
    ProgressSink::Reset();
    Show(0);
}

void StatusProgress::SetPosition(int percent)
{
    if (percent == position_ && bar_ && bar_->isVisible())
        return;
    ProgressSink::SetPosition(percent);
    Show(percent);
}

void StatusProgress::Show(int percent)
{
    if (!bar_)
        return;
    bar_->setGeometry(bar_->parentWidget()->rect());
    bar_->setValue(percent);
    bar_->show();
    bar_->repaint();
    ++repaints_;
}
