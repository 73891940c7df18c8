#pragma once

#include "ClosableDocument.h"

#include <QWidget>

#include <functional>

// The window of one open document inside the tabbed area. It carries the document's title and
// modified flag; the image view is placed inside it.
class CChildFrame : public QWidget, public ClosableDocument {
    Q_OBJECT
public:
    using SaveHandler = std::function<bool(const QString& path)>;
    // Asked before the window closes; false keeps it open.
    using CloseGuard = std::function<bool(CChildFrame& child)>;

    explicit CChildFrame(const QString& title, QWidget* parent = nullptr);

    QString Title() const override { return title_; }
    void SetTitle(const QString& title);
    bool IsModified() const override { return modified_; }
    void SetModified(bool modified) override;
    bool SaveTo(const QString& path) override;
    void CloseDocument() override;

    // Writes the document to a file; the document model installs it.
    void SetSaveHandler(SaveHandler handler) { saveHandler_ = std::move(handler); }
    void SetCloseGuard(CloseGuard guard) { closeGuard_ = std::move(guard); }

signals:
    void TitleChanged(const QString& title);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QString title_;
    bool modified_ = false;
    SaveHandler saveHandler_;
    CloseGuard closeGuard_;
};
