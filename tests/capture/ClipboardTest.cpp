#include "ImageEncoding.h"
#include "ImageTestUtil.h"
#include "ProcessOutput.h"
#include "X11ClipboardOwner.h"

#include <QImage>
#include <QStandardPaths>

#include "XTestScreen.h"

#include <unistd.h>

namespace {

// An 8-bpp image (grey palette, all pixels 0).
ImageBuffer PaletteImage(int width, int height)
{
    ImageBuffer image;
    image.Create(width, height, 8);
    return image;
}

// Noise that no encoder can shrink much, so both offers exceed one transfer piece and go in increments.
ImageBuffer NoiseImage(int width, int height)
{
    uint32_t state = 12345;
    return testutil::MakeImage(width, height, 24, [&state](int, int) {
        state = state * 1664525u + 1013904223u;
        return testutil::Bgra { uint8_t(state >> 24), uint8_t(state >> 16), uint8_t(state >> 8), 0 };
    });
}

class ClipboardTest : public XTestScreen {
protected:
    void SetUp() override
    {
        XTestScreen::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (QStandardPaths::findExecutable("xclip").isEmpty())
            GTEST_SKIP() << "needs xclip to read the clipboard as another program";
    }

    static ProcessOutput Paste(const std::string& target)
    {
        return ProcessOutput::Run("xclip -selection clipboard -t " + target + " -o");
    }

    // Takes the clipboard as another program would, which ends our serving process.
    void TakeClipboard()
    {
        const Window window = MakeWindow(0, 0, 1, 1, 0);
        XSetSelectionOwner(dpy, display->Atom("CLIPBOARD"), window, CurrentTime);
        XSync(dpy, False);
    }

    // Expects the encoded picture to hold exactly the image's pixels.
    static void ExpectSamePixels(const std::string& bytes, const char* format, const ImageBuffer& image)
    {
        const QImage decoded = QImage::fromData(QByteArray::fromStdString(bytes), format);
        ASSERT_EQ(decoded.width(), image.Width()) << format;
        ASSERT_EQ(decoded.height(), image.Height()) << format;
        int wrong = 0;
        for (int y = 0; y < image.Height(); ++y)
            for (int x = 0; x < image.Width(); ++x) {
                const uint8_t* p = image.PixelAddress(x, y);
                wrong += decoded.pixel(x, y) != qRgb(p[2], p[1], p[0]);
            }
        EXPECT_EQ(wrong, 0) << format;
    }
};

TEST_F(ClipboardTest, ImageOutlivesTheProcessThatCopiedIt)
{
    const ImageBuffer image = NoiseImage(700, 500);
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t copier = fork();
    ASSERT_GE(copier, 0);
    if (copier == 0) {
        X11ClipboardOwner owner;
        const bool copied = owner.SetImage(image);
        const pid_t server = owner.ServerPid();
        const bool sent = write(channel[1], &server, sizeof server) == ssize_t(sizeof server);
        _exit(copied && sent ? 0 : 1);
    }
    close(channel[1]);
    int status = 0;
    waitpid(copier, &status, 0);
    pid_t server = 0;
    ASSERT_EQ(read(channel[0], &server, sizeof server), ssize_t(sizeof server));
    close(channel[0]);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the copy failed";

    const ProcessOutput targets = Paste("TARGETS");
    EXPECT_NE(targets.out.find("image/png\n"), std::string::npos) << targets.out;
    EXPECT_NE(targets.out.find("image/bmp\n"), std::string::npos) << targets.out;
    const ProcessOutput png = Paste("image/png");
    ASSERT_EQ(png.exitCode, 0);
    ASSERT_GT(png.out.size(), 256u * 1024u);
    ExpectSamePixels(png.out, "PNG", image);
    const ProcessOutput bmp = Paste("image/bmp");
    ASSERT_EQ(bmp.exitCode, 0);
    ExpectSamePixels(bmp.out, "BMP", image);
    // A second reading is served as well.
    EXPECT_EQ(Paste("image/png").out, png.out);
    EXPECT_NE(Paste("text/plain").exitCode, 0);

    TakeClipboard();
    EXPECT_TRUE(WaitFor([&] { return ProcessEnded(server); })) << "the clipboard server kept running";
}

TEST_F(ClipboardTest, SmallImagesAreServedWhole)
{
    const ImageBuffer image = NoiseImage(9, 7);
    X11ClipboardOwner owner;
    ASSERT_TRUE(owner.SetImage(image));
    ExpectSamePixels(Paste("image/png").out, "PNG", image);
    ExpectSamePixels(Paste("image/bmp").out, "BMP", image);
    TakeClipboard();
    EXPECT_TRUE(WaitFor([&] { return ProcessEnded(owner.ServerPid()); }));
}

TEST_F(ClipboardTest, NothingIsOfferedForImagesWithoutPixels)
{
    X11ClipboardOwner owner;
    EXPECT_FALSE(owner.SetImage(ImageBuffer()));
    EXPECT_FALSE(owner.SetImage(PaletteImage(4, 4)));
    EXPECT_EQ(owner.ServerPid(), 0);
}

TEST(ImageEncodingTest, BmpHoldsTheRowsBottomUpBehindBothHeaders)
{
    const ImageBuffer image = testutil::MakeImage(3, 2, 24);
    const QByteArray bmp = EncodeBmp(image);
    // 14 + 40 header bytes, then two rows of 3 * 3 bytes padded to 12.
    ASSERT_EQ(bmp.size(), 14 + 40 + 2 * 12);
    EXPECT_EQ(bmp.left(2), "BM");
    EXPECT_EQ(uint8_t(bmp[10]), 54);
    // The first stored row is the bottom one.
    const uint8_t* bottomLeft = image.PixelAddress(0, 1);
    EXPECT_EQ(uint8_t(bmp[54]), bottomLeft[0]);
    EXPECT_EQ(uint8_t(bmp[56]), bottomLeft[2]);
    EXPECT_TRUE(EncodeBmp(PaletteImage(3, 2)).isEmpty());
}

} // namespace
