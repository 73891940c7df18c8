#pragma once

#include <QDialog>

class QSpinBox;
class StepObject;

// The text dialog of a step marker: its number. OK writes it into the marker; Cancel leaves it as it was.
class CStepNumberDlg : public QDialog {
    Q_OBJECT
public:
    explicit CStepNumberDlg(StepObject& object, QWidget* parent = nullptr);

public slots:
    void accept() override;

private:
    StepObject& object_;
    QSpinBox* number_;
};
