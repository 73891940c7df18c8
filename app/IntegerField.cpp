#include "app/IntegerField.h"

#include <QLineEdit>
#include <QMessageBox>

bool IntegerField::Read(QLineEdit* edit, int& value)
{
    bool ok = false;
    const int number = edit->text().trimmed().toInt(&ok);
    if (ok) {
        value = number;
        return true;
    }
    QMessageBox::warning(edit->window(), "Lumora", "Please enter an integer.");
    edit->setFocus();
    edit->selectAll();
    return false;
}
