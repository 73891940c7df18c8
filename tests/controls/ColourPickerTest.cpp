#include "ReviewPictures.h"
#include "controls/CXColourPicker.h"

#include <QApplication>
#include <QColorDialog>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kTeal = ColourRefFromRgb(0, 128, 128);
constexpr uint32_t kRed = ColourRefFromRgb(255, 0, 0);

// One notification as the parent sees it: the message number, the colour and the control id.
struct Note {
    int message;
    uint32_t colour;
    int id;
    friend bool operator==(const Note&, const Note&) = default;
};

std::ostream& operator<<(std::ostream& out, const Note& note)
{
    return out << note.message << "(" << std::hex << note.colour << std::dec << ", " << note.id << ")";
}

class ColourPickerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_.setGeometry(100, 100, 300, 120);
        for (int i = 0; i < 2; ++i) {
            pickers_[i] = new CXColourPicker(1061 + i, &window_);
            pickers_[i]->setGeometry(10 + 60 * i, 10, 48, 22);
            Record(*pickers_[i]);
        }
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }

    void Record(CXColourPicker& picker)
    {
        const auto note = [this](int message) {
            return [this, message](uint32_t colour, int id) { notes_.push_back({ message, colour, id }); };
        };
        QObject::connect(&picker, &CXColourPicker::ColourChanged, &window_, note(2025));
        QObject::connect(&picker, &CXColourPicker::PaletteOpened, &window_, note(2026));
        QObject::connect(&picker, &CXColourPicker::PaletteClosed, &window_, note(2027));
        QObject::connect(&picker, &CXColourPicker::SelectionEnded, &window_, note(2028));
        QObject::connect(&picker, &CXColourPicker::SelectionCancelled, &window_, note(2029));
    }

    CColourPopup* Open(CXColourPicker& picker)
    {
        QTest::mouseClick(&picker, Qt::LeftButton);
        CColourPopup* palette = picker.Palette();
        if (palette)
            (void)QTest::qWaitForWindowExposed(palette);
        return palette;
    }

    static bool Closed(CXColourPicker& picker)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return picker.Palette() == nullptr;
    }

    QWidget window_;
    CXColourPicker* pickers_[2] = {};
    std::vector<Note> notes_;
};

TEST_F(ColourPickerTest, OpensWithTheCurrentColourSunken)
{
    CXColourPicker& picker = *pickers_[0];
    picker.SetColour(kTeal);
    CColourPopup* palette = Open(picker);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->ChosenRow(), 2);
    EXPECT_EQ(palette->ChosenColumn(), 5);
    EXPECT_EQ(palette->Cell(2, 5).name, "Teal");
    EXPECT_EQ(palette->HotRow(), -1);
    // Opened at the button's bottom-left corner.
    EXPECT_EQ(palette->geometry().topLeft(), picker.mapToGlobal(QPoint(0, picker.height())));

    const QImage picture = KeepPicture(*palette, "colour_palette_teal");
    // A sunken cell is dark along its top and left edges; the others are plain button face.
    const QColor dark = palette->palette().color(QPalette::Dark);
    const QColor face = palette->palette().color(QPalette::Button);
    EXPECT_EQ(picture.pixel(palette->CellRect(2, 5).topLeft() + QPoint(1, 0)), dark.rgb());
    EXPECT_EQ(picture.pixel(palette->CellRect(2, 4).topLeft() + QPoint(1, 0)), face.rgb());
    // The swatch inside the cell shows the colour.
    EXPECT_EQ(picture.pixel(palette->CellRect(2, 5).center()), qRgb(0, 128, 128));
    QTest::keyClick(palette, Qt::Key_Escape);
}

struct EndingCase {
    const char* name;
    std::function<void(CColourPopup&)> act;
    std::vector<int> messages; // after 2026
    uint32_t finalColour;
};

TEST_F(ColourPickerTest, EndingsNotifyTheParentInOrder)
{
    const std::vector<EndingCase> cases = {
        { "click outside", [](CColourPopup& p) { QTest::mouseClick(&p, Qt::LeftButton, {}, QPoint(-30, -30)); },
            { 2027, 2029 }, kTeal },
        { "click the current colour",
            [](CColourPopup& p) { QTest::mouseClick(&p, Qt::LeftButton, {}, p.CellRect(2, 5).center()); },
            { 2027, 2028 }, kTeal },
        { "click Red", [](CColourPopup& p) { QTest::mouseClick(&p, Qt::LeftButton, {}, p.CellRect(0, 2).center()); },
            { 2027, 2028, 2025 }, kRed },
        { "keys then Enter",
            [](CColourPopup& p) {
                // From Teal (2, 5) up to Yellow, then left to Gold.
                QTest::keyClick(&p, Qt::Key_Up);
                QTest::keyClick(&p, Qt::Key_Left);
                QTest::keyClick(&p, Qt::Key_Return);
            },
            { 2027, 2028, 2025 }, ColourRefFromRgb(255, 215, 0) },
    };
    for (const EndingCase& c : cases) {
        SCOPED_TRACE(c.name);
        CXColourPicker& picker = *pickers_[0];
        picker.SetColour(kTeal);
        notes_.clear();
        CColourPopup* palette = Open(picker);
        ASSERT_NE(palette, nullptr);
        c.act(*palette);
        ASSERT_TRUE(Closed(picker));
        std::vector<Note> expected = { { 2026, kTeal, 1061 } };
        for (int message : c.messages)
            expected.push_back({ message, c.finalColour, 1061 });
        EXPECT_EQ(notes_, expected);
        EXPECT_EQ(picker.GetColour(), c.finalColour);
    }
}

struct KeyWalk {
    const char* name;
    uint32_t start;
    std::vector<std::pair<Qt::Key, QPoint>> steps; // key, then the hot cell as (column, row)
};

TEST_F(ColourPickerTest, ArrowKeysWalkTheCells)
{
    const QPoint none(-1, -1);
    const std::vector<KeyWalk> walks = {
        { "rows wrap and skip the separator", ColourRefFromRgb(1, 2, 3),
            { { Qt::Key_Right, { 0, 0 } }, { Qt::Key_Left, { 7, 0 } }, { Qt::Key_Right, { 0, 0 } },
                { Qt::Key_Up, { 0, 12 } }, { Qt::Key_Up, { 0, 11 } }, { Qt::Key_Up, { 0, 10 } },
                { Qt::Key_Up, { 0, 8 } }, { Qt::Key_Down, { 0, 10 } }, { Qt::Key_Down, { 0, 11 } },
                { Qt::Key_Down, { 0, 12 } }, { Qt::Key_Down, { 0, 0 } } } },
        { "no start cell", ColourRefFromRgb(1, 2, 3),
            { { Qt::Key_Up, none }, { Qt::Key_Down, none }, { Qt::Key_Left, { 7, 12 } } } },
        { "from the chosen cell", kTeal, { { Qt::Key_Right, { 6, 2 } }, { Qt::Key_Down, { 6, 3 } } } },
    };
    for (const KeyWalk& walk : walks) {
        SCOPED_TRACE(walk.name);
        pickers_[0]->SetColour(walk.start);
        CColourPopup* palette = Open(*pickers_[0]);
        ASSERT_NE(palette, nullptr);
        for (const auto& [key, cell] : walk.steps) {
            QTest::keyClick(palette, key);
            EXPECT_EQ(QPoint(palette->HotColumn(), palette->HotRow()), cell) << "after key " << key;
        }
        QTest::keyClick(palette, Qt::Key_Escape);
        ASSERT_TRUE(Closed(*pickers_[0]));
    }
}

TEST_F(ColourPickerTest, CustomColoursBelongToTheirButton)
{
    const QColor made(10, 20, 30);
    CColourPopup* palette = Open(*pickers_[0]);
    ASSERT_NE(palette, nullptr);
    bool dialogSeen = false;
    // The dialog runs its own loop once the click's release reaches the palette; answer it from there.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        answer.stop();
        dialogSeen = true;
        QColorDialog::setCustomColor(0, made);
        dialog->setCurrentColor(made);
        dialog->accept();
    });
    answer.start(20);
    QTest::mouseClick(palette, Qt::LeftButton, {}, palette->CustomButtonRect().center());
    EXPECT_TRUE(dialogSeen);
    // The palette stays open with the new custom colour in row 11 at once.
    ASSERT_EQ(pickers_[0]->Palette(), palette);
    EXPECT_TRUE(palette->isVisible());
    EXPECT_EQ(palette->Cell(11, 0).colour, ColourRefFromQColor(made));
    KeepPicture(*palette, "colour_palette_custom");
    QTest::mouseClick(palette, Qt::LeftButton, {}, palette->CellRect(11, 0).center());
    ASSERT_TRUE(Closed(*pickers_[0]));
    EXPECT_EQ(pickers_[0]->GetColour(), ColourRefFromQColor(made));

    palette = Open(*pickers_[0]);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->Cell(11, 0).colour, ColourRefFromQColor(made));
    QTest::keyClick(palette, Qt::Key_Escape);
    palette = Open(*pickers_[1]);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->Cell(11, 0).colour, ColourRefFromRgb(255, 255, 255));
    QTest::keyClick(palette, Qt::Key_Escape);
}

TEST_F(ColourPickerTest, SwatchShowsColourDefaultAndNothingWhenDisabled)
{
    CXColourPicker& picker = *pickers_[0];
    picker.SetDefaultColour(ColourRefFromRgb(0, 0, 255));
    const QPoint swatch(10, picker.height() / 2);
    struct Case {
        uint32_t colour;
        bool enabled;
        QColor shown;
    };
    for (const Case& c : { Case { kRed, true, QColor(255, 0, 0) },
             Case { kDefaultColourSentinel, true, QColor(0, 0, 255) }, Case { kRed, false, QColor() } }) {
        picker.SetColour(c.colour);
        picker.setEnabled(c.enabled);
        const QImage picture = KeepPicture(picker, "colour_button");
        if (c.shown.isValid())
            EXPECT_EQ(picture.pixel(swatch), c.shown.rgb());
        else
            EXPECT_NE(picture.pixel(swatch), qRgb(255, 0, 0));
        EXPECT_EQ(picker.GetColour(), c.enabled ? c.colour : ColourRefFromRgb(192, 192, 192));
        picker.setEnabled(true);
        EXPECT_EQ(picker.GetColour(), c.colour) << "the saved colour comes back";
    }
}

TEST_F(ColourPickerTest, PaletteStaysOnTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    window_.move(screen.right() - 40, screen.bottom() - 40);
    QApplication::processEvents();
    CColourPopup* palette = Open(*pickers_[0]);
    ASSERT_NE(palette, nullptr);
    EXPECT_TRUE(screen.contains(palette->geometry())) << palette->geometry().x() << "," << palette->geometry().y();
    QTest::keyClick(palette, Qt::Key_Escape);
}

} // namespace
