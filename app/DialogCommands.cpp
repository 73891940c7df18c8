#include "app/DialogCommands.h"

#include "app/DocumentAdjustTarget.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/document/ImageCommands.h"
#include "editor/document/ResizeCommand.h"
#include "imaging/dialogs/AdjustDlg.h"
#include "imaging/dialogs/CBrightConDlg.h"
#include "imaging/dialogs/CResizeDlg.h"

#include <QMessageBox>

#include <memory>
#include <new>
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

// Whether the new picture and the resize's column table can be had at once. Large blocks are mapped
// lazily, so asking costs little.
bool CanHold(const ImageBuffer& image, int width, int height)
{
    if (image.IsEmpty() || width < 1 || height < 1)
        return true; // the resize itself refuses these and changes nothing
    ImageBuffer probe;
    const std::unique_ptr<uint8_t[]> columns(new (std::nothrow) uint8_t[ImageBuffer::ResizeColumnBytes(width)]);
    return columns && probe.Create(width, height, image.BitCount());
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
    // Memory taken by others since the probe: the document keeps its picture and says so itself.
    document.ApplyHistoryEntry(std::make_unique<ResizeCommand>(width, height, dialog.Quality()));
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
        DocumentAdjustTarget target(document);
        CBrightConDlg dialog(target, parent);
        dialog.exec();
    } else {
        DocumentAdjustTarget target(document);
        AdjustDlg dialog(target, FindImageCommand(id)->dialogTemplate, parent);
        // Hue/saturation is normalised only after its OK, like an image command of its own.
        if (dialog.exec() == QDialog::Accepted || id != kHueSaturation)
            document.RunImageEffect(nullptr);
    }
    return true;
}
