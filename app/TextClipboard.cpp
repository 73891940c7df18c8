#include "app/TextClipboard.h"

#include "editor/codecs/ImageBytes.h"
#include "platform/X11ClipboardOwner.h"

#include <QClipboard>
#include <QGuiApplication>

bool TextClipboard::Set(const QString& text)
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY") && QGuiApplication::platformName() != "wayland") {
        X11ClipboardOwner owner(&EncodeImageBytes);
        if (owner.SetText(text.toStdString()))
            return true;
    }
    QGuiApplication::clipboard()->setText(text);
    return true;
}
