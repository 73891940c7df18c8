#include "app/FramePrinter.h"

#include "editor/ui/CKestrelView.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

FramePrinter::FramePrinter(QWidget& frame)
    : frame_(frame)
{
}

FramePrinter::~FramePrinter() = default;

QPrinter& FramePrinter::Printer()
{
    // Made on first use: setting up a printer asks the print system, which the
    // program may never need.
    if (!printer_)
        printer_ = std::make_unique<QPrinter>();
    return *printer_;
}

void FramePrinter::PageSetup()
{
    QPageSetupDialog dialog(&Printer(), &frame_);
    dialog.exec();
}

void FramePrinter::Print(CKestrelView* view)
{
    if (!view)
        return;
    QPrintDialog dialog(&Printer(), &frame_);
    if (dialog.exec() == QDialog::Accepted)
        view->Print(&Printer());
}

void FramePrinter::Preview(CKestrelView* view)
{
    if (!view)
        return;
    QPrintPreviewDialog dialog(&Printer(), &frame_);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, view, &CKestrelView::Print);
    dialog.exec();
}

void FramePrinter::PrintDirect(CKestrelView* view)
{
    if (view)
        view->Print(&Printer());
}
