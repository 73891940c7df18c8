#include "app/DialogClosePrompts.h"

#include "app/CExitHintDlg.h"
#include "app/QtFileFilters.h"

#include <QFileDialog>
#include <QMessageBox>

const char* const DialogClosePrompts::kSaveAsFilter
    = "BMP (*.bmp)|*.bmp|JPEG (*.jpg, *.jpeg)|*.jpg;*.jpeg|PNG (*.png)|*.png|GIF (*.gif)|*.gif|"
      "TIFF (*.tif, *.tiff)|*.tif;*.tiff|PCX (*.pcx)|*.pcx||";

ExitAnswer DialogClosePrompts::AskSaveOnExit(const QString& title)
{
    CExitHintDlg dialog(title, parent_);
    const int result = dialog.exec();
    if (result < int(ExitAnswer::Yes) || result > int(ExitAnswer::Cancel))
        return ExitAnswer::Cancel;
    return ExitAnswer(result);
}

SaveImageAnswer DialogClosePrompts::AskSaveImage()
{
    const auto answer = QMessageBox::question(
        nullptr, "Lumora", "Do you want to save the image?", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes)
        return SaveImageAnswer::Yes;
    return answer == QMessageBox::No ? SaveImageAnswer::No : SaveImageAnswer::Cancel;
}

std::optional<QString> DialogClosePrompts::AskSavePath(const QString& title, const QString& defaultSuffix)
{
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setNameFilters(QtFileFilters(kSaveAsFilter));
    dialog.selectFile(title);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

void DialogClosePrompts::ReportReadFailure(const QString& message)
{
    QMessageBox::warning(parent_, "Lumora", message);
}

void DialogClosePrompts::ReportSaveFailure(const QString& path)
{
    QMessageBox::warning(parent_, "Lumora", "The image could not be saved to " + path + ".");
}
