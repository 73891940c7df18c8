#include "ReviewPictures.h"
#include "controls/CXColourPicker.h"
#include "editor/objects/TextObject.h"
#include "editor/ui/CEditTxtDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

class EditTxtDlgTest : public ::testing::Test {
protected:
    template <class Control> static Control* Find(QWidget& dialog, int id)
    {
        return dialog.findChild<Control*>(QString("ctl%1").arg(id));
    }

    static void Show(CEditTxtDlg& dialog)
    {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    // Replaces the size edit's text by typing.
    static void TypeSize(CEditTxtDlg& dialog, const QString& text)
    {
        QLineEdit* size = Find<QLineEdit>(dialog, 1005);
        size->setFocus();
        size->selectAll();
        QTest::keyClicks(size, text);
    }

    static void Click(CEditTxtDlg& dialog, int id) { QTest::mouseClick(Find<QPushButton>(dialog, id), Qt::LeftButton); }
    // Check boxes and radio buttons answer a click on their mark.
    static void Tick(QAbstractButton* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }
};

TEST_F(EditTxtDlgTest, NewObjectShowsItsDefaults)
{
    TextObject object;
    CEditTxtDlg dialog(object);
    Show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Edit Text");
    // "Arial" itself when installed; otherwise the face the desktop draws Arial with.
    const QString arial = QFontDatabase::families().contains("Arial") ? "Arial" : QFontInfo(QFont("Arial")).family();
    EXPECT_EQ(Find<QComboBox>(dialog, 1035)->currentText(), arial);
    EXPECT_EQ(Find<QLineEdit>(dialog, 1005)->text(), "16");
    EXPECT_EQ(Find<QComboBox>(dialog, 1049)->currentText(), "16");
    EXPECT_TRUE(Find<QRadioButton>(dialog, 1008)->isChecked());
    EXPECT_EQ(Find<CXColourPicker>(dialog, 1061)->GetColour(), 0u);
    EXPECT_TRUE(Find<QPlainTextEdit>(dialog, 1023)->toPlainText().isEmpty());
    KeepPicture(dialog, "edit_text_dialog");
}

struct EditCase {
    const char* name;
    std::function<void(CEditTxtDlg&)> edit; // ends by pressing OK or Cancel
    std::function<void(const TextObject&)> expect;
};

TEST_F(EditTxtDlgTest, EditsReachTheObjectOnlyThroughOk)
{
    const std::vector<EditCase> cases = {
        { "13 typed", [](CEditTxtDlg& d) { TypeSize(d, "13"), Click(d, 1); },
            [](const TextObject& o) { EXPECT_EQ(o.fontSize, 13); } },
        { "72 chosen",
            [](CEditTxtDlg& d) {
                QComboBox* sizes = Find<QComboBox>(d, 1049);
                sizes->setFocus();
                QTest::keyClick(sizes, Qt::Key_End);
                EXPECT_EQ(Find<QLineEdit>(d, 1005)->text(), "72");
                Click(d, 1);
            },
            [](const TextObject& o) { EXPECT_EQ(o.fontSize, 72); } },
        { "lines typed",
            [](CEditTxtDlg& d) {
                QPlainTextEdit* text = Find<QPlainTextEdit>(d, 1023);
                text->setFocus();
                QTest::keyClicks(text, "first");
                QTest::keyClick(text, Qt::Key_Return);
                QTest::keyClicks(text, "second");
                Tick(Find<QCheckBox>(d, 1004));
                Tick(Find<QRadioButton>(d, 1031));
                Click(d, 1);
            },
            [](const TextObject& o) {
                EXPECT_EQ(o.text, "first\r\nsecond");
                EXPECT_TRUE(o.bold);
                EXPECT_EQ(o.alignment, TextObject::kAlignRight);
            } },
        { "Cancel after edits",
            [](CEditTxtDlg& d) {
                QTest::keyClicks(Find<QPlainTextEdit>(d, 1023), "lost");
                TypeSize(d, "40");
                Find<QComboBox>(d, 1035)->setCurrentIndex(Find<QComboBox>(d, 1035)->count() - 1);
                Tick(Find<QCheckBox>(d, 1033));
                Click(d, 2);
            },
            [](const TextObject& o) {
                const TextObject fresh;
                EXPECT_TRUE(o.text.isEmpty());
                EXPECT_EQ(o.fontFace, fresh.fontFace);
                EXPECT_EQ(o.fontSize, fresh.fontSize);
                EXPECT_FALSE(o.underline);
            } },
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        TextObject object;
        CEditTxtDlg dialog(object);
        Show(dialog);
        c.edit(dialog);
        EXPECT_FALSE(dialog.isVisible());
        c.expect(object);
    }
}

TEST_F(EditTxtDlgTest, StoredLineBreaksSurviveAndTheWholeTextIsKept)
{
    TextObject object;
    // Longer than any fixed buffer, with characters outside ASCII.
    object.text = QString("Zeile eins \u00e4\u00f6\u00fc\r\n").repeated(60) + "end";
    const QString stored = object.text;
    CEditTxtDlg dialog(object);
    Show(dialog);
    EXPECT_EQ(Find<QPlainTextEdit>(dialog, 1023)->toPlainText(), QString(stored).replace("\r\n", "\n"));
    Click(dialog, 1);
    EXPECT_EQ(object.text, stored);
}

TEST_F(EditTxtDlgTest, SizeThatIsNotAnIntegerKeepsTheDialogOpen)
{
    TextObject object;
    CEditTxtDlg dialog(object);
    Show(dialog);
    TypeSize(dialog, "1x");
    QString message;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            answer.stop();
            message = box->text();
            box->accept();
        }
    });
    answer.start(20);
    Click(dialog, 1);
    EXPECT_EQ(message, "Please enter an integer.");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(object.fontSize, 16);
    Click(dialog, 2);
}

} // namespace
