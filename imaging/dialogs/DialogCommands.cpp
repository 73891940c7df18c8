#include "imaging/dialogs/DialogCommands.h"

#include "editor/document/CKestrelDoc.h"
#include "editor/document/ImageCommands.h"
#include "editor/document/ResizeCommand.h"
#include "imaging/dialogs/AdjustDlg.h"
#include "imaging/dialogs/CBrightConDlg.h"
#include "imaging/dialogs/CResizeDlg.h"

#include <QMessageBox>

#include <utility>

namespace {
constexpr int kResize = 20009;
constexpr int kBrightnessContrast = 20010;
constexpr int kHueSaturation = 20012;

void SayNoMemory(QWidget* parent, int width, int height)
{
    QMessageBox::warning(
        parent, "Lumora", QString("There is not enough memory for an image of %1 x %2 pixels.").arg(width).arg(height));
}

// Whether a block of the new size can be had. Large blocks are mapped lazily, so asking costs little.
bool CanHold(const ImageBuffer& image, int width, int height)
{
    if (image.IsEmpty() || width < 1 || height < 1)
        return true; // the resize itself refuses these and changes nothing
    ImageBuffer probe;
    return probe.Create(width, height, image.BitCount());
}

void RunResize(CKestrelDoc& document, QWidget* parent)
{
    CResizeDlg dialog(std::as_const(document).Image().Width(), std::as_const(document).Image().Height(), parent);
    if (dialog.exec() != QDialog::Accepted) {
        document.RunImageEffect(nullptr);
        return;
    }
    const int width = dialog.NewWidth();
    const int height = dialog.NewHeight();
    if (!CanHold(std::as_const(document).Image(), width, height)) {
        SayNoMemory(parent, width, height);
        return;
    }
    auto entry = std::make_unique<ResizeCommand>(width, height, dialog.Quality());
    // The history keeps the entry (its limit is never 0), so the pointer outlives the call.
    const ResizeCommand* command = entry.get();
    const bool hadPicture = !std::as_const(document).Image().IsEmpty();
    document.ApplyHistoryEntry(std::move(entry));
    // Memory taken by others since the probe: the picture comes back rather than an empty image.
    if (hadPicture && std::as_const(document).Image().IsEmpty()) {
        document.SetImage(command->BeforeImage());
        document.UpdateAllViews();
        SayNoMemory(parent, width, height);
    }
}
} // namespace

bool DialogCommands::IsDialogCommand(int id)
{
    const ImageCommand* command = FindImageCommand(id);
    return command
        && (command->kind == ImageCommandKind::Dialog || id == kResize || id == kBrightnessContrast
            || id == kHueSaturation);
}

bool DialogCommands::Run(CKestrelDoc& document, int id, QWidget* parent)
{
    if (!IsDialogCommand(id))
        return false;
    if (id == kResize) {
        RunResize(document, parent);
    } else if (id == kBrightnessContrast) {
        CBrightConDlg dialog(document, parent);
        dialog.exec();
    } else {
        AdjustDlg dialog(document, FindImageCommand(id)->dialogTemplate, parent);
        dialog.exec();
        if (id != kHueSaturation)
            document.RunImageEffect(nullptr);
    }
    return true;
}
