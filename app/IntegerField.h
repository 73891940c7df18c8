#pragma once

class QLineEdit;

// The integer exchange of the settings pages: a field that holds no integer says so and keeps the value
// read last.
class IntegerField {
public:
    // Stores the field's number in value; otherwise tells the user and returns false.
    static bool Read(QLineEdit* edit, int& value);
};
