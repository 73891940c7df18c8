#pragma once

#include "app/CloseSequencePrompts.h"

class QWidget;

// The close questions asked with the program's dialogs.
class DialogClosePrompts : public CloseSequencePrompts {
public:
    static const char* const kSaveAsFilter;

    explicit DialogClosePrompts(QWidget* parent)
        : parent_(parent)
    {
    }

    ExitAnswer AskSaveOnExit(const QString& title) override;
    SaveImageAnswer AskSaveImage() override;
    std::optional<QString> AskSavePath(const QString& title, const QString& defaultSuffix) override;
    void ReportSaveFailure(const QString& path) override;
    void ReportReadFailure(const QString& message) override;

private:
    QWidget* parent_;
};
