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

    // Several windows may show one document; it lives until the last of them closes.
    explicit CChildFrame(std::shared_ptr<CKestrelDoc> document, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CKestrelDoc& Document() { return *document_; }
    const CKestrelDoc& Document() const { return *document_; }
    std::shared_ptr<CKestrelDoc> SharedDocument() const { return document_; }
    CKestrelView& View() const { return *view_; }

    // The window's place among those showing its document, shown after its title as ":1", ":2";
    // 0 when it is the only one.
    void SetWindowNumber(int number);
    int WindowNumber() const { return windowNumber_; }

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
    void ShowTitle();

    std::shared_ptr<CKestrelDoc> document_;
    CKestrelView* view_ = nullptr;
    int windowNumber_ = 0;
    CloseGuard closeGuard_;
};
