#include "app/PinBoard.h"

#include "app/DesktopClipboard.h"
#include "app/DialogClosePrompts.h"
#include "app/PinWindow.h"
#include "editor/codecs/SaveImageFile.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/objects/ObjectRenderer.h"

#include <QMessageBox>

#include <algorithm>

PinBoard::PinBoard(OpenInEditor openInEditor)
    : openInEditor_(std::move(openInEditor))
    , clipboard_(std::make_unique<DesktopClipboard>())
{
}

PinBoard::~PinBoard()
{
    // The pins call back into the board: none may outlive it.
    const std::vector<PinWindow*> pins = pins_;
    pins_.clear();
    for (PinWindow* pin : pins)
        delete pin;
}

PinWindow* PinBoard::Pin(const ImageBuffer& picture, std::optional<QPoint> at)
{
    if (picture.IsEmpty())
        return nullptr;
    PinWindow::Actions actions;
    actions.copy = [this](const ImageBuffer& image) { Copy(image); };
    actions.saveAs = &PinBoard::SaveAs;
    actions.openInEditor = [this](const ImageBuffer& image) {
        if (openInEditor_)
            openInEditor_(image);
    };
    actions.hasEditor = [this] { return bool(openInEditor_); };
    // Pins without a place of their own step down and right from the middle, so none hides another.
    constexpr int kCascade = 24;
    const int step = int(pins_.size() % 8) * kCascade;
    auto* pin = new PinWindow(
        picture, at.value_or(PinWindow::CentredOnPointer(picture) + QPoint(step, step)), std::move(actions));
    pins_.push_back(pin);
    connect(pin, &QObject::destroyed, this, [this, pin] {
        const auto found = std::find(pins_.begin(), pins_.end(), pin);
        if (found == pins_.end())
            return;
        pins_.erase(found);
        if (pins_.empty())
            emit AllClosed();
    });
    pin->show();
    return pin;
}

PinWindow* PinBoard::PinDocument(const CKestrelDoc& document)
{
    ImageBuffer composite(document.Image());
    ObjectRenderer::RenderObjects(document.Objects(), composite);
    return Pin(composite);
}

void PinBoard::PinCapture(const ImageBuffer& image, const ImageRect& where)
{
    Pin(image, QPoint(where.left, where.top));
}

void PinBoard::Copy(const ImageBuffer& picture)
{
    if (!clipboard_->SetImage(picture))
        QMessageBox::warning(nullptr, "Lumora", "The picture could not be copied to the clipboard.");
}

void PinBoard::SaveAs(const ImageBuffer& picture, QWidget& pin)
{
    DialogClosePrompts prompts(&pin);
    const std::optional<QString> path = prompts.AskSavePath("Pin", "png");
    if (path && !SaveImageFile(picture, path->toStdString()))
        prompts.ReportSaveFailure(*path);
}
