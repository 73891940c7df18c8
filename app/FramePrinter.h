#pragma once

#include <memory>

class CKestrelView;
class QPrinter;
class QWidget;

// The File menu's printing of the active view. Page setup, printing, the
// preview and direct printing share one printer, so the chosen page carries
// over. Without a view only the page setup does anything.
class FramePrinter {
public:
    explicit FramePrinter(QWidget& frame);
    ~FramePrinter();

    void PageSetup();
    void Print(CKestrelView* view);
    void Preview(CKestrelView* view);
    // The default printer, or the one the page setup chose, without asking.
    void PrintDirect(CKestrelView* view);

private:
    QPrinter& Printer();

    QWidget& frame_;
    std::unique_ptr<QPrinter> printer_;
};
