#pragma once

#include "app/CloseSequencePrompts.h"

#include <QDialog>

class QLabel;

// "Save image": asks whether to save one document while the program closes. exec() returns the id of
// the button pressed (1000 to 1003); Esc and the close box count as Cancel.
class CExitHintDlg : public QDialog {
    Q_OBJECT
public:
    explicit CExitHintDlg(const QString& title, QWidget* parent = nullptr);

    QString Question() const;
    void reject() override;

private:
    QLabel* question_;
};
