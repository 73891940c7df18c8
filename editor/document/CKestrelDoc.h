#pragma once

#include "editor/document/EditHistory.h"
#include "editor/document/HistoryEntry.h"
#include "editor/objects/ObjectList.h"
#include "imaging/ImageBuffer.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <span>
#include <string>

class ImageEffect;
class ProgressSink;

// The document of one editor tab: its image, the annotation objects over it, and the undo history, which
// also keeps the modified flag that closing consults. Views observe it through Updated(); the window layer
// supplies the progress bar and the wait cursor through the two hooks.
class CKestrelDoc : public QObject {
    Q_OBJECT
public:
    static constexpr int kHistoryLimit = 10;
    static constexpr int kNewWidth = 640;
    static constexpr int kNewHeight = 480;

    explicit CKestrelDoc(QObject* parent = nullptr);
    ~CKestrelDoc() override;

    // Framework steps: a new untitled document ("Capture1", "Capture2", ...) or one opened from a file.
    bool OnNewDocument();
    bool OnOpenDocument(const std::string& path);
    // Whether the last OnOpenDocument failed because the decoder itself failed (crashed, was killed, ran
    // out of memory or time): that opens no document, and the caller tells the user.
    bool OpenFailedInDecoder() const { return openFailedInDecoder_; }
    // Writes the image with every object composited onto a copy; the document keeps its objects.
    bool OnSaveDocument(const std::string& path);
    // Save under path and, only when that worked, take it as the document's path and title.
    bool SaveAs(const std::string& path);

    // File New's picture: 640 x 480 opaque white, marked modified.
    void MakeNewImage();

    // The picture is shared with the history entries that recorded it until one side changes it. Readers
    // take the const form; the mutable one first gives the document a picture of its own, so a writer
    // takes it after recording its snapshot and does not keep it across a later one.
    ImageBuffer& Image();
    const ImageBuffer& Image() const { return *image_; }
    // Replaces the picture without copying it.
    void SetImage(ImageBuffer image) { image_ = std::make_shared<ImageBuffer>(std::move(image)); }
    std::shared_ptr<const ImageBuffer> ShareImage() const { return image_; }
    void AdoptImage(std::shared_ptr<const ImageBuffer> image);
    ObjectList& Objects() { return objects_; }
    const ObjectList& Objects() const { return objects_; }

    // Modified is any state but the one last saved: every recorded step sets it, and undo or redo back to
    // the saved state clears it.
    bool IsModified() const { return !history_.IsAtSaved(); }
    // True: the present state differs from the saved one even without a step of its own (a new picture, a
    // capture placed in the document). False: the present state counts as saved.
    void SetModifiedFlag(bool modified);
    const QString& Title() const { return title_; }
    void SetTitle(const QString& title);
    const std::string& PathName() const { return pathName_; }
    void SetPathName(const std::string& path);

    // Undoable changes. A change that fails part way (out of memory) leaves the image as it was, records
    // no step, emits ChangeFailed once and gives false.
    bool ApplyImageEffect(ImageEffect* effect);
    // The effects run in order as one step; none may be null.
    bool ApplyImageEffects(std::span<ImageEffect* const> effects);
    bool ApplyHistoryEntry(std::unique_ptr<HistoryEntry> entry);
    void RecordUndoSnapshot(const ImageBuffer& image);
    // A step that starts from the document as it is now, recorded later with RecordStep only if the
    // change goes ahead (a dialog that may still be cancelled); dropping it leaves the history untouched.
    std::unique_ptr<HistoryEntry> SnapshotStep() const;
    void RecordStep(std::unique_ptr<HistoryEntry> step);
    bool Undo();
    bool Redo();
    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    EditHistory& History() { return history_; }

    // The run every image command takes: to 32 bpp, the effect with undo, then back to an opaque 32-bpp
    // image (the colours of the 24-bit result, so objects stay visible). A null effect only normalises.
    bool RunImageEffect(ImageEffect* effect);
    // The Image and Filter menu commands that need no dialog; false when id needs a dialog.
    bool RunImageCommand(int id);

    void UpdateAllViews() { emit Updated(); }

    // What the user reads when a change fails.
    static constexpr const char* kChangeFailedMessage
        = "There is not enough memory to finish this command. The image has not been changed.";

    using ProgressFactory = std::function<std::unique_ptr<ProgressSink>()>;
    using BusyHandler = std::function<void(bool busy)>;
    void SetProgressFactory(ProgressFactory factory) { progressFactory_ = std::move(factory); }
    void SetBusyHandler(BusyHandler handler) { busyHandler_ = std::move(handler); }

signals:
    void Updated();
    // Undo and redo drop the view's selection first.
    void SelectionClearRequested();
    void TitleChanged(const QString& title);
    // An image change failed for want of memory; the image is as it was.
    void ChangeFailed();

private:
    class DocumentHistory : public EditHistory {
    public:
        explicit DocumentHistory(CKestrelDoc& document)
            : document_(document)
        {
        }

    protected:
        void UndoOne(HistoryEntry& entry) override { entry.Undo(document_); }
        void RedoOne(HistoryEntry& entry) override { entry.Redo(document_); }

    private:
        CKestrelDoc& document_;
    };

    std::unique_ptr<ProgressSink> MakeProgress() const;
    void FinishImageCommand();
    // Records a change that applied, or reports one that failed.
    bool FinishChange(std::unique_ptr<HistoryEntry> entry, bool applied);

    DocumentHistory history_;
    std::shared_ptr<ImageBuffer> image_ = std::make_shared<ImageBuffer>();
    bool openFailedInDecoder_ = false;
    ObjectList objects_;
    QString title_;
    std::string pathName_;
    ProgressFactory progressFactory_;
    BusyHandler busyHandler_;
};
