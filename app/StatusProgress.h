#pragma once

#include "imaging/ProgressSink.h"

class QLabel;
class QProgressBar;

// The progress of a long image operation, shown as a bar over the status bar's stretching pane for as
// long as the sink exists. The operation blocks the event loop, so the bar paints itself at once, and
// only when the percentage changes.
class StatusProgress : public ProgressSink {
public:
    // pane is the status bar's stretching pane (13002); without one the sink only keeps the value.
    explicit StatusProgress(QLabel* pane);
    ~StatusProgress() override;
    StatusProgress(const StatusProgress&) = delete;
    StatusProgress& operator=(const StatusProgress&) = delete;

    void Reset() override;
    void SetPosition(int percent) override;

    const QProgressBar* Bar() const { return bar_; }
    int Repaints() const { return repaints_; }

private:
    void Show(int percent);

    QProgressBar* bar_ = nullptr;
    int repaints_ = 0;
};
