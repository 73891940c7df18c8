#include "app/DesktopClipboard.h"

#include "editor/codecs/ImageBytes.h"
#include "platform/WlCopyClipboard.h"
#include "platform/X11ClipboardOwner.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cstdlib>

DesktopClipboard::DesktopClipboard(std::string displayName)
{
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    auto wlCopy = std::make_unique<WlCopyClipboard>(&EncodeImageBytes);
    if (wayland && *wayland && wlCopy->Installed())
        lasting_ = std::move(wlCopy);
    else if (QGuiApplication::platformName() != QLatin1String("wayland"))
        lasting_ = std::make_unique<X11ClipboardOwner>(&EncodeImageBytes, std::move(displayName));
}

DesktopClipboard::~DesktopClipboard() = default;

bool DesktopClipboard::SetImage(const ImageBuffer& image)
{
    if (lasting_)
        return lasting_->SetImage(image);
    const std::vector<char> png = EncodeImageBytes(image, "image/png");
    if (png.empty())
        return false;
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/png"), QByteArray(png.data(), qsizetype(png.size())));
    QGuiApplication::clipboard()->setMimeData(data);
    return true;
}

std::string DesktopClipboard::EndsWithProgramNote()
{
    return "On Wayland the clipboard ends with Lumora: install wl-clipboard (wl-copy) to keep copies after it "
           "closes.";
}
