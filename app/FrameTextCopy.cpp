#include "app/FrameTextCopy.h"

#include "app/CTextResultDlg.h"
#include "app/TextClipboard.h"
#include "app/TextLanguages.h"
#include "app/TextReading.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/document/ImageClipboard.h"
#include "editor/ui/CKestrelView.h"

#include <QMessageBox>

bool FrameTextCopy::Available()
{
    return !TextLanguages::Installed().empty();
}

bool FrameTextCopy::RunOnView(CKestrelView& view, const std::string& language)
{
    const CKestrelDoc* document = view.Document();
    if (!document)
        return false;
    // What Copy would hand over: redacted pixels never leave the document, not even as text.
    const ImageBuffer picture = ImageClipboard::SharedPixels(*document, view.ImageSelection());
    return Run(picture, language, view.window());
}

bool FrameTextCopy::Run(const ImageBuffer& picture, const std::string& language, QWidget* parent)
{
    if (!Available()) {
        QMessageBox::warning(parent, "Copy Text", "Cannot read text: " + TextLanguages::MissingReason() + ".");
        return false;
    }
    if (picture.IsEmpty())
        return false;
    const std::optional<QString> text = TextReading::Run(picture, TextLanguages::Choose(language), parent);
    if (!text)
        return false;
    if (text->trimmed().isEmpty()) {
        QMessageBox::information(parent, "Copy Text", "No text was found in the picture.");
        return false;
    }
    TextClipboard::Set(*text);
    auto* dialog = new CTextResultDlg(*text, parent);
    dialog->show();
    return true;
}
