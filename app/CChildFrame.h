#pragma once

#include "app/ClosableDocument.h"

#include <QWidget>

#include <functional>
#include <memory>

class CKestrelDoc;
class CKestrelView;

// The window of one open document inside the tabbed area: it owns the document and shows it through
// the image view that fills it.
class CChildFrame : public QWidget, public ClosableDocument {
    Q_OBJECT
public:
    // Asked before the window closes; false keeps it open.
    using CloseGuard = std::function<bool(CChildFrame& child)>;

    explicit CChildFrame(std::unique_ptr<CKestrelDoc> document, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CKestrelDoc& Document() { return *document_; }
    const CKestrelDoc& Document() const { return *document_; }
    CKestrelView& View() const { return *view_; }

    QString Title() const override;
    bool IsModified() const override;
    void SetModified(bool modified) override;
    // Writes the document to path and, when that worked, names it after the file.
    bool SaveTo(const QString& path) override;
    void CloseDocument() override;

    void SetCloseGuard(CloseGuard guard) { closeGuard_ = std::move(guard); }

signals:
    void TitleChanged(const QString& title);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<CKestrelDoc> document_;
    CKestrelView* view_ = nullptr;
    CloseGuard closeGuard_;
};
