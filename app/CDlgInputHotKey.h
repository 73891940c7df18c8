#pragma once

#include "app/ShellSettings.h"

#include <QDialog>

class QKeySequenceEdit;

// "Set hot key": reads one key combination for the pair it edits. Any combination is accepted, none and
// one that another capture already uses included; OK stores it in the pair.
class CDlgInputHotKey : public QDialog {
    Q_OBJECT
public:
    CDlgInputHotKey(HotKeyPair* pair, const QString& caption, QWidget* parent = nullptr);

    QKeySequenceEdit* KeyEdit() const { return edit_; }
    // The combination as it stands in the control.
    HotKeyPair Current() const;

    void accept() override;

private:
    void KeepFirstCombination();

    HotKeyPair* pair_;
    QKeySequenceEdit* edit_ = nullptr;
};
