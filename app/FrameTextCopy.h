#pragma once

#include <string>

class CKestrelView;
class ImageBuffer;
class QWidget;

// "Copy Text": reads the text of a picture, puts it on the clipboard and shows it where it can be
// corrected. Nothing reaches the clipboard when the reading is cancelled, fails or finds no text.
class FrameTextCopy {
public:
    // Whether any language can be read; otherwise the command says why it is off.
    static bool Available();
    // Reads the selection of the view's document, or the whole picture without one.
    static bool RunOnView(CKestrelView& view, const std::string& language);
    static bool Run(const ImageBuffer& picture, const std::string& language, QWidget* parent);
};
