#pragma once

#include <QString>

#include <optional>
#include <string>

class ImageBuffer;
class QWidget;

// Reads the text of a picture on a worker thread, while a progress dialog with Cancel shows how far the
// recogniser got; the event loop runs meanwhile.
class TextReading {
public:
    // The text (perhaps empty), or nothing when the user cancelled or the reading failed; a failure has
    // been told to the user in a message box.
    static std::optional<QString> Run(const ImageBuffer& image, const std::string& language, QWidget* parent);
};
