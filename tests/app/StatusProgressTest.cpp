#include "app/StatusProgress.h"
#include "app/CMainFrame.h"
#include "tests/app/AppTestSupport.h"

#include <QLabel>
#include <QProgressBar>

#include <gtest/gtest.h>

TEST(StatusProgress, ShowsOverTheStretchingPaneWhileItLives)
{
    EnsureApp();
    CMainFrame frame;
    frame.resize(800, 600);
    frame.show();
    QLabel* pane = frame.StatusPane(13002);
    {
        StatusProgress progress(pane);
        ASSERT_NE(progress.Bar(), nullptr);
        EXPECT_FALSE(progress.Bar()->isVisible());
        progress.Reset();
        EXPECT_TRUE(progress.Bar()->isVisible());
        EXPECT_EQ(progress.Bar()->value(), 0);
        EXPECT_EQ(progress.Bar()->geometry(), pane->rect());
        progress.SetPosition(40);
        EXPECT_EQ(progress.Bar()->value(), 40);
        EXPECT_EQ(progress.GetPosition(), 40);
        EXPECT_EQ(pane->findChildren<QProgressBar*>().size(), 1);
    }
    EXPECT_TRUE(pane->findChildren<QProgressBar*>().isEmpty());
}

TEST(StatusProgress, RepaintsOnlyWhenThePercentageChanges)
{
    EnsureApp();
    QLabel pane;
    pane.resize(300, 20);
    pane.show();
    StatusProgress progress(&pane);
    progress.Reset();
    const int afterReset = progress.Repaints();
    progress.SetPosition(0);
    progress.SetPosition(0);
    EXPECT_EQ(progress.Repaints(), afterReset);
    progress.SetPosition(1);
    progress.SetPosition(1);
    progress.SetPosition(2);
    EXPECT_EQ(progress.Repaints(), afterReset + 2);
}

TEST(StatusProgress, WithoutAPaneOnlyKeepsTheValue)
{
    StatusProgress progress(nullptr);
    progress.SetPosition(70);
    EXPECT_EQ(progress.GetPosition(), 70);
    EXPECT_EQ(progress.Bar(), nullptr);
}
