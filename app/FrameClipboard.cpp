#include "app/FrameClipboard.h"

#include "app/CommandIds.h"
#include "app/DesktopClipboard.h"
#include "editor/codecs/ImageBufferFile.h"
#include "editor/codecs/ImageBytes.h"
#include "editor/ui/CKestrelView.h"
#include "platform/X11ClipboardReader.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>

namespace {

ImageClipboard::ExpandAnswer AskWithMessageBox()
{
    const auto answer = QMessageBox::question(
        nullptr, "Lumora", ImageClipboard::kExpandQuestion, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes)
        return ImageClipboard::ExpandAnswer::Yes;
    return answer == QMessageBox::No ? ImageClipboard::ExpandAnswer::No : ImageClipboard::ExpandAnswer::Cancel;
}

} // namespace

FrameClipboard::FrameClipboard(ImageClipboard::AskExpand ask)
    : owner_(std::make_unique<DesktopClipboard>())
    , reader_(std::make_unique<X11ClipboardReader>())
{
    clipboard_ = std::make_unique<ImageClipboard>([this](const ImageBuffer& image) { return owner_->SetImage(image); },
        [this](std::string& mimeType, std::vector<char>& bytes) { return ReadOffer(mimeType, bytes); },
        ask ? std::move(ask) : ImageClipboard::AskExpand(&AskWithMessageBox));
}

FrameClipboard::~FrameClipboard() = default;

bool FrameClipboard::ReadOffer(std::string& mimeType, std::vector<char>& bytes)
{
    // Our own windows answer requests only from the event loop that this call would block; what they
    // hold is text anyway.
    if (QGuiApplication::clipboard()->ownsClipboard())
        return false;
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return reader_->ReadImage(mimeType, bytes);
    // On Wayland the toolkit reads the offer; the bytes are decoded as every other offer is.
    const QMimeData* offer = QGuiApplication::clipboard()->mimeData();
    for (const char* type : { "image/png", "image/bmp", "image/jpeg", "image/gif", "image/tiff" }) {
        if (!offer || !offer->hasFormat(QLatin1String(type)))
            continue;
        const QByteArray data = offer->data(QLatin1String(type));
        mimeType = type;
        bytes.assign(data.begin(), data.end());
        return !bytes.empty();
    }
    return false;
}

void FrameClipboard::SayIfCopyEndsWithProgram(CKestrelView& view) const
{
    if (!owner_->EndsWithProgram())
        return;
    if (auto* frame = qobject_cast<QMainWindow*>(view.window()))
        frame->statusBar()->showMessage(QString::fromStdString(DesktopClipboard::EndsWithProgramNote()));
}

void FrameClipboard::Run(int commandId, CKestrelView& view)
{
    CKestrelDoc* document = view.Document();
    if (!document)
        return;
    switch (commandId) {
    case CommandId::EditCopy:
        view.SetSelectedObject(nullptr);
        if (clipboard_->Copy(*document, view.ImageSelection()))
            SayIfCopyEndsWithProgram(view);
        view.InvalidateComposite();
        break;
    case CommandId::EditCut:
        if (clipboard_->Cut(*document, view.ImageSelection()))
            SayIfCopyEndsWithProgram(view);
        break;
    case CommandId::EditPaste:
        switch (clipboard_->Paste(*document)) {
        case ImageClipboard::PasteResult::Expanded:
            view.SetCanvasSelection({});
            break;
        case ImageClipboard::PasteResult::DecoderFailed:
            QMessageBox::warning(
                view.window(), "Lumora", QString::fromStdString(DecoderFailedMessage("the clipboard")));
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
}
