#include "app/CommandTable.h"
#include "app/CommandIds.h"
#include "app/Pictograms.h"
#include "tests/app/AppTestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <set>

namespace {
const PopupSpec* FindPopup(const std::vector<PopupSpec>& menu, const char* title)
{
    for (const PopupSpec& popup : menu) {
        if (QString(popup.title) == title)
            return &popup;
    }
    return nullptr;
}

std::vector<std::pair<int, QString>> Items(const PopupSpec& popup)
{
    std::vector<std::pair<int, QString>> items;
    for (const MenuEntry& entry : popup.items) {
        if (entry.id != 0)
            items.emplace_back(entry.id, QString::fromUtf8(entry.text));
    }
    return items;
}
} // namespace

TEST(CommandTable, DocumentMenuHoldsEveryItemWithItsIdAndText)
{
    const auto& menu = CommandTable::DocumentMenu();
    using V = std::vector<std::pair<int, QString>>;
    EXPECT_EQ(Items(*FindPopup(menu, "&File")),
        (V { { 57600, "&New\tCtrl+N" }, { 57601, "&Open...\tCtrl+O" }, { 57602, "&Close" }, { 57603, "&Save\tCtrl+S" },
            { 57604, "Save &As..." }, { 57607, "&Print...\tCtrl+P" }, { 57609, "Print Pre&view" },
            { 57606, "P&rint Setup..." }, { 57616, "Recent File" }, { 57665, "E&xit" } }));
    EXPECT_EQ(Items(*FindPopup(menu, "&Edit")),
        (V { { 57643, "&Undo\tCtrl+Z" }, { 57644, "&Redo\t" }, { 57635, "Cu&t\tCtrl+X" }, { 57634, "&Copy\tCtrl+C" },
            { 57637, "&Paste\tCtrl+V" }, { 32960, "Pin to Screen" }, { 33620, "Copy Te&xt" } }));
    EXPECT_EQ(Items(*FindPopup(menu, "&View")),
        (V { { 59392, "&Main Toolbar" }, { 59393, "&Status Bar" }, { 32830, "Zoom In" }, { 32832, "Acture" },
            { 32831, "Zoom Out" } }));
    EXPECT_EQ(Items(*FindPopup(menu, "&Capture")),
        (V { { 32835, "&Full Screen" }, { 32792, "&Rectangle Region" }, { 32793, "&Window / Object" },
            { 32794, "&Active Window" }, { 32921, "&Scrolling Window" }, { 32929, "Fixed Rectangle" } }));
    EXPECT_EQ(Items(*FindPopup(menu, "&Image")),
        (V { { 20004, "&Rotate 90" }, { 20007, "Rotate 270" }, { 20002, "Rotate..." }, { 20009, "Resize..." },
            { 20010, "Brightness/Contrast" }, { 20012, "Hue/Saturation" }, { 20016, "&RGB Value" },
            { 20017, "&Color Level" }, { 20051, "Auto Color Level" }, { 20005, "Filp Horizontally" },
            { 20006, "Filp Vertically" }, { 20019, "&GrayImage" }, { 20020, "&Invert" }, { 20014, "Color Tone" } }));
    EXPECT_EQ(Items(*FindPopup(menu, "F&ilter")),
        (V { { 20033, "Noisy" }, { 20034, "Blot" }, { 20035, "Emboss" }, { 20036, "OilPaint" }, { 20037, "Splash" },
            { 20038, "Posterize" }, { 20040, "Mosaic" }, { 20041, "Halftone" }, { 20042, "Blur" },
            { 20050, "3D Grid" } }));
    EXPECT_EQ(Items(*FindPopup(menu, "&Setting")),
        (V { { 32795, "&Capture Setting" }, { 32899, "Define hotkey" }, { 32900, "Enable hotkey" },
            { 32884, "Run as &tray mode" }, { 32955, "AutoRun when startup" } }));
    EXPECT_EQ(Items(*FindPopup(menu, "&Window")),
        (V { { 57648, "&New Window" }, { 57650, "&Cascade" }, { 57651, "&Tile" }, { 57649, "&Arrange Icons" } }));
    EXPECT_EQ(Items(*FindPopup(menu, "&Help")),
        (V { { 32878, "Visit &Homepage" }, { 32877, "Help" }, { 57664, "&About..." } }));
}

TEST(CommandTable, FrameMenuDiffersOnlyByCropSelectionFirstInImage)
{
    const auto frame = CommandTable::FrameMenu();
    const auto& document = CommandTable::DocumentMenu();
    ASSERT_EQ(frame.size(), document.size());
    for (size_t i = 0; i < frame.size(); ++i) {
        auto frameItems = Items(frame[i]);
        const auto documentItems = Items(document[i]);
        if (QString(frame[i].title) == "&Image") {
            ASSERT_FALSE(frameItems.empty());
            EXPECT_EQ(frameItems.front(), std::make_pair(CommandId::CropSelection, QString("Crop Selection")));
            frameItems.erase(frameItems.begin());
        }
        EXPECT_EQ(frameItems, documentItems) << frame[i].title;
    }
}

TEST(CommandTable, ImageAndFilterCommandsLieInTheDocumentEffectRange)
{
    for (const char* title : { "&Image", "F&ilter" }) {
        for (const auto& [id, text] : Items(*FindPopup(CommandTable::DocumentMenu(), title))) {
            EXPECT_GE(id, CommandId::EffectFirst) << text.toStdString();
            EXPECT_LE(id, CommandId::EffectLast) << text.toStdString();
        }
    }
}

TEST(CommandTable, NoIdNamesTwoDifferentMenuItems)
{
    std::set<int> seen;
    for (const PopupSpec& popup : CommandTable::FrameMenu()) {
        for (const auto& [id, text] : Items(popup))
            EXPECT_TRUE(seen.insert(id).second) << id << " " << text.toStdString();
    }
}

TEST(CommandTable, TrayAndTabMenus)
{
    using V = std::vector<std::pair<int, QString>>;
    PopupSpec tray { "", CommandTable::TrayMenu() };
    EXPECT_EQ(Items(tray),
        (V { { 32891, "Show/Hide Main window" }, { 32835, "Capture Full screen" }, { 32793, "Capture Windows" },
            { 32792, "Capture Region" }, { 32794, "Capture Active window" }, { 57665, "Exit Lumora" } }));
    // The separator stands right before "Exit Lumora".
    const auto& entries = CommandTable::TrayMenu();
    ASSERT_EQ(entries.size(), 7u);
    EXPECT_EQ(entries[5].id, 0);
    PopupSpec tab { "", CommandTable::TabMenu() };
    EXPECT_EQ(Items(tab), (V { { 57603, "Save" }, { 57604, "Save As" }, { 57602, "Close" } }));
}

TEST(CommandTable, ToolbarsInOrderWithSeparators)
{
    std::vector<int> main;
    for (const ToolbarEntry& entry : CommandTable::MainToolbar())
        main.push_back(entry.id);
    EXPECT_EQ(main,
        (std::vector<int> {
            57600, 57601, 57603, 0, 32835, 32792, 32793, 32921, 0, 57643, 57644, 0, 32830, 32831, 32832 }));
    std::vector<int> tools;
    for (const ToolbarEntry& entry : CommandTable::ToolsToolbar())
        tools.push_back(entry.id);
    EXPECT_EQ(tools,
        (std::vector<int> {
            32836, 32809, 32838, 32859, 0, 32812, 32923, 32943, 32946, 32945, 32944, 33600, 33601, 33602, 0, 32924 }));
}

TEST(CommandTable, AcceleratorsIncludingTheAlternativeKeys)
{
    using K = QList<QKeySequence>;
    EXPECT_EQ(CommandTable::Accelerators(57634), (K { QKeySequence("Ctrl+C"), QKeySequence("Ctrl+Ins") }));
    EXPECT_EQ(CommandTable::Accelerators(57635), (K { QKeySequence("Ctrl+X"), QKeySequence("Shift+Del") }));
    EXPECT_EQ(CommandTable::Accelerators(57637), (K { QKeySequence("Ctrl+V"), QKeySequence("Shift+Ins") }));
    EXPECT_EQ(CommandTable::Accelerators(57643), (K { QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace") }));
    EXPECT_EQ(CommandTable::Accelerators(57600), (K { QKeySequence("Ctrl+N") }));
    EXPECT_EQ(CommandTable::Accelerators(57601), (K { QKeySequence("Ctrl+O") }));
    EXPECT_EQ(CommandTable::Accelerators(57607), (K { QKeySequence("Ctrl+P") }));
    EXPECT_EQ(CommandTable::Accelerators(57603), (K { QKeySequence("Ctrl+S") }));
    EXPECT_EQ(CommandTable::Accelerators(32877), (K { QKeySequence("F1") }));
    EXPECT_EQ(CommandTable::Accelerators(57680), (K { QKeySequence("F6") }));
    EXPECT_EQ(CommandTable::Accelerators(57681), (K { QKeySequence("Shift+F6") }));
    EXPECT_EQ(CommandTable::Accelerators(57644), (K { QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z") }));
}

TEST(CommandTable, AcceleratorNamedInAMenuTextIsTheOneBound)
{
    // "&Open...\tCtrl+O" promises Ctrl+O: the part after the tab must be the first bound key.
    for (const PopupSpec& popup : CommandTable::DocumentMenu()) {
        for (const MenuEntry& entry : popup.items) {
            if (entry.id == 0)
                continue;
            const QString text = QString::fromUtf8(entry.text);
            const qsizetype tab = text.indexOf('\t');
            if (tab < 0 || tab + 1 == text.size())
                continue;
            const auto keys = CommandTable::Accelerators(entry.id);
            ASSERT_FALSE(keys.isEmpty()) << text.toStdString();
            EXPECT_EQ(keys.front(), QKeySequence(text.mid(tab + 1))) << text.toStdString();
        }
    }
    EXPECT_EQ(CommandTable::Label("&New\tCtrl+N"), "&New");
    EXPECT_EQ(CommandTable::Label("&Redo\t"), "&Redo");
    EXPECT_EQ(CommandTable::Label("Acture"), "Acture");
}

TEST(CommandTable, EveryToolbarButtonHasItsOwnDrawnPicture)
{
    EnsureApp();
    for (const auto* bar : { &CommandTable::MainToolbar(), &CommandTable::ToolsToolbar() }) {
        for (const ToolbarEntry& entry : *bar) {
            if (entry.id == 0)
                continue;
            const QImage image = Pictograms::Draw(entry.pictogram, 32).toImage();
            ASSERT_FALSE(image.isNull()) << entry.pictogram;
            // Something was drawn: at least one pixel is not transparent.
            bool drawn = false;
            for (int y = 0; y < image.height() && !drawn; ++y) {
                for (int x = 0; x < image.width() && !drawn; ++x)
                    drawn = qAlpha(image.pixel(x, y)) != 0;
            }
            EXPECT_TRUE(drawn) << entry.pictogram;
        }
    }
    EXPECT_TRUE(Pictograms::Draw("no-such-picture", 32).isNull());
}
