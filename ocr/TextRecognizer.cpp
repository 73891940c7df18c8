#include "ocr/TextRecognizer.h"

#include "ocr/OcrPage.h"

#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>
#include <tesseract/resultiterator.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

// The monitor tesseract calls back while it reads words; it carries our own callbacks along.
struct ReadMonitor : tesseract::ETEXT_DESC {
    const TextRecognizer::Progress* onProgress = nullptr;
    const std::atomic<bool>* cancelled = nullptr;
    int lastPercent = -1;
};

bool ReportProgress(tesseract::ETEXT_DESC* desc, int, int, int, int)
{
    auto* monitor = static_cast<ReadMonitor*>(desc);
    if (monitor->onProgress && *monitor->onProgress && monitor->progress != monitor->lastPercent) {
        monitor->lastPercent = monitor->progress;
        (*monitor->onProgress)(monitor->progress);
    }
    return true;
}

bool AskCancel(void* data, int)
{
    const auto* cancelled = static_cast<const std::atomic<bool>*>(data);
    return cancelled && cancelled->load(std::memory_order_relaxed);
}

// Quiet: the library otherwise writes its notes ("Estimating resolution ...") to standard error.
void Silence(tesseract::TessBaseAPI& api)
{
    api.SetVariable("debug_file", "/dev/null");
}

// The text line by line in reading order, a blank line between blocks. The library's own whole-page text
// walks every row again for each line (a tenth of a 1080p page's time), and its paragraph finder costs
// another tenth for text we hand over as lines anyway.
std::string LinesOf(tesseract::TessBaseAPI& api)
{
    std::string text;
    const std::unique_ptr<tesseract::ResultIterator> line(api.GetIterator());
    if (!line || line->Empty(tesseract::RIL_TEXTLINE))
        return text;
    do {
        if (!text.empty() && line->IsAtBeginningOf(tesseract::RIL_BLOCK))
            text += '\n';
        const std::unique_ptr<char[]> words(line->GetUTF8Text(tesseract::RIL_TEXTLINE));
        if (words)
            text += words.get();
    } while (line->Next(tesseract::RIL_TEXTLINE));
    return text;
}

std::string TrimEnd(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\f'))
        text.pop_back();
    return text;
}

// Any language whose data lies in the folder the library reads, for an Init that only lists.
std::string AnyInstalledLanguage(const char* folder)
{
    std::error_code error;
    if (!folder)
        return "eng";
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() == ".traineddata" && entry.path().stem() != "osd")
            return entry.path().stem().string();
    }
    return "eng";
}

} // namespace

std::vector<std::string> TextRecognizer::AvailableLanguages()
{
    tesseract::TessBaseAPI api;
    Silence(api);
    std::vector<std::string> languages;
    if (api.Init(nullptr, "eng", tesseract::OEM_LSTM_ONLY) != 0) {
        // Without English, any language that is installed lets the library list the others.
        tesseract::TessBaseAPI probe;
        Silence(probe);
        const std::string folder = probe.GetDatapath() ? probe.GetDatapath() : "";
        if (folder.empty()
            || api.Init(nullptr, AnyInstalledLanguage(folder.c_str()).c_str(), tesseract::OEM_LSTM_ONLY) != 0)
            return languages;
    }
    api.GetAvailableLanguagesAsVector(&languages);
    std::erase(languages, "osd");
    std::sort(languages.begin(), languages.end());
    return languages;
}

TextRecognizer::TextRecognizer()
    : TextRecognizer(Options {})
{
}

TextRecognizer::TextRecognizer(Options options)
    : options_(std::move(options))
    , api_(std::make_unique<tesseract::TessBaseAPI>())
{
    Silence(*api_);
    ready_
        = !options_.language.empty() && api_->Init(nullptr, options_.language.c_str(), tesseract::OEM_LSTM_ONLY) == 0;
    if (ready_) {
        api_->SetPageSegMode(tesseract::PSM_AUTO);
        api_->SetVariable("paragraph_text_based", "0");
    }
}

TextRecognizer::~TextRecognizer()
{
    if (api_)
        api_->End();
}

OcrPage TextRecognizer::Prepare(const ImageBuffer& image) const
{
    OcrPage page = OcrPage::FromImage(image);
    if (options_.darkOnLight)
        page.MakeDarkOnLight();
    if (options_.lineHeight > 0) {
        // The recogniser keeps several copies of the page: a 4K screen of tiny text enlarged four times
        // would take gigabytes.
        constexpr double kMaxPixels = 40e6;
        const double limit = std::sqrt(kMaxPixels / (double(page.Width()) * double(page.Height())));
        page = page.ScaledBy(std::min(page.ScaleFor(options_.lineHeight), limit));
    }
    if (options_.binarise)
        page.Binarise();
    return page;
}

TextRecognizer::Result TextRecognizer::Read(
    const ImageBuffer& image, const Progress& progress, const std::atomic<bool>* cancel)
{
    if (!ready_)
        return { Outcome::NoLanguageData, {} };
    const OcrPage page = Prepare(image);
    if (page.IsEmpty())
        return { Outcome::Failed, {} };
    api_->SetImage(page.Pixels().data(), page.Width(), page.Height(), 1, page.Width());
    // Screen text enlarged to our line height reads like print at 300 dpi.
    api_->SetSourceResolution(300);
    ReadMonitor monitor;
    monitor.onProgress = &progress;
    monitor.cancelled = cancel;
    monitor.progress_callback2 = &ReportProgress;
    monitor.cancel = &AskCancel;
    monitor.cancel_this = const_cast<std::atomic<bool>*>(cancel);
    const int status = api_->Recognize(&monitor);
    if (cancel && cancel->load())
        return { Outcome::Cancelled, {} };
    if (status != 0)
        return { Outcome::Failed, {} };
    std::string text = LinesOf(*api_);
    api_->Clear();
    if (progress)
        progress(100);
    return { Outcome::Read, TrimEnd(std::move(text)) };
}
