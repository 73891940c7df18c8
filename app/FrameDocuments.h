#pragma once

#include "capture/CaptureDocumentSink.h"

class CMainFrame;

// The frame's tabs as the capture hands images to them.
class FrameDocuments final : public CaptureDocumentSink {
public:
    explicit FrameDocuments(CMainFrame& frame)
        : frame_(frame)
    {
    }

    bool HasActiveDocument() const override;
    void CreateNewCaptureDocument() override;
    void RecordUndoSnapshot() override;
    void ReplaceActiveImage(const ImageBuffer& capture) override;
    void SetActivePathName(const std::string& path) override;

private:
    CMainFrame& frame_;
};
