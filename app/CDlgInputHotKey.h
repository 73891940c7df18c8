#pragma once

#include "app/ShellSettings.h"

#include <QDialog>

class QKeySequenceEdit;

// "Set hot key": reads one key combination for the pair it edits. None, and one that another capture
// already uses, are accepted; a bare key other than a function key or Print is refused with a message
// (grabbed on the whole desktop, it could no longer be typed anywhere). OK stores it in the pair.
class CDlgInputHotKey : public QDialog {
    Q_OBJECT
public:
    CDlgInputHotKey(HotKeyPair* pair, const QString& caption, QWidget* parent = nullptr);

    QKeySequenceEdit* KeyEdit() const { return edit_; }
    // The combination as it stands in the control.
    HotKeyPair Current() const;

    void accept() override;
    // The message shown when OK last refused the combination; empty when it did not.
    const QString& Refusal() const { return refusal_; }

private:
    void KeepFirstCombination();

    HotKeyPair* pair_;
    QKeySequenceEdit* edit_ = nullptr;
    QString refusal_;
};
