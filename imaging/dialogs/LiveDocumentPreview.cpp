#include "imaging/dialogs/LiveDocumentPreview.h"

#include "imaging/ImageBuffer.h"
#include "imaging/ImageEffect.h"
#include "imaging/ProgressSink.h"
#include "imaging/dialogs/AdjustTarget.h"

#include <QThread>

#include <exception>

namespace {
struct Cancelled { };

// Effects report progress row by row; a cancelled run ends at the next report.
class CancellingProgress final : public ProgressSink {
public:
    explicit CancellingProgress(const std::atomic<bool>& cancelled)
        : cancelled_(cancelled)
    {
    }
    void SetPosition(int percent) override
    {
        if (cancelled_.load(std::memory_order_relaxed))
            throw Cancelled {};
        position_ = percent;
    }

private:
    const std::atomic<bool>& cancelled_;
};
} // namespace

struct LiveDocumentPreview::Job {
    std::unique_ptr<Effects> effects;
    ImageBuffer result;
    bool done = false;
    std::atomic<bool> cancelled { false };
    QThread* thread = nullptr;
};

LiveDocumentPreview::LiveDocumentPreview(AdjustTarget& target, const ImageBuffer& backup, QObject* parent)
    : QObject(parent)
    , target_(target)
    , backup_(backup)
{
}

LiveDocumentPreview::~LiveDocumentPreview()
{
    Stop();
}

void LiveDocumentPreview::Request(Effects effects)
{
    auto owned = std::make_unique<Effects>(std::move(effects));
    if (current_)
        waiting_ = std::move(owned);
    else
        Start(std::move(owned));
}

void LiveDocumentPreview::Start(std::unique_ptr<Effects> effects)
{
    auto job = std::make_shared<Job>();
    job->effects = std::move(effects);
    const ImageBuffer* backup = &backup_;
    // The worker touches only the job and reads the backup; the document is changed on this thread.
    job->thread = QThread::create([job, backup] {
        try {
            ImageBuffer image(*backup);
            image.ConvertTo(32);
            CancellingProgress progress(job->cancelled);
            for (const auto& effect : *job->effects)
                if (!image.ApplyEffect(*effect, &progress))
                    return;
            job->result = std::move(image);
            job->done = true;
        } catch (const Cancelled&) {
        } catch (const std::exception&) {
            // Out of memory before the effects ran (the copy, its conversion): no preview this time; the
            // document keeps its picture, and applying says what went wrong.
        }
    });
    current_ = job;
    connect(job->thread, &QThread::finished, this, [this, job] { Finished(job); });
    job->thread->start();
}

void LiveDocumentPreview::Finished(const std::shared_ptr<Job>& job)
{
    // A job that Stop already waited for has been dealt with.
    if (job != current_)
        return;
    job->thread->deleteLater();
    current_.reset();
    if (job->done) {
        target_.ShowPicture(std::move(job->result));
        emit Applied();
    }
    if (waiting_)
        Start(std::move(waiting_));
}

void LiveDocumentPreview::Stop()
{
    waiting_.reset();
    if (!current_)
        return;
    const std::shared_ptr<Job> job = std::move(current_);
    job->cancelled = true;
    job->thread->wait();
    delete job->thread;
}
