#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class ImageBuffer;
class OcrPage;

namespace tesseract {
class TessBaseAPI;
}

// Reads the text of a picture with the tesseract library, in this process. One recogniser reads one
// picture at a time; make one per thread.
class TextRecognizer {
public:
    enum class Outcome { Read, Cancelled, NoLanguageData, Failed };
    // Chosen by measuring with ocr_bench: smaller text is misread, larger costs time for nothing.
    static constexpr int kTargetLineHeight = 18;

    struct Options {
        // A tesseract language name ("eng", "deu", "eng+deu").
        std::string language = "eng";
        // The line height small text is enlarged to; 0 leaves the picture at its size.
        int lineHeight = kTargetLineHeight;
        // Hand the recogniser black and white rather than grey.
        bool binarise = false;
        // Turn light text on a dark ground into dark on light first.
        bool darkOnLight = true;
    };

    struct Result {
        Outcome outcome = Outcome::Failed;
        // UTF-8, lines separated by "\n", without trailing white space.
        std::string text;
    };

    // 0 to 100, called on the reading thread as words are read.
    using Progress = std::function<void(int percent)>;

    // The languages whose data is installed, without the script-detection data ("osd"); empty when none is.
    static std::vector<std::string> AvailableLanguages();

    TextRecognizer();
    explicit TextRecognizer(Options options);
    ~TextRecognizer();
    TextRecognizer(const TextRecognizer&) = delete;
    TextRecognizer& operator=(const TextRecognizer&) = delete;

    // Whether the language's data was found and loaded.
    bool Ready() const { return ready_; }

    // Reads the whole picture. cancel is looked at between words.
    Result Read(const ImageBuffer& image, const Progress& progress = {}, const std::atomic<bool>* cancel = nullptr);
    // The page as it is handed to the recogniser: grey, dark on light, enlarged, maybe black and white.
    OcrPage Prepare(const ImageBuffer& image) const;

private:
    Options options_;
    std::unique_ptr<tesseract::TessBaseAPI> api_;
    bool ready_ = false;
};
