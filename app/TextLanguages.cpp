#include "app/TextLanguages.h"

#include "ocr/TextRecognizer.h"

#include <QStringList>

#include <algorithm>

const std::vector<std::string>& TextLanguages::Installed()
{
    static const std::vector<std::string> languages = TextRecognizer::AvailableLanguages();
    return languages;
}

QString TextLanguages::MissingReason()
{
    return "no text recognition data is installed; install tesseract-ocr-eng";
}

std::string TextLanguages::Choose(const std::string& chosen)
{
    const std::vector<std::string>& installed = Installed();
    if (installed.empty())
        return chosen;
    // "eng+deu" reads with both: every part must be installed.
    const QStringList parts = QString::fromStdString(chosen).split('+', Qt::SkipEmptyParts);
    const bool present = !parts.isEmpty() && std::all_of(parts.begin(), parts.end(), [&](const QString& part) {
        return std::find(installed.begin(), installed.end(), part.toStdString()) != installed.end();
    });
    if (present)
        return chosen;
    const auto english = std::find(installed.begin(), installed.end(), "eng");
    return english != installed.end() ? *english : installed.front();
}
