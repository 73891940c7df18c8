#pragma once

#include <QString>

#include <optional>

// The answers of the exit prompt, which are the ids of its buttons.
enum class ExitAnswer { Yes = 1000, No = 1001, SaveNone = 1002, Cancel = 1003 };

// The answers when one document window closes.
enum class SaveImageAnswer { Yes, No, Cancel };

// The questions closing the program may ask. The frame uses real dialogs; tests script the answers.
class CloseSequencePrompts {
public:
    virtual ~CloseSequencePrompts() = default;
    virtual ExitAnswer AskSaveOnExit(const QString& title) = 0;
    // Closing one document: "Do you want to save the image?".
    virtual SaveImageAnswer AskSaveImage() = 0;
    // The chosen file, or nothing when the dialog was cancelled. The suffix is added to a bare name.
    virtual std::optional<QString> AskSavePath(const QString& title, const QString& defaultSuffix) = 0;
    virtual void ReportSaveFailure(const QString& path) = 0;
    // A file that could not be opened, and why; the message is whole ("Cannot open PATH: REASON.").
    virtual void ReportOpenFailure(const QString& message) = 0;
};
