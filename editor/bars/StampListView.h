#pragma once

#include "editor/codecs/StampLibrary.h"

#include <QListWidget>

#include <string>

// The stamp panel's list: one 36 x 27 thumbnail per file of the "stamps" folder, in icons 50 x 37
// apart, one selected at a time.
class StampListView : public QListWidget {
    Q_OBJECT
public:
    static constexpr int kSpacingX = 50;
    static constexpr int kSpacingY = 37;

    explicit StampListView(QWidget* parent = nullptr);

    // Scans moduleFolder + "stamps/" and shows its thumbnails, the first one selected.
    void Fill(const std::string& moduleFolder);
    const StampLibrary& Library() const { return library_; }
    // The selected row, or -1.
    int SelectedIndex() const;

signals:
    // A click anywhere in the list, after the selection followed it.
    void Clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    StampLibrary library_;
};
