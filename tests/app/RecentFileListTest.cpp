#include "app/RecentFileList.h"
#include "app/QtFileFilters.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(RecentFileList, NewestFirstKeepsFourAndMovesARepeatToTheFront)
{
    RecentFileList list(4);
    for (const char* path : { "/a.bmp", "/b.bmp", "/c.bmp", "/d.bmp", "/e.bmp" })
        list.Add(path);
    EXPECT_EQ(list.Entries(), (QStringList { "/e.bmp", "/d.bmp", "/c.bmp", "/b.bmp" }));
    list.Add("/c.bmp");
    EXPECT_EQ(list.Entries(), (QStringList { "/c.bmp", "/e.bmp", "/d.bmp", "/b.bmp" }));
    list.Remove("/e.bmp");
    EXPECT_EQ(list.Entries(), (QStringList { "/c.bmp", "/d.bmp", "/b.bmp" }));
    list.Add("");
    EXPECT_EQ(list.Entries().size(), 3);
}

TEST(RecentFileList, SavedAndLoadedThroughSettings)
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/lumora.conf";
    {
        QSettings settings(file, QSettings::IniFormat);
        RecentFileList list;
        list.Add("/x/one.png");
        list.Add("/x/two.png");
        list.Save(settings);
    }
    QSettings settings(file, QSettings::IniFormat);
    EXPECT_EQ(settings.value("Recent File List/File1").toString(), "/x/two.png");
    RecentFileList loaded;
    loaded.Load(settings);
    EXPECT_EQ(loaded.Entries(), (QStringList { "/x/two.png", "/x/one.png" }));
    // Saving a shorter list drops the old tail entries.
    loaded.Remove("/x/one.png");
    loaded.Save(settings);
    EXPECT_FALSE(settings.contains("Recent File List/File2"));
}

TEST(QtFileFilters, TurnsPairsIntoQtNameFilters)
{
    EXPECT_EQ(QtFileFilters("All Support Files|*.bmp;*.jpg|BMP (*.bmp)|*.bmp|JPEG (*.jpg, *.jpeg)|*.jpg;*.jpeg||"),
        (QStringList { "All Support Files (*.bmp *.jpg)", "BMP (*.bmp)", "JPEG (*.jpg *.jpeg)" }));
    EXPECT_TRUE(QtFileFilters("").isEmpty());
    EXPECT_TRUE(QtFileFilters("||").isEmpty());
}
