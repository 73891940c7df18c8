#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "tests/app/AppTestSupport.h"

#include <QDir>
#include <QFile>
#include <QPrinterInfo>
#include <QSet>
#include <QTimer>

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

namespace {
// Where the cups-pdf queue writes this user's jobs: the PDF folder of the account's home, whatever
// HOME says.
QDir CupsPdfFolder()
{
    const passwd* account = getpwuid(getuid());
    return QDir(QString::fromLocal8Bit(account ? account->pw_dir : "") + "/PDF");
}

QSet<QString> PdfFiles(const QDir& folder)
{
    const QStringList names = folder.entryList({ "*.pdf" }, QDir::Files);
    return QSet<QString>(names.begin(), names.end());
}
} // namespace

TEST(PrintDirectTest, TheActiveDocumentReachesTheDefaultPrinterWithoutADialog)
{
    EnsureApp();
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull() || !printer.makeAndModel().contains("CUPS-PDF"))
        GTEST_SKIP() << "needs a cups-pdf queue as the default printer (scripts/test.sh sets one up)";
    const QDir folder = CupsPdfFolder();
    const QSet<QString> before = PdfFiles(folder);

    CMainFrame frame;
    frame.show();
    frame.OnCommand(CommandId::FileNew);
    // A dialog would wait for an answer nobody gives: note it and send it away.
    QString dialog;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            dialog = modal->metaObject()->className();
            modal->close();
        }
    });
    watch.start(500);
    frame.OnCommand(CommandId::FilePrintDirect);
    watch.stop();
    EXPECT_TRUE(dialog.isEmpty()) << "a " << dialog.toStdString() << " opened";

    QString printed;
    ASSERT_TRUE(WaitFor(
        [&] {
            const QSet<QString> added = PdfFiles(folder) - before;
            printed = added.isEmpty() ? QString() : folder.filePath(*added.begin());
            return !printed.isEmpty() && QFile(printed).size() > 1000;
        },
        60000, 250))
        << "no PDF appeared in " << folder.path().toStdString();
    QFile pdf(printed);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF-"));
    pdf.close();
    QFile::remove(printed);
    frame.Documents().front()->SetModified(false);
}
