#include "app/FrameDocuments.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "editor/document/CKestrelDoc.h"

#include <utility>

bool FrameDocuments::HasActiveDocument() const
{
    return frame_.ActiveDocument() != nullptr;
}

void FrameDocuments::CreateNewCaptureDocument()
{
    frame_.NewCaptureDocument();
}

void FrameDocuments::RecordUndoSnapshot()
{
    if (CChildFrame* child = frame_.ActiveDocument())
        child->Document().RecordUndoSnapshot(std::as_const(child->Document()).Image());
}

void FrameDocuments::ReplaceActiveImage(const ImageBuffer& capture)
{
    CChildFrame* child = frame_.ActiveDocument();
    if (!child)
        return;
    CKestrelDoc& document = child->Document();
    // An image without pixels (the screen could not be read) leaves the document's image as it was.
    if (!capture.IsEmpty()) {
        ImageBuffer image(capture);
        image.ConvertTo(32);
        document.SetImage(std::move(image));
    }
    document.SetModifiedFlag(true);
    document.UpdateAllViews();
}

void FrameDocuments::SetActivePathName(const std::string& path)
{
    if (CChildFrame* child = frame_.ActiveDocument()) {
        child->Document().SetPathName(path);
        frame_.AddRecentFile(QString::fromStdString(path));
    }
}
