#include "app/CloseSequence.h"
#include "app/ClosableDocument.h"
#include "app/CloseSequencePrompts.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

namespace {
struct FakeDocument : ClosableDocument {
    FakeDocument(QString title, bool modified, bool saveWorks = true)
        : title(std::move(title))
        , modified(modified)
        , saveWorks(saveWorks)
    {
    }
    QString Title() const override { return title; }
    bool IsModified() const override { return modified; }
    void SetModified(bool value) override { modified = value; }
    bool SaveTo(const QString& path) override
    {
        if (saveWorks)
            savedTo = path;
        return saveWorks;
    }
    void CloseDocument() override { closed = true; }

    QString title;
    bool modified;
    bool saveWorks;
    bool closed = false;
    QString savedTo;
};

struct ScriptedPrompts : CloseSequencePrompts {
    ExitAnswer AskSaveOnExit(const QString& title) override
    {
        asked << title;
        const ExitAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    SaveImageAnswer AskSaveImage() override { return SaveImageAnswer::Cancel; }
    std::optional<QString> AskSavePath(const QString& title, const QString& suffix) override
    {
        pathAsked << title;
        suffixes << suffix;
        return path;
    }
    void ReportSaveFailure(const QString& failedPath) override { failures << failedPath; }
    void ReportOpenFailure(const QString&) override { }

    std::deque<ExitAnswer> answers;
    std::optional<QString> path;
    QStringList asked, pathAsked, suffixes, failures;
};

struct Three {
    FakeDocument a { "Capture1", true }, b { "Capture2", true }, c { "Capture3", true };
    std::vector<ClosableDocument*> All() { return { &a, &b, &c }; }
};
} // namespace

TEST(CloseSequence, SaveNoneAtTheFirstClosesAllThreeWithoutSaving)
{
    Three docs;
    ScriptedPrompts prompts;
    prompts.answers = { ExitAnswer::SaveNone };
    EXPECT_TRUE(CloseSequence(prompts).Run(docs.All()));
    EXPECT_EQ(prompts.asked, QStringList { "Capture1" });
    for (FakeDocument* d : { &docs.a, &docs.b, &docs.c }) {
        EXPECT_FALSE(d->modified) << d->title.toStdString(); // the frame's own closing then closes them
        EXPECT_TRUE(d->savedTo.isEmpty());
    }
    EXPECT_TRUE(prompts.pathAsked.isEmpty());
}

TEST(CloseSequence, CancelAtTheSecondKeepsProgramOpenAfterFirstAnsweredNo)
{
    Three docs;
    ScriptedPrompts prompts;
    prompts.answers = { ExitAnswer::No, ExitAnswer::Cancel };
    EXPECT_FALSE(CloseSequence(prompts).Run(docs.All()));
    EXPECT_EQ(prompts.asked, (QStringList { "Capture1", "Capture2" }));
    EXPECT_TRUE(docs.a.closed);
    EXPECT_FALSE(docs.b.closed);
    EXPECT_TRUE(docs.b.modified);
    EXPECT_FALSE(docs.c.closed);
    EXPECT_TRUE(docs.c.modified);
}

TEST(CloseSequence, NoToEveryDocumentClosesEachInTurn)
{
    Three docs;
    ScriptedPrompts prompts;
    prompts.answers = { ExitAnswer::No, ExitAnswer::No, ExitAnswer::No };
    EXPECT_TRUE(CloseSequence(prompts).Run(docs.All()));
    EXPECT_EQ(prompts.asked, (QStringList { "Capture1", "Capture2", "Capture3" }));
    EXPECT_TRUE(docs.a.closed && docs.b.closed && docs.c.closed);
}

TEST(CloseSequence, UnmodifiedDocumentsCloseWithoutAQuestion)
{
    FakeDocument clean("Clean", false), dirty("Dirty", true);
    ScriptedPrompts prompts;
    prompts.answers = { ExitAnswer::No };
    EXPECT_TRUE(CloseSequence(prompts).Run({ &clean, &dirty }));
    EXPECT_EQ(prompts.asked, QStringList { "Dirty" });
    EXPECT_TRUE(clean.closed);
}

TEST(CloseSequence, YesSavesToTheChosenPathThenCloses)
{
    FakeDocument doc("Capture1", true);
    ScriptedPrompts prompts;
    prompts.answers = { ExitAnswer::Yes };
    prompts.path = "/tmp/out.jpg";
    EXPECT_TRUE(CloseSequence(prompts).Run({ &doc }));
    EXPECT_EQ(prompts.pathAsked, QStringList { "Capture1" });
    EXPECT_EQ(prompts.suffixes, QStringList { "jpg" });
    EXPECT_EQ(doc.savedTo, "/tmp/out.jpg");
    EXPECT_FALSE(doc.modified);
    EXPECT_TRUE(doc.closed);
}

TEST(CloseSequence, CancellingTheSaveDialogCancelsTheWholeClose)
{
    Three docs;
    ScriptedPrompts prompts;
    prompts.answers = { ExitAnswer::Yes };
    prompts.path = std::nullopt;
    EXPECT_FALSE(CloseSequence(prompts).Run(docs.All()));
    EXPECT_FALSE(docs.a.closed);
    EXPECT_TRUE(docs.a.modified);
    EXPECT_EQ(prompts.asked.size(), 1);
}

TEST(CloseSequence, FailedSaveIsReportedAndKeepsTheDocumentOpenAndModified)
{
    FakeDocument doc("Capture1", true, /*saveWorks=*/false), later("Capture2", true);
    ScriptedPrompts prompts;
    prompts.answers = { ExitAnswer::Yes };
    prompts.path = "/nonexistent/out.jpg";
    EXPECT_FALSE(CloseSequence(prompts).Run({ &doc, &later }));
    EXPECT_EQ(prompts.failures, QStringList { "/nonexistent/out.jpg" });
    EXPECT_TRUE(doc.modified);
    EXPECT_FALSE(doc.closed);
    EXPECT_TRUE(later.modified);
}
