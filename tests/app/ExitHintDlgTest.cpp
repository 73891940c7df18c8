#include "app/CExitHintDlg.h"
#include "app/DialogClosePrompts.h"
#include "tests/app/AppTestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

TEST(CExitHintDlg, AsksAboutTheTitleWithFourButtons)
{
    EnsureApp();
    CExitHintDlg dialog("Capture1");
    EXPECT_EQ(dialog.Question(), "Do you want to save Capture1?");
    EXPECT_EQ(dialog.windowTitle(), "Save image");
    const std::pair<int, const char*> buttons[]
        = { { 1000, "Yes" }, { 1001, "No" }, { 1002, "Save None" }, { 1003, "Cancel" } };
    for (const auto& [id, text] : buttons) {
        auto* button = dialog.findChild<QPushButton*>(QString("button%1").arg(id));
        ASSERT_NE(button, nullptr) << id;
        EXPECT_EQ(button->text(), text);
    }
}

TEST(CExitHintDlg, TitleIsShownAsPlainText)
{
    EnsureApp();
    CExitHintDlg dialog("<b>x</b>");
    auto* label = dialog.findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
}

namespace {
int RunAndPress(const QString& buttonName)
{
    CExitHintDlg dialog("Capture1");
    QTimer::singleShot(0, &dialog, [&] {
        if (buttonName == "escape")
            dialog.reject();
        else
            dialog.findChild<QPushButton*>(buttonName)->click();
    });
    return dialog.exec();
}
} // namespace

TEST(CExitHintDlg, EachButtonEndsTheDialogWithItsIdAndEscapeMeansCancel)
{
    EnsureApp();
    EXPECT_EQ(RunAndPress("button1000"), 1000);
    EXPECT_EQ(RunAndPress("button1001"), 1001);
    EXPECT_EQ(RunAndPress("button1002"), 1002);
    EXPECT_EQ(RunAndPress("button1003"), 1003);
    EXPECT_EQ(RunAndPress("escape"), 1003);
}

TEST(DialogClosePrompts, ReturnsTheAnswerOfThePrompt)
{
    EnsureApp();
    DialogClosePrompts prompts(nullptr);
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CExitHintDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->Question(), "Do you want to save Capture7?");
        dialog->findChild<QPushButton*>("button1002")->click();
    });
    EXPECT_EQ(prompts.AskSaveOnExit("Capture7"), ExitAnswer::SaveNone);
}
