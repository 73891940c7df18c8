#pragma once

#include <QString>

#include <string>
#include <vector>

// The languages the text recogniser has data for, looked up once per run: the lookup loads one
// language's data.
class TextLanguages {
public:
    static const std::vector<std::string>& Installed();
    // What to tell a user who has none.
    static QString MissingReason();
    // The language to read: the chosen one while its data is there, else the first one installed.
    static std::string Choose(const std::string& chosen);
};
