#pragma once

#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class CChildFrame;
class CKestrelDoc;
class CKestrelView;
class CloseSequencePrompts;
class FrameBars;
class QMainWindow;
class QMdiArea;
class QPoint;
class QTabBar;
class RecentFileList;

// The frame's documents, one tab each in the central area: new, opened and
// captured documents, saving, the question before a modified one closes, the
// tabs' context menu and the window title that follows the active tab. Every
// connection has the window as its context.
class FrameTabs {
public:
    FrameTabs(QMainWindow& window, FrameBars& bars, RecentFileList& recentFiles, CloseSequencePrompts& prompts);

    QMdiArea* Area() const { return area_; }
    QTabBar* TabBar() const;
    std::vector<CChildFrame*> Documents() const;
    CChildFrame* ActiveDocument() const;
    CKestrelView* ActiveView() const;

    CChildFrame* AddDocument(CChildFrame* child);
    CChildFrame* NewDocument();
    CChildFrame* NewCaptureDocument();
    // A further window on the active document; every window of it follows its
    // edits.
    CChildFrame* NewWindow();
    std::vector<CChildFrame*> WindowsOf(const CKestrelDoc& document) const;
    // Closes every window of child's document, asking first when it is modified.
    void CloseDocument(CChildFrame& child);
    void OpenDocumentFile(const QString& path);
    void OpenFileDialog();
    void SaveActive(bool askPath);
    void UpdateTitle();
    // The property bar shows what the active view has selected, or its tool; the no-parameter panel
    // without a document.
    void ShowActiveInParamBar();

private:
    std::unique_ptr<CKestrelDoc> MakeDocument();
    void ShowTabMenu(const QPoint& pos);
    bool MayCloseDocument(CChildFrame& child);
    // Whether the modified document may close: saved, or given up; false keeps it open.
    bool AskToCloseModified(CChildFrame& child);
    void NumberWindows(const CKestrelDoc& document);
    void RefreshOtherWindows(const CChildFrame& child);
    // On a change of tab.
    void FollowActiveView();

    QMainWindow& window_;
    FrameBars& bars_;
    RecentFileList& recentFiles_;
    CloseSequencePrompts& prompts_;
    QMdiArea* area_;
    QPointer<CKestrelView> barView_;
};
