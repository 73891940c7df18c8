#pragma once

#include <QString>

// What closing the program needs of an open document: its title, its modified flag, saving it under
// a new name and closing its window.
class ClosableDocument {
public:
    virtual ~ClosableDocument() = default;
    virtual QString Title() const = 0;
    virtual bool IsModified() const = 0;
    virtual void SetModified(bool modified) = 0;
    // Saves to path; false when nothing was written (the document keeps its state).
    virtual bool SaveTo(const QString& path) = 0;
    virtual void CloseDocument() = 0;
};
