#include "settings/IniFile.h"
#include "tests/settings/IniTestFiles.h"

#include <gtest/gtest.h>

#include <QDir>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    IniScratch scratch;
};

TEST_F(IniFileTest, ReadString_FindsSectionsAndKeysInAnyCaseAndTrimsValues)
{
    const std::string path = scratch.Write("a.ini",
        "; comment\r\n[Other]\r\nTitle=wrong\r\n[audosaveset]\r\n  imagesavetitle  =   My Shot  \r\n"
        "Quoted=\"  padded  \"\r\n");
    const IniFile ini(path.c_str());
    EXPECT_EQ(ini.ReadString("AudoSaveSet", "ImageSaveTitle", "x"), "My Shot");
    EXPECT_EQ(ini.ReadString("AUDOSAVESET", "quoted", "x"), "  padded  ");
    EXPECT_EQ(ini.ReadString("Other", "Title", "x"), "wrong");
    EXPECT_EQ(ini.ReadString("Missing", "Title", "fallback"), "fallback");
    EXPECT_EQ(ini.ReadString("Other", "Missing", "fallback"), "fallback");
}

TEST_F(IniFileTest, ReadString_TellsAnEmptyValueFromAnAbsentKey)
{
    const std::string path = scratch.Write("a.ini", "[S]\nEmpty=\nBlank=   \n");
    const IniFile ini(path.c_str());
    EXPECT_EQ(ini.ReadString("S", "Empty", "default"), "");
    EXPECT_EQ(ini.ReadString("S", "Blank", "default"), "");
    EXPECT_EQ(ini.ReadString("S", "Absent", "default"), "default");
}

TEST_F(IniFileTest, ReadString_ReturnsLongValuesWhole)
{
    const std::string value(5000, 'v');
    const std::string path = scratch.Write("a.ini", "[S]\nLong=" + value + "\n");
    EXPECT_EQ(IniFile(path.c_str()).ReadString("S", "Long", ""), value);
}

TEST_F(IniFileTest, NullSectionKeyOrPath_ReadDefaultsAndWriteNothing)
{
    const std::string path = scratch.Write("a.ini", "[S]\nK=5\n");
    IniFile ini(path.c_str());
    EXPECT_EQ(ini.ReadInt(nullptr, "K", 7), 7);
    EXPECT_EQ(ini.ReadInt("S", nullptr, 7), 7);
    EXPECT_FALSE(ini.WriteInt(nullptr, "K", 1));
    EXPECT_FALSE(ini.WriteInt("S", nullptr, 1));
    EXPECT_EQ(IniScratch::Read(path), "[S]\nK=5\n");

    ini.SetPath(nullptr);
    EXPECT_EQ(ini.Path(), "");
    EXPECT_EQ(ini.ReadInt("S", "K", 7), 7);
    EXPECT_FALSE(ini.WriteInt("S", "K", 1));
}

TEST_F(IniFileTest, ReadInt_TakesLeadingDigitsAndFallsBackOnEmpty)
{
    const std::string path = scratch.Write("a.ini",
        "[S]\nPlain=1234\nTrailing=12abc\nNoDigits=abc\nEmpty=\nNegative=-5\nSpaced=  +42\n"
        "Huge=99999999999\nHex=ff\n");
    const IniFile ini(path.c_str());
    EXPECT_EQ(ini.ReadInt("S", "Plain", 9), 1234);
    EXPECT_EQ(ini.ReadInt("S", "Trailing", 9), 12);
    EXPECT_EQ(ini.ReadInt("S", "NoDigits", 9), 0);
    EXPECT_EQ(ini.ReadInt("S", "Empty", 9), 9);
    EXPECT_EQ(ini.ReadInt("S", "Absent", 9), 9);
    EXPECT_EQ(ini.ReadInt("S", "Negative", 9), -5);
    EXPECT_EQ(ini.ReadInt("S", "Spaced", 9), 42);
    // An unsigned 32-bit conversion saturates at 0xFFFFFFFF, which is -1 as a signed value.
    EXPECT_EQ(ini.ReadInt("S", "Huge", 9), -1);
    // "ff" has no decimal digits.
    EXPECT_EQ(ini.ReadInt("S", "Hex", 9), 0);
    EXPECT_EQ(ini.ReadInt("S", "Hex", 9, 16), 255);
}

TEST_F(IniFileTest, ReadInt_LooksOnlyAtTheFirst64Bytes)
{
    // 64 zeros and then a 7: the 7 lies beyond the bytes that are read.
    const std::string path
        = scratch.Write("a.ini", "[S]\nK=" + std::string(64, '0') + "7\nJ=" + std::string(63, '0') + "7\n");
    const IniFile ini(path.c_str());
    EXPECT_EQ(ini.ReadInt("S", "K", 9), 0);
    EXPECT_EQ(ini.ReadInt("S", "J", 9), 7);
}

TEST_F(IniFileTest, ParseInt_HonoursTheRadix)
{
    EXPECT_EQ(IniFile::ParseInt("1011", 2), 11);
    EXPECT_EQ(IniFile::ParseInt("1021", 2), 2); // stops at the first digit outside the radix
    EXPECT_EQ(IniFile::ParseInt("777", 8), 511);
    EXPECT_EQ(IniFile::ParseInt("0x1F", 16), 31);
    EXPECT_EQ(IniFile::ParseInt("1F", 16), 31);
    EXPECT_EQ(IniFile::ParseInt("19", 7), 19); // any other radix is 10
    EXPECT_EQ(IniFile::ParseInt("FFFFFFFF", 16), -1);
}

TEST_F(IniFileTest, ReadBool_IsLenient)
{
    const std::string path = scratch.Write("a.ini",
        "[AppSet]\nYes=yes\nTrue=TRUE\nTwo=2\nNo=no\nZero=0\nMixed=YeS\nNumberText=3 apples\nEmpty=\n"
        "Truthy=truely\nMinus=-1\n");
    const IniFile ini(path.c_str());
    EXPECT_EQ(ini.ReadBool("AppSet", "Yes", 0), 1);
    EXPECT_EQ(ini.ReadBool("AppSet", "True", 0), 1);
    EXPECT_EQ(ini.ReadBool("AppSet", "Two", 0), 1);
    EXPECT_EQ(ini.ReadBool("AppSet", "Mixed", 0), 1);
    EXPECT_EQ(ini.ReadBool("AppSet", "NumberText", 0), 1);
    EXPECT_EQ(ini.ReadBool("AppSet", "Minus", 0), 1);
    EXPECT_EQ(ini.ReadBool("AppSet", "No", 1), 0);
    EXPECT_EQ(ini.ReadBool("AppSet", "Zero", 1), 0);
    EXPECT_EQ(ini.ReadBool("AppSet", "Truthy", 1), 0); // only the whole word counts
    EXPECT_EQ(ini.ReadBool("AppSet", "Empty", 1), 1);
    EXPECT_EQ(ini.ReadBool("AppSet", "Absent", 1), 1);
}

TEST_F(IniFileTest, FormatInt_WritesEachRadix)
{
    EXPECT_EQ(IniFile::FormatInt(-12, 10), "-12");
    EXPECT_EQ(IniFile::FormatInt(0, 2), "0");
    EXPECT_EQ(IniFile::FormatInt(6, 2), "110");
    EXPECT_EQ(IniFile::FormatInt(8, 8), "10");
    EXPECT_EQ(IniFile::FormatInt(255, 16), "FF");
    EXPECT_EQ(IniFile::FormatInt(-1, 16), "FFFFFFFF");
}

TEST_F(IniFileTest, Write_CreatesTheFileAndKeepsOtherLines)
{
    const std::string path = scratch.Path("new.ini");
    IniFile ini(path.c_str());
    EXPECT_TRUE(ini.WriteInt("CaptureSet", "CapDelayTime", 50));
    EXPECT_TRUE(ini.WriteBool("CaptureSet", "IncludeCursor", 7));
    EXPECT_TRUE(ini.WriteString("AudoSaveSet", "ImageSaveTitle", nullptr));
    EXPECT_EQ(
        IniScratch::Read(path), "[CaptureSet]\nCapDelayTime=50\nIncludeCursor=1\n[AudoSaveSet]\nImageSaveTitle=\n");

    const std::string kept
        = scratch.Write("kept.ini", "; notes\r\n[captureset]\r\nOther=x\r\ncapdelaytime=9\r\n\r\n[Z]\r\n");
    IniFile keptIni(kept.c_str());
    EXPECT_TRUE(keptIni.WriteInt("CaptureSet", "CapDelayTime", 1000));
    EXPECT_TRUE(keptIni.WriteInt("CaptureSet", "FixRectWidth", 30));
    EXPECT_EQ(IniScratch::Read(kept),
        "; notes\r\n[captureset]\r\nOther=x\r\nCapDelayTime=1000\r\nFixRectWidth=30\r\n\r\n[Z]\r\n");
}

TEST_F(IniFileTest, Write_ReplacesTheFileByRename)
{
    const std::string path = scratch.Write("a.ini", "[S]\nK=1\n");
    struct stat before { };
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    IniFile ini(path.c_str());
    ASSERT_TRUE(ini.WriteInt("S", "K", 2));
    struct stat after { };
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    // An in-place rewrite would keep the inode; a new file renamed over the old one does not.
    EXPECT_NE(before.st_ino, after.st_ino);
    EXPECT_EQ(ini.ReadInt("S", "K", 0), 2);
    // No temporary file is left beside it; the writers' lock file stays.
    const QDir folder(QString::fromStdString(path.substr(0, path.rfind('/'))));
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden), (QStringList { "a.ini", "a.ini.lock" }));
}

TEST_F(IniFileTest, Write_IntoAMissingFolderFails)
{
    IniFile ini(scratch.Path("no/such/folder/config.ini").c_str());
    EXPECT_FALSE(ini.WriteInt("S", "K", 2));
    EXPECT_EQ(ini.ReadInt("S", "K", 5), 5);
}

TEST_F(IniFileTest, Write_IntoAReadOnlyFolderFailsAndLeavesTheFileIntact)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "folder permissions do not bind the root user";
    const std::string path = scratch.Write("a.ini", "[S]\nK=1\n");
    const std::string folder = path.substr(0, path.rfind('/'));
    ASSERT_EQ(chmod(folder.c_str(), 0500), 0);
    IniFile ini(path.c_str());
    EXPECT_FALSE(ini.WriteInt("S", "K", 2));
    chmod(folder.c_str(), 0700);
    EXPECT_EQ(IniScratch::Read(path), "[S]\nK=1\n");
}

TEST_F(IniFileTest, Write_TwoProgramsWritingAtOnceKeepEachOthersKeys)
{
    const std::string path = scratch.Write("config.ini", "[AppSet]\nIsTrayMode=1\n");
    constexpr int kKeys = 60;
    const char* const sections[] = { "CaptureSet", "CapRegion", "AudoSaveSet" };
    std::vector<pid_t> writers;
    for (const char* section : sections) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            IniFile ini(path.c_str());
            bool ok = true;
            for (int i = 0; i < kKeys; ++i)
                ok = ini.WriteInt(section, ("Key" + std::to_string(i)).c_str(), i) && ok;
            _exit(ok ? 0 : 1);
        }
        writers.push_back(pid);
    }
    for (const pid_t pid : writers) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const IniFile ini(path.c_str());
    EXPECT_EQ(ini.ReadInt("AppSet", "IsTrayMode", 0), 1);
    for (const char* section : sections)
        for (int i = 0; i < kKeys; ++i)
            EXPECT_EQ(ini.ReadInt(section, ("Key" + std::to_string(i)).c_str(), -1), i) << section << " " << i;
}

} // namespace
