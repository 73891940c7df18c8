#pragma once

#include <QObject>

#include <atomic>
#include <memory>
#include <vector>

class AdjustTarget;
class ImageBuffer;
class ImageEffect;

// The "Preview" check box's live effect on the document. Each request runs its effects on a copy of the
// backup on a worker thread and, when done, shows the result on the target. Requests never queue: one
// made while another runs replaces any earlier waiting one, so a dragged trackbar costs one run after the
// current, not one per position, and the dialog's own thread stays free for input.
class LiveDocumentPreview : public QObject {
    Q_OBJECT
public:
    using Effects = std::vector<std::unique_ptr<ImageEffect>>;

    // The backup must stay unchanged for as long as this object lives.
    LiveDocumentPreview(AdjustTarget& target, const ImageBuffer& backup, QObject* parent = nullptr);
    ~LiveDocumentPreview() override;

    // Effects are made on the caller's thread (some seed from the clock) and run in order.
    void Request(Effects effects);
    // Cuts the running effect short, forgets the waiting one and leaves the document as it is.
    void Stop();

    bool IsBusy() const { return current_ != nullptr; }
    bool HasWaiting() const { return waiting_ != nullptr; }

signals:
    // A result reached the document.
    void Applied();

private:
    struct Job;

    void Start(std::unique_ptr<Effects> effects);
    void Finished(const std::shared_ptr<Job>& job);

    AdjustTarget& target_;
    const ImageBuffer& backup_;
    std::shared_ptr<Job> current_;
    std::unique_ptr<Effects> waiting_;
};
