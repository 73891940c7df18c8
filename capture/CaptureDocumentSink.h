#pragma once

#include <string>

class ImageBuffer;

// The editor's document model as the capture hands images to it.
class CaptureDocumentSink {
public:
    virtual ~CaptureDocumentSink() = default;

    virtual bool HasActiveDocument() const = 0;
    // A new, empty document (no blank page image), which becomes the active one.
    virtual void CreateNewCaptureDocument() = 0;
    // Records the active document's image and objects in its undo history.
    virtual void RecordUndoSnapshot() = 0;
    // Copies the capture into the active document's image (an image without pixels changes nothing),
    // converts it to 32 bits per pixel, marks the document modified and updates its views.
    virtual void ReplaceActiveImage(const ImageBuffer& capture) = 0;
    // Names the active document after the file and adds it to the recent files.
    virtual void SetActivePathName(const std::string& path) = 0;
};
