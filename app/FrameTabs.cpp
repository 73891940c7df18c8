#include "app/FrameTabs.h"

#include "app/CChildFrame.h"
#include "app/CloseSequencePrompts.h"
#include "app/CommandIds.h"
#include "app/FrameBars.h"
#include "app/QtFileFilters.h"
#include "app/RecentFileList.h"
#include "app/StatusProgress.h"
#include "editor/bars/CParamBar.h"
#include "editor/codecs/OpenFailure.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/ui/CKestrelView.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QTabBar>
#include <QTimer>

namespace {
const char* const kOpenFilter = "All Support Files|*.bmp;*.jpg;*.jpeg;*.gif;*.png;*.tiff;*.tif;*.pcx|BMP "
                                "(*.bmp)|*.bmp|"
                                "JPEG (*.jpg, *.jpeg)|*.jpg;*.jpeg|PNG (*.png)|*.png|GIF (*.gif)|*.gif|"
                                "TIFF (*.tif, *.tiff)|*.tif;*.tiff|PCX (*.pcx)|*.pcx||";
} // namespace

FrameTabs::FrameTabs(QMainWindow& window, FrameBars& bars, RecentFileList& recentFiles, CloseSequencePrompts& prompts)
    : window_(window)
    , bars_(bars)
    , recentFiles_(recentFiles)
    , prompts_(prompts)
    , area_(new QMdiArea(&window))
{
    area_->setObjectName("mdiArea");
    area_->setViewMode(QMdiArea::TabbedView);
    area_->setDocumentMode(true);
    window_.setCentralWidget(area_);
    if (QTabBar* tabs = TabBar()) {
        tabs->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(
            tabs, &QTabBar::customContextMenuRequested, &window_, [this](const QPoint& pos) { ShowTabMenu(pos); });
    }
    QObject::connect(area_, &QMdiArea::subWindowActivated, &window_, [this] {
        FollowActiveView();
        bars_.UpdateCommandStates();
        UpdateTitle();
        bars_.UpdateStatusPanes();
    });
}

void FrameTabs::FollowActiveView()
{
    // Leaving the frame for a dialog and coming back activates the same view again: its panel, perhaps
    // the one whose control opened the dialog, stays as it is.
    CKestrelView* view = ActiveView();
    if (view && view != barView_)
        ShowActiveInParamBar();
}

void FrameTabs::ShowActiveInParamBar()
{
    barView_ = ActiveView();
    if (barView_)
        barView_->ShowInParamBar();
    else if (CParamBar* bar = bars_.ParamBar())
        bar->ShowKind(PanelKind::kNoParameter);
}

QTabBar* FrameTabs::TabBar() const
{
    return area_->findChild<QTabBar*>();
}

void FrameTabs::ShowTabMenu(const QPoint& pos)
{
    QTabBar* tabs = TabBar();
    const int index = tabs->tabAt(pos);
    const QList<QMdiSubWindow*> windows = area_->subWindowList(QMdiArea::CreationOrder);
    if (index < 0 || index >= windows.size())
        return;
    area_->setActiveSubWindow(windows[index]);
    bars_.TabMenu()->popup(tabs->mapToGlobal(pos));
}

std::vector<CChildFrame*> FrameTabs::Documents() const
{
    std::vector<CChildFrame*> documents;
    for (QMdiSubWindow* sub : area_->subWindowList(QMdiArea::CreationOrder)) {
        auto* child = qobject_cast<CChildFrame*>(sub->widget());
        // A closed window lingers until its deferred deletion.
        if (child && !sub->isHidden())
            documents.push_back(child);
    }
    return documents;
}

CChildFrame* FrameTabs::ActiveDocument() const
{
    // While the frame is hidden or minimised (a capture) no tab is active; the current one still takes it.
    QMdiSubWindow* sub = area_->activeSubWindow();
    if (!sub)
        sub = area_->currentSubWindow();
    return sub ? qobject_cast<CChildFrame*>(sub->widget()) : nullptr;
}

CKestrelView* FrameTabs::ActiveView() const
{
    CChildFrame* child = ActiveDocument();
    return child ? &child->View() : nullptr;
}

CChildFrame* FrameTabs::AddDocument(CChildFrame* child)
{
    child->SetCloseGuard([this](CChildFrame& closing) { return MayCloseDocument(closing); });
    // Before the window can become the active one, which shows its state in the bar.
    CKestrelView* view = &child->View();
    view->SetParamBar(bars_.ParamBar());
    QMdiSubWindow* sub = area_->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(child, &CChildFrame::TitleChanged, &window_, [this] { UpdateTitle(); });
    // Every tab's view reports; only the active one reaches the panes and the
    // commands.
    QObject::connect(view, &CKestrelView::EditStateChanged, &window_, [this, view, child] {
        RefreshOtherWindows(*child);
        if (view == ActiveView())
            bars_.UpdateCommandStates();
    });
    QObject::connect(view, &CKestrelView::SizeTextChanged, &window_, [this, view](const QString& text) {
        if (view == ActiveView())
            bars_.StatusPane(StatusPaneId::ImageSize)->setText(text);
    });
    QObject::connect(view, &CKestrelView::ZoomTextChanged, &window_, [this, view](const QString& text) {
        if (view == ActiveView())
            bars_.StatusPane(StatusPaneId::Zoom)->setText(text);
    });
    QObject::connect(view, &CKestrelView::ZoomChanged, &window_, [this, view] {
        if (view == ActiveView())
            bars_.UpdateCommandStates();
    });
    QObject::connect(&child->Document(), &CKestrelDoc::Updated, &window_, [this, child] {
        if (child == ActiveDocument())
            bars_.UpdateCommandStates();
    });
    std::weak_ptr<CKestrelDoc> shown = child->SharedDocument();
    QObject::connect(child, &QObject::destroyed, &window_, [this, shown] {
        QTimer::singleShot(0, &window_, [this, shown] {
            if (std::shared_ptr<CKestrelDoc> document = shown.lock())
                NumberWindows(*document);
            bars_.UpdateCommandStates();
            bars_.UpdateStatusPanes();
            UpdateTitle();
        });
    });
    sub->showMaximized();
    area_->setActiveSubWindow(sub);
    // Counted once shown: a hidden window is one already closing.
    NumberWindows(child->Document());
    bars_.UpdateCommandStates();
    UpdateTitle();
    bars_.UpdateStatusPanes();
    return child;
}

std::unique_ptr<CKestrelDoc> FrameTabs::MakeDocument()
{
    auto document = std::make_unique<CKestrelDoc>();
    // Long image commands show their progress in the status bar and the wait
    // cursor.
    document->SetProgressFactory(
        [this] { return std::make_unique<StatusProgress>(bars_.StatusPane(StatusPaneId::Stretch)); });
    document->SetBusyHandler([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    QObject::connect(document.get(), &CKestrelDoc::ChangeFailed, document.get(),
        [] { QMessageBox::warning(nullptr, "Lumora", CKestrelDoc::kChangeFailedMessage); });
    return document;
}

CChildFrame* FrameTabs::NewDocument()
{
    CChildFrame* child = NewCaptureDocument();
    child->Document().MakeNewImage();
    child->Document().UpdateAllViews();
    return child;
}

CChildFrame* FrameTabs::NewCaptureDocument()
{
    std::unique_ptr<CKestrelDoc> document = MakeDocument();
    document->OnNewDocument();
    return AddDocument(new CChildFrame(std::move(document)));
}

CChildFrame* FrameTabs::NewWindow()
{
    CChildFrame* active = ActiveDocument();
    if (!active)
        return nullptr;
    return AddDocument(new CChildFrame(active->SharedDocument()));
}

std::vector<CChildFrame*> FrameTabs::WindowsOf(const CKestrelDoc& document) const
{
    std::vector<CChildFrame*> windows;
    for (CChildFrame* child : Documents())
        if (&child->Document() == &document)
            windows.push_back(child);
    return windows;
}

void FrameTabs::NumberWindows(const CKestrelDoc& document)
{
    const std::vector<CChildFrame*> windows = WindowsOf(document);
    const bool several = windows.size() > 1;
    for (size_t index = 0; index < windows.size(); ++index)
        windows[index]->SetWindowNumber(several ? int(index) + 1 : 0);
    UpdateTitle();
}

void FrameTabs::RefreshOtherWindows(const CChildFrame& child)
{
    // Edits made through one view reach the document's other windows; the
    // document's own updates already reach them all.
    for (CChildFrame* other : WindowsOf(child.Document()))
        if (other != &child)
            other->View().OnUpdate();
}

void FrameTabs::OpenDocumentFile(const QString& path)
{
    std::unique_ptr<CKestrelDoc> document = MakeDocument();
    if (document->OnOpenDocument(path.toStdString())) {
        AddDocument(new CChildFrame(std::move(document)));
        recentFiles_.Add(path);
        bars_.RebuildRecentFileMenu();
        return;
    }
    prompts_.ReportOpenFailure(
        QString::fromStdString(OpenFailure::Describe(path.toStdString(), document->OpenFailedInDecoder())));
    // Said once: a stale entry of the recent list goes. A decoder that failed (out of time or memory) may
    // read the file another time, so its entry stays.
    if (!document->OpenFailedInDecoder())
        recentFiles_.Remove(path);
    bars_.RebuildRecentFileMenu();
}

void FrameTabs::OpenFileDialog()
{
    QFileDialog dialog(&window_);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix("bmp");
    dialog.setNameFilters(QtFileFilters(kOpenFilter));
    dialog.selectFile("Untitled");
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        OpenDocumentFile(dialog.selectedFiles().front());
}

void FrameTabs::SaveActive(bool askPath)
{
    CChildFrame* child = ActiveDocument();
    if (!child)
        return;
    std::optional<QString> path;
    if (!askPath && !child->Document().PathName().empty())
        path = QString::fromStdString(child->Document().PathName());
    else
        path = prompts_.AskSavePath(child->Title(), "png");
    if (!path)
        return;
    if (!child->SaveTo(*path)) {
        prompts_.ReportSaveFailure(*path);
        return;
    }
    child->SetModified(false);
    recentFiles_.Add(*path);
    bars_.RebuildRecentFileMenu();
}

void FrameTabs::CloseDocument(CChildFrame& child)
{
    // Asked once for the document; answered, the work is saved or given up, so no window asks again.
    if (child.IsModified()) {
        if (!AskToCloseModified(child))
            return;
        child.SetModified(false);
    }
    for (CChildFrame* window : WindowsOf(child.Document()))
        window->CloseDocument();
}

bool FrameTabs::MayCloseDocument(CChildFrame& child)
{
    // The document stays open in its other windows; only the last one asks.
    if (!child.IsModified() || WindowsOf(child.Document()).size() > 1)
        return true;
    return AskToCloseModified(child);
}

bool FrameTabs::AskToCloseModified(CChildFrame& child)
{
    switch (prompts_.AskSaveImage()) {
    case SaveImageAnswer::No:
        return true;
    case SaveImageAnswer::Cancel:
        return false;
    case SaveImageAnswer::Yes:
        break;
    }
    const std::optional<QString> path = prompts_.AskSavePath(child.Title(), "png");
    if (!path)
        return false;
    // A failed save keeps the window, and the work, open.
    if (!child.SaveTo(*path)) {
        prompts_.ReportSaveFailure(*path);
        return false;
    }
    child.SetModified(false);
    return true;
}

void FrameTabs::UpdateTitle()
{
    CChildFrame* child = ActiveDocument();
    window_.setWindowTitle(child ? "Lumora - " + child->windowTitle() : QString("Lumora"));
}
