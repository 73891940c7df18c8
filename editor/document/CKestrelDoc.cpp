#include "editor/document/CKestrelDoc.h"

#include "editor/codecs/ImageBufferFile.h"
#include "editor/codecs/SaveImageFile.h"
#include "editor/document/ImageCommands.h"
#include "editor/objects/ObjectRenderer.h"
#include "imaging/ImageEffect.h"
#include "imaging/ProgressSink.h"

#include <QFileInfo>

namespace {
// Untitled documents are numbered across the whole run, as tabs are opened.
int g_untitledCount = 0;

bool IsOpaque(const ImageBuffer& image)
{
    const int width = image.Width();
    for (int y = 0; y < image.Height(); ++y) {
        const uint8_t* alpha = image.Row(y) + 3;
        for (int x = 0; x < width; ++x, alpha += 4)
            if (*alpha != 255)
                return false;
    }
    return true;
}
} // namespace

CKestrelDoc::CKestrelDoc(QObject* parent)
    : QObject(parent)
    , history_(*this)
{
    history_.SetLimit(kHistoryLimit);
}

CKestrelDoc::~CKestrelDoc() = default;

bool CKestrelDoc::OnNewDocument()
{
    pathName_.clear();
    SetTitle(QStringLiteral("Capture%1").arg(++g_untitledCount));
    return true;
}

bool CKestrelDoc::OnOpenDocument(const std::string& path)
{
    // A file that does not decode gives no document: an empty 0 x 0 picture is nothing a user can work on.
    ImageBuffer image;
    const LoadOutcome outcome = LoadImageFile(image, path);
    openFailedInDecoder_ = outcome == LoadOutcome::kDecoderFailed;
    if (outcome != LoadOutcome::kLoaded || image.IsEmpty())
        return false;
    image.ConvertTo(32);
    SetImage(std::move(image));
    SetPathName(path);
    history_.Clear();
    history_.MarkSaved();
    return true;
}

bool CKestrelDoc::OnSaveDocument(const std::string& path)
{
    ImageBuffer composite(*image_);
    ObjectRenderer::RenderObjects(objects_, composite);
    const bool ok = SaveImageFile(composite, path);
    if (ok)
        history_.MarkSaved();
    return ok;
}

bool CKestrelDoc::SaveAs(const std::string& path)
{
    if (!OnSaveDocument(path))
        return false;
    SetPathName(path);
    return true;
}

void CKestrelDoc::MakeNewImage()
{
    ImageBuffer white;
    if (white.Create(kNewWidth, kNewHeight, 32))
        std::fill(white.Pixels(), white.Pixels() + white.PixelBytes(), uint8_t(255));
    SetImage(std::move(white));
    SetModifiedFlag(true);
    UpdateAllViews();
}

ImageBuffer& CKestrelDoc::Image()
{
    if (image_.use_count() > 1)
        image_ = std::make_shared<ImageBuffer>(*image_);
    return *image_;
}

void CKestrelDoc::AdoptImage(std::shared_ptr<const ImageBuffer> image)
{
    // Safe to hold as mutable: Image() copies it before any write while an entry still holds it.
    image_ = image ? std::const_pointer_cast<ImageBuffer>(std::move(image)) : std::make_shared<ImageBuffer>();
}

void CKestrelDoc::SetTitle(const QString& title)
{
    if (title == title_)
        return;
    title_ = title;
    emit TitleChanged(title_);
}

void CKestrelDoc::SetPathName(const std::string& path)
{
    pathName_ = path;
    SetTitle(QFileInfo(QString::fromStdString(path)).fileName());
}

std::unique_ptr<ProgressSink> CKestrelDoc::MakeProgress() const
{
    return progressFactory_ ? progressFactory_() : nullptr;
}

bool CKestrelDoc::ApplyImageEffect(ImageEffect* effect)
{
    if (!effect)
        return true;
    return ApplyImageEffects(std::span(&effect, 1));
}

bool CKestrelDoc::ApplyImageEffects(std::span<ImageEffect* const> effects)
{
    if (effects.empty())
        return true;
    auto entry = std::make_unique<HistoryEntry>();
    bool applied = false;
    {
        const std::unique_ptr<ProgressSink> progress = MakeProgress();
        applied = entry->Apply(*this, effects, progress.get());
    }
    return FinishChange(std::move(entry), applied);
}

bool CKestrelDoc::ApplyHistoryEntry(std::unique_ptr<HistoryEntry> entry)
{
    if (!entry)
        return true;
    if (busyHandler_)
        busyHandler_(true);
    bool applied = false;
    {
        const std::unique_ptr<ProgressSink> progress = MakeProgress();
        applied = entry->Apply(*this, {}, progress.get());
    }
    if (busyHandler_)
        busyHandler_(false);
    return FinishChange(std::move(entry), applied);
}

bool CKestrelDoc::FinishChange(std::unique_ptr<HistoryEntry> entry, bool applied)
{
    if (applied)
        history_.Push(std::move(entry));
    UpdateAllViews();
    if (!applied)
        emit ChangeFailed();
    return applied;
}

void CKestrelDoc::SetModifiedFlag(bool modified)
{
    if (!modified)
        history_.MarkSaved();
    else if (history_.IsAtSaved())
        history_.ForgetSaved();
}

void CKestrelDoc::RecordUndoSnapshot(const ImageBuffer& image)
{
    auto entry = std::make_unique<HistoryEntry>();
    entry->RecordBefore(*this, image);
    history_.Push(std::move(entry));
}

std::unique_ptr<HistoryEntry> CKestrelDoc::SnapshotStep() const
{
    auto entry = std::make_unique<HistoryEntry>();
    entry->RecordBefore(*this, *image_);
    return entry;
}

void CKestrelDoc::RecordStep(std::unique_ptr<HistoryEntry> step)
{
    history_.Push(std::move(step));
}

bool CKestrelDoc::Undo()
{
    emit SelectionClearRequested();
    return history_.Undo();
}

bool CKestrelDoc::Redo()
{
    emit SelectionClearRequested();
    return history_.Redo();
}

void CKestrelDoc::FinishImageCommand()
{
    // Reading is cheaper than copying a picture that a history entry shares.
    if (image_->BitCount() == 32) {
        if (image_.use_count() == 1 || !IsOpaque(*image_))
            Image().SetAlpha(255);
    } else
        Image().ConvertTo(32);
}

bool CKestrelDoc::RunImageEffect(ImageEffect* effect)
{
    if (image_->BitCount() != 32)
        Image().ConvertTo(32);
    const bool applied = ApplyImageEffect(effect);
    FinishImageCommand();
    UpdateAllViews();
    return applied;
}

bool CKestrelDoc::RunImageCommand(int id)
{
    const ImageCommand* command = FindImageCommand(id);
    if (command && command->kind != ImageCommandKind::Direct)
        return false;
    std::unique_ptr<ImageEffect> effect = command ? CreateDirectEffect(id) : nullptr;
    RunImageEffect(effect.get());
    return true;
}
