#include "app/TextReading.h"

#include "app/TextLanguages.h"
#include "imaging/ImageBuffer.h"
#include "ocr/TextRecognizer.h"

#include <QEventLoop>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <thread>

std::optional<QString> TextReading::Run(const ImageBuffer& image, const std::string& language, QWidget* parent)
{
    QProgressDialog progress("Reading text...", "Cancel", 0, 100, parent);
    progress.setObjectName("textReadingProgress");
    progress.setWindowTitle("Copy Text");
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    // Small pictures are read before the dialog would be worth showing.
    progress.setMinimumDuration(400);

    std::atomic<bool> cancel { false };
    std::atomic<int> percent { 0 };
    TextRecognizer::Result result;
    QEventLoop loop;
    QObject::connect(&progress, &QProgressDialog::canceled, [&cancel] { cancel = true; });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &progress, [&] { progress.setValue(percent.load()); });
    poll.start(50);
    // The worker reads its own copy: the document may change while it runs.
    std::thread worker([&, picture = ImageBuffer(image)] {
        TextRecognizer::Options options;
        options.language = language;
        TextRecognizer recognizer(options);
        result = recognizer.Read(
            picture, [&percent](int value) { percent = value; }, &cancel);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    progress.close();

    switch (result.outcome) {
    case TextRecognizer::Outcome::Read:
        return QString::fromStdString(result.text);
    case TextRecognizer::Outcome::Cancelled:
        return std::nullopt;
    case TextRecognizer::Outcome::NoLanguageData:
        QMessageBox::warning(parent, "Copy Text",
            TextLanguages::Installed().empty()
                ? "Cannot read text: " + TextLanguages::MissingReason() + "."
                : QString("Cannot read text: no data for the language \"%1\" is installed.")
                      .arg(QString::fromStdString(language)));
        return std::nullopt;
    case TextRecognizer::Outcome::Failed:
        break;
    }
    QMessageBox::warning(parent, "Copy Text", "The text of the picture could not be read.");
    return std::nullopt;
}
