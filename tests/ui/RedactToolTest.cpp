#include "editor/bars/CParamBar.h"
#include "editor/bars/PanelValues.h"
#include "editor/bars/ParamPanel.h"
#include "editor/document/ImageClipboard.h"
#include "editor/objects/RedactObject.h"
#include "editor/ui/ViewObjectCommands.h"
#include "tests/ui/ViewTestSupport.h"

#include <QComboBox>
#include <QMouseEvent>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <random>

namespace {

// A 180 x 130 noise picture at 100 %, so an image point is the client point less the 5-pixel margin. On
// noise, a hidden pixel equals the original only by chance.
class RedactToolTest : public ViewTestBase {
protected:
    void SetUp() override
    {
        std::mt19937 random(3);
        original_.Create(180, 130, 32);
        for (int y = 0; y < 130; ++y)
            for (int x = 0; x < 180; ++x)
                reinterpret_cast<uint32_t*>(original_.Row(y))[x] = random() | 0xFF000000u;
        document_.Image() = original_;
        view_ = MakeView();
        view_->SetParamBar(&bar_);
        bar_.SetTargetResolver([this] { return view_.get(); });
    }

    static QPoint At(QPoint image) { return image + QPoint(5, 5); }
    QWidget* Port() const { return view_->viewport(); }
    void MoveTo(QPoint image)
    {
        QMouseEvent move(
            QEvent::MouseMove, At(image), Port()->mapToGlobal(At(image)), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(Port(), &move);
    }
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(Port(), Qt::LeftButton, {}, At(from));
        MoveTo((from + to) / 2);
        MoveTo(to);
        QTest::mouseRelease(Port(), Qt::LeftButton, {}, At(to));
    }
    // How many pixels of the rectangle are the original ones, in a picture read through pixel(x, y).
    int SameAsOriginal(const ImageRect& rect, const std::function<QRgb(int, int)>& pixel) const
    {
        int same = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                same += (pixel(x, y) | 0xFF000000u) == reinterpret_cast<const uint32_t*>(original_.Row(y))[x];
        return same;
    }
    int SameAsOriginal(const ImageRect& rect, const ImageBuffer& source, QPoint offset = {}) const
    {
        ImageBuffer image = source;
        if (image.BitCount() != 32 && !image.ConvertTo(32))
            return -1;
        return SameAsOriginal(rect, [&](int x, int y) {
            return *reinterpret_cast<const uint32_t*>(image.PixelAddress(x - offset.x(), y - offset.y()));
        });
    }
    int SameShown(const ImageRect& rect, const std::string& name)
    {
        const QImage shown = Grab(*view_, name);
        return SameAsOriginal(rect, [&](int x, int y) { return shown.pixel(At({ x, y })); });
    }
    RedactObject* Redaction() const { return dynamic_cast<RedactObject*>(document_.Objects().Back()); }
    // Picks an entry of the panel's mode list with the keyboard, as a user does.
    void ChooseMode(int mode)
    {
        auto* modes = qobject_cast<QComboBox*>(bar_.Panel()->Control(PanelControl::kRedactMode));
        ASSERT_NE(modes, nullptr);
        modes->setFocus();
        QTest::keyClick(modes, mode == RedactObject::kBlur ? Qt::Key_Down : Qt::Key_Up);
    }
    ImageBuffer original_;
    CParamBar bar_;
    std::unique_ptr<CKestrelView> view_;
};

} // namespace

TEST_F(RedactToolTest, RedactTool_Should_DrawTheBarsModeWithoutShadowOrOpacity_AndHandOverToSelect)
{
    struct Case {
        const char* name;
        int32_t mode;
        int32_t strength;
    };
    for (const Case& c :
        { Case { "pixelate", RedactObject::kPixelate, 12 }, Case { "blur", RedactObject::kBlur, 10 } }) {
        SCOPED_TRACE(c.name);
        document_.Objects().ClearObjects();
        view_->SelectTool(CKestrelView::ToolMove);
        view_->SelectTool(CKestrelView::ToolRedact);
        EXPECT_EQ(bar_.CurrentKind(), int(PanelKind::kRedact));
        EXPECT_EQ(view_->ViewCursor().shape(), Qt::CrossCursor);
        ChooseMode(c.mode);
        Drag({ 80, 60 }, { 20, 20 });
        RedactObject* redact = Redaction();
        ASSERT_NE(redact, nullptr);
        EXPECT_EQ(redact->Rect(), (ImageRect { 20, 20, 80, 60 }));
        EXPECT_EQ(redact->mode, c.mode);
        EXPECT_EQ(redact->strength, c.strength);
        EXPECT_EQ(redact->transparency, 0);
        EXPECT_FALSE(redact->shadow);
        EXPECT_EQ(view_->CurrentTool(), int(CKestrelView::ToolSelect));
        EXPECT_EQ(view_->SelectedObject(), redact);
        EXPECT_EQ(SameShown(redact->Rect(), std::string("redact_") + c.name), 0);
    }
}

TEST_F(RedactToolTest, SelectedRedaction_Should_FollowThePanel_MoveWithTheMouse_AndUndo)
{
    view_->SelectTool(CKestrelView::ToolRedact);
    Drag({ 20, 20 }, { 80, 60 });
    view_->SelectTool(CKestrelView::ToolMove);
    view_->SelectTool(CKestrelView::ToolSelect);
    QTest::mouseClick(Port(), Qt::LeftButton, {}, At({ 50, 40 })); // picks it and loads the panel
    RedactObject* redact = Redaction();
    ASSERT_EQ(view_->SelectedObject(), redact);
    ASSERT_EQ(bar_.CurrentKind(), int(PanelKind::kRedact));

    // Blur takes its own default strength and range.
    ChooseMode(RedactObject::kBlur);
    EXPECT_EQ(redact->mode, RedactObject::kBlur);
    EXPECT_EQ(redact->strength, 10);
    auto* strength = qobject_cast<QSlider*>(bar_.Panel()->Control(PanelControl::kRedactStrength));
    ASSERT_NE(strength, nullptr);
    strength->setFocus();
    QTest::keyClick(strength, Qt::Key_End);
    EXPECT_EQ(redact->strength, 32);
    EXPECT_EQ(SameShown(redact->Rect(), "redact_blur_32"), 0);

    Drag({ 50, 40 }, { 90, 70 });
    EXPECT_EQ(redact->Rect(), (ImageRect { 60, 50, 120, 90 }));
    EXPECT_EQ(SameShown(redact->Rect(), "redact_moved"), 0);
    document_.Undo();
    auto* restored = Redaction();
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->Rect(), (ImageRect { 20, 20, 80, 60 }));
    EXPECT_EQ(restored->strength, 32);
}

TEST_F(RedactToolTest, SaveCopyAndFlatten_Should_CarryOnlyTheRedactedPixels)
{
    view_->SelectTool(CKestrelView::ToolRedact);
    Drag({ 20, 20 }, { 80, 60 });
    const ImageRect rect { 20, 20, 80, 60 };
    for (const char* extension : { ".bmp", ".png" }) {
        const std::string path = ::testing::TempDir() + "lumora_redacted" + extension;
        ASSERT_TRUE(document_.OnSaveDocument(path)) << path;
        ImageBuffer saved;
        ASSERT_TRUE(saved.Load(path)) << path;
        EXPECT_EQ(SameAsOriginal(rect, saved), 0) << path;
        std::remove(path.c_str());
    }
    ImageBuffer offered;
    ImageClipboard clipboard([&](const ImageBuffer& image) { return offered = image, true; },
        [](std::string&, std::vector<char>&) { return false; }, [] { return ImageClipboard::ExpandAnswer::Cancel; });
    ASSERT_TRUE(clipboard.Copy(document_, {}));
    EXPECT_EQ(SameAsOriginal(rect, offered), 0);
    ASSERT_TRUE(clipboard.Copy(document_, { 10, 10, 100, 100 }));
    EXPECT_EQ(SameAsOriginal(rect, offered, { 10, 10 }), 0);

    view_->Commands().Run(ViewObjectCommands::kFlatten);
    EXPECT_TRUE(document_.Objects().IsEmpty());
    EXPECT_EQ(SameAsOriginal(rect, document_.Image()), 0);
}
