#include "ReviewPictures.h"
#include "controls/CXColourPicker.h"
#include "editor/bars/CParamBar.h"
#include "editor/bars/ParamPanel.h"
#include "editor/bars/PropertyChangeTarget.h"
#include "editor/bars/StampListView.h"
#include "editor/objects/HighlightObject.h"
#include "editor/objects/LineObject.h"
#include "editor/objects/ShapeObject.h"
#include "editor/objects/StampObject.h"
#include "editor/objects/TextObject.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using namespace PanelControl;

// Stands in for the active view: counts the notifications and reads the panel at each one.
class CountingTarget : public PropertyChangeTarget {
public:
    void OnPropertyChange(const PropertyChange& change) override
    {
        ++count;
        seen = bar->ReadValues();
        controls.push_back(change.control);
    }
    CParamBar* bar = nullptr;
    int count = 0;
    PanelValues seen;
    std::vector<int> controls;
};

class ParamBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir(folder_.path()).mkpath("stamps");
        bar_ = std::make_unique<CParamBar>(nullptr, folder_.path().toStdString() + "/");
        target_.bar = bar_.get();
        bar_->SetTargetResolver([this] { return &target_; });
        bar_->resize(700, 120);
        bar_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(bar_.get()));
    }

    template <class Control> Control* Find(int id) const { return qobject_cast<Control*>(bar_->Panel()->Control(id)); }

    void AddStamp(const QString& name, QSize size, QColor colour)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(folder_.path() + "/stamps/" + name));
    }

    QTemporaryDir folder_;
    std::unique_ptr<CParamBar> bar_;
    CountingTarget target_;
};

TEST_F(ParamBarTest, LineTwiceKeepsItsValuesAndAnotherKindResetsThem)
{
    bar_->ShowKind(PanelKind::kLine);
    ParamPanel* panel = bar_->Panel();
    QComboBox* width = Find<QComboBox>(kLineWidth);
    ASSERT_NE(width, nullptr);
    width->setFocus();
    QTest::keyClick(width, Qt::Key_Down);
    QTest::keyClick(Find<QSlider>(kOpacity), Qt::Key_End);
    QTest::mouseClick(Find<QCheckBox>(kShadow), Qt::LeftButton);
    EXPECT_EQ(target_.count, 3);
    EXPECT_EQ(target_.controls, (std::vector<int> { kLineWidth, kOpacity, kShadow }));
    EXPECT_EQ(target_.seen.lineWidth, 3);
    EXPECT_EQ(target_.seen.transparency, 100);
    EXPECT_FALSE(target_.seen.shadow);
    KeepPicture(*bar_, "param_bar_line");

    bar_->ShowKind(PanelKind::kLine);
    EXPECT_EQ(bar_->Panel(), panel);
    EXPECT_EQ(bar_->ReadValues().lineWidth, 3);

    bar_->ShowKind(PanelKind::kArrow);
    bar_->ShowKind(PanelKind::kLine);
    const PanelValues fresh = bar_->ReadValues();
    EXPECT_EQ(Find<QComboBox>(kLineWidth)->currentText(), "2");
    EXPECT_EQ(Find<QComboBox>(kLineStyle)->currentText(), "Solid");
    EXPECT_EQ(fresh.lineColour, 0u);
    EXPECT_EQ(fresh.transparency, 0);
    EXPECT_TRUE(fresh.shadow);
    // Values the line panel lacks read as 0.
    EXPECT_EQ(fresh.shapeWidth, 1);
    EXPECT_EQ(fresh.highlightColour, 0u);
    EXPECT_EQ(target_.count, 3) << "showing panels notifies nobody";
}

TEST_F(ParamBarTest, HighlightDefaultsToNavyHalfSeeThroughWithShadow)
{
    bar_->ShowKind(PanelKind::kHighlight);
    HighlightObject highlight;
    bar_->ReadValues().ApplyTo(highlight);
    EXPECT_EQ(highlight.colour, 0x800000u);
    EXPECT_EQ(highlight.transparency, 50);
    EXPECT_TRUE(highlight.shadow);
    EXPECT_EQ(Find<QSlider>(kOpacity)->value(), 50);
    KeepPicture(*bar_, "param_bar_highlight");
}

// An object of each kind with values away from the defaults, and a comparison of what matters for it.
struct RoundTrip {
    const char* name;
    std::function<std::unique_ptr<AnnotationObject>(bool)> make; // true: the odd values, false: defaults
    std::function<void(const AnnotationObject&, const AnnotationObject&)> expectSame;
};

std::vector<RoundTrip> RoundTrips()
{
    return {
        { "line",
            [](bool odd) {
                auto line = std::make_unique<LineObject>(ObjectKind::Line);
                if (odd) {
                    line->width = 7, line->style = LineObject::kDot, line->colour = 0x123456;
                    line->transparency = 40, line->shadow = true;
                }
                return line;
            },
            [](const AnnotationObject& a, const AnnotationObject& b) {
                const auto &x = static_cast<const LineObject&>(a), &y = static_cast<const LineObject&>(b);
                EXPECT_EQ(std::tie(x.width, x.style, x.colour), std::tie(y.width, y.style, y.colour));
            } },
        { "arrow",
            [](bool odd) {
                auto arrow = std::make_unique<LineObject>(ObjectKind::Arrow);
                if (odd)
                    arrow->style = LineObject::kEmptyArrow, arrow->colour = 0x00FF00, arrow->width = 1;
                return arrow;
            },
            [](const AnnotationObject& a, const AnnotationObject& b) {
                const auto &x = static_cast<const LineObject&>(a), &y = static_cast<const LineObject&>(b);
                EXPECT_EQ(std::tie(x.style, x.colour, x.width), std::tie(y.style, y.colour, y.width));
            } },
        { "text",
            [](bool odd) {
                auto text = std::make_unique<TextObject>();
                if (odd)
                    text->boxStyle = TextObject::kTransparentBox, text->backColour = 0x0000FF, text->transparency = 5;
                return text;
            },
            [](const AnnotationObject& a, const AnnotationObject& b) {
                const auto &x = static_cast<const TextObject&>(a), &y = static_cast<const TextObject&>(b);
                EXPECT_EQ(std::tie(x.boxStyle, x.backColour), std::tie(y.boxStyle, y.backColour));
            } },
        { "box",
            [](bool odd) {
                auto box = std::make_unique<ShapeObject>();
                if (odd) {
                    box->shape = ShapeObject::kFilledEllipse, box->borderColour = 0x0000FF, box->fillColour = 0x00FF00;
                    box->width = 9, box->transparency = 30, box->shadow = true;
                }
                return box;
            },
            [](const AnnotationObject& a, const AnnotationObject& b) {
                const auto &x = static_cast<const ShapeObject&>(a), &y = static_cast<const ShapeObject&>(b);
                EXPECT_EQ(std::tie(x.shape, x.borderColour, x.fillColour, x.width),
                    std::tie(y.shape, y.borderColour, y.fillColour, y.width));
            } },
        { "highlight",
            [](bool odd) {
                auto highlight = std::make_unique<HighlightObject>();
                if (odd)
                    highlight->colour = 0x00FFFF, highlight->transparency = 75;
                return highlight;
            },
            [](const AnnotationObject& a, const AnnotationObject& b) {
                EXPECT_EQ(static_cast<const HighlightObject&>(a).colour, static_cast<const HighlightObject&>(b).colour);
            } },
    };
}

TEST_F(ParamBarTest, LoadingAnObjectShowsItsKindAndValues)
{
    for (const RoundTrip& trip : RoundTrips()) {
        SCOPED_TRACE(trip.name);
        bar_->ShowKind(PanelKind::kNoParameter);
        const std::unique_ptr<AnnotationObject> source = trip.make(true);
        bar_->LoadFromObject(*source);
        EXPECT_EQ(bar_->CurrentKind(), PanelKind::ForObject(int(source->Kind())));
        EXPECT_EQ(Find<QSlider>(kOpacity)->value(), source->transparency);
        KeepPicture(*bar_, QString("param_bar_%1").arg(trip.name));

        const std::unique_ptr<AnnotationObject> copy = trip.make(false);
        bar_->ReadValues().ApplyTo(*copy);
        trip.expectSame(*source, *copy);
        EXPECT_EQ(copy->transparency, source->transparency);
        EXPECT_EQ(copy->shadow, source->shadow);
    }
    EXPECT_EQ(target_.count, 0) << "loading is not a change by the user";
}

TEST_F(ParamBarTest, ColourPickedInAPanelNotifies)
{
    bar_->ShowKind(PanelKind::kRectangle);
    auto* back = Find<CXColourPicker>(kShapeBack);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetColour(), 0x808000u);
    QTest::mouseClick(back, Qt::LeftButton);
    CColourPopup* palette = back->Palette();
    ASSERT_NE(palette, nullptr);
    QTest::mouseClick(palette, Qt::LeftButton, {}, palette->CellRect(0, 2).center());
    EXPECT_EQ(target_.count, 1);
    EXPECT_EQ(target_.seen.fillColour, 0x0000FFu);
}

TEST_F(ParamBarTest, StampListShowsTheFolderWithTheFirstSelected)
{
    const struct {
        int files;
        int choice;
    } cases[] = { { 2, 1 }, { 0, 0 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.files);
        QDir(folder_.path() + "/stamps").removeRecursively();
        QDir(folder_.path()).mkpath("stamps");
        if (c.files) {
            AddStamp("a.png", QSize(40, 30), Qt::red);
            AddStamp("b.bmp", QSize(20, 10), Qt::blue);
        }
        bar_->ShowKind(PanelKind::kNoParameter);
        bar_->ShowKind(PanelKind::kStamp);
        auto* list = Find<StampListView>(kStampList);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->count(), c.files);
        EXPECT_EQ(list->SelectedIndex(), c.choice - 1);
        EXPECT_EQ(bar_->ReadValues().stampChoice, c.choice);
        // Every fetch without touching the list gives the first file again.
        for (int fetch = 0; fetch < 2; ++fetch)
            EXPECT_EQ(bar_->FetchStampImage().Width(), c.files ? 40 : 0);
        if (!c.files)
            continue;
        KeepPicture(*bar_, "param_bar_stamp");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        EXPECT_EQ(target_.count, 1);
        EXPECT_EQ(target_.seen.stampChoice, 2);
        EXPECT_EQ(bar_->FetchStampImage().Width(), 20);
    }
}

TEST_F(ParamBarTest, LoadingAStampKeepsTheListSelection)
{
    AddStamp("a.png", QSize(8, 8), Qt::red);
    AddStamp("b.png", QSize(8, 8), Qt::green);
    StampObject stamp;
    stamp.stampIndex = 2;
    bar_->LoadFromObject(stamp);
    EXPECT_EQ(bar_->ReadValues().stampChoice, 2);
    EXPECT_EQ(Find<StampListView>(kStampList)->SelectedIndex(), 0);
}

TEST_F(ParamBarTest, UnknownKindsShowTheNoParameterPanel)
{
    for (int kind : { 0, 1, 2, 4, 42 }) {
        bar_->ShowKind(kind);
        auto* group = bar_->Panel()->findChild<QGroupBox*>();
        ASSERT_NE(group, nullptr) << kind;
        EXPECT_EQ(group->title(), "no parameter");
        EXPECT_EQ(bar_->Panel()->findChild<QSlider*>(), nullptr);
    }
    KeepPicture(*bar_, "param_bar_none");
}

} // namespace
