#pragma once

#include <QDialog>

class QPlainTextEdit;

// The text read from a picture, already on the clipboard, where it can be corrected and copied again.
class CTextResultDlg : public QDialog {
    Q_OBJECT
public:
    explicit CTextResultDlg(const QString& text, QWidget* parent = nullptr);

    QString Text() const;

private:
    QPlainTextEdit* edit_ = nullptr;
};
