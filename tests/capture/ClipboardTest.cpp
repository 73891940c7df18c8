#include "ImageTestUtil.h"
#include "editor/codecs/ImageBytes.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/document/ImageClipboard.h"
#include "platform/X11ClipboardOwner.h"
#include "platform/X11ClipboardReader.h"
#include "tests/capture/ProcessOutput.h"

#include <QImage>
#include <QStandardPaths>

#include "tests/capture/XTestScreen.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

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
    // The clipboard is the server's: other tests must not take it in between.
    XServerTurn turn_;

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
        X11ClipboardOwner owner(&EncodeImageBytes);
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
    X11ClipboardOwner owner(&EncodeImageBytes);
    ASSERT_TRUE(owner.SetImage(image));
    ExpectSamePixels(Paste("image/png").out, "PNG", image);
    ExpectSamePixels(Paste("image/bmp").out, "BMP", image);
    // A program of its own, not a copy of ours that keeps all of our memory alive.
    char exe[4096] = {};
    ASSERT_GT(readlink(("/proc/" + std::to_string(owner.ServerPid()) + "/exe").c_str(), exe, sizeof exe - 1), 0);
    EXPECT_TRUE(std::string(exe).ends_with("/lumora-clipboard")) << exe;
    TakeClipboard();
    EXPECT_TRUE(WaitFor([&] { return ProcessEnded(owner.ServerPid()); }));
}

TEST_F(ClipboardTest, NothingIsOfferedForImagesWithoutPixels)
{
    X11ClipboardOwner owner(&EncodeImageBytes);
    EXPECT_FALSE(owner.SetImage(ImageBuffer()));
    EXPECT_FALSE(owner.SetImage(PaletteImage(4, 4)));
    EXPECT_EQ(owner.ServerPid(), 0);
}

// Offers a file's bytes as another program would, with xclip serving them from the background.
bool OfferWithXclip(const std::string& type, const std::vector<char>& bytes)
{
    const std::string path = testing::TempDir() + "lumora-offer-" + std::to_string(getpid());
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
    const int code
        = ProcessOutput::Run("xclip -selection clipboard -t " + type + " -i " + path + " >/dev/null 2>&1").exitCode;
    std::remove(path.c_str());
    if (code != 0)
        return false;
    // xclip hands the selection to a child and returns before the child owns it.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string offered = ProcessOutput::Run("xclip -selection clipboard -t TARGETS -o 2>/dev/null").out;
        if (("\n" + offered).find("\n" + type + "\n") != std::string::npos)
            return true;
        usleep(50000);
    }
    return false;
}

ImageClipboard XClipboard(X11ClipboardOwner& owner, X11ClipboardReader& reader, ImageClipboard::ExpandAnswer answer)
{
    return ImageClipboard([&owner](const ImageBuffer& image) { return owner.SetImage(image); },
        [&reader](std::string& type, std::vector<char>& bytes) { return reader.ReadImage(type, bytes); },
        [answer] { return answer; });
}

TEST_F(ClipboardTest, ACopiedSelectionIsReadByAnotherProgramAfterWeExit)
{
    const ImageBuffer picture = NoiseImage(300, 200);
    const ImageRect selection { 10, 20, 110, 70 };
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t copier = fork();
    ASSERT_GE(copier, 0);
    if (copier == 0) {
        CKestrelDoc doc;
        doc.SetImage(picture);
        X11ClipboardOwner owner(&EncodeImageBytes);
        X11ClipboardReader reader;
        const bool copied = XClipboard(owner, reader, ImageClipboard::ExpandAnswer::Cancel).Copy(doc, selection);
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

    ImageBuffer part;
    ASSERT_TRUE(picture.CopyRegion(&part, selection));
    ExpectSamePixels(Paste("image/png").out, "PNG", part);
    ExpectSamePixels(Paste("image/bmp").out, "BMP", part);
    TakeClipboard();
    EXPECT_TRUE(WaitFor([&] { return ProcessEnded(server); }));
}

TEST_F(ClipboardTest, APictureOfferedByAnotherProgramIsPasted)
{
    const ImageBuffer offered = NoiseImage(200, 100);
    ASSERT_TRUE(OfferWithXclip("image/png", EncodeImageBytes(offered, "image/png")));
    X11ClipboardOwner owner(&EncodeImageBytes);
    X11ClipboardReader reader;
    ASSERT_TRUE(WaitFor([&] { return !reader.Targets().empty(); })) << "xclip offers nothing";
    CKestrelDoc doc;
    doc.SetImage(testutil::MakeImage(150, 150, 32));
    EXPECT_EQ(
        XClipboard(owner, reader, ImageClipboard::ExpandAnswer::Yes).Paste(doc), ImageClipboard::PasteResult::Expanded);
    const ImageBuffer& result = std::as_const(doc).Image();
    ASSERT_EQ(result.Width(), 200);
    ASSERT_EQ(result.Height(), 150);
    for (int y : { 0, 99 })
        for (int x : { 0, 199 })
            EXPECT_EQ(testutil::PixelAt(result, x, y).r, testutil::PixelAt(offered, x, y).r) << x << "," << y;
    TakeClipboard();
}

TEST_F(ClipboardTest, ABitmapWhoseHeaderLiesIsRefused)
{
    const ImageBuffer small = NoiseImage(4, 4);
    std::vector<char> bmp = EncodeImageBytes(small, "image/bmp");
    // The header now claims 4000 x 4000 pixels behind a 48-byte block.
    const int32_t side = 4000;
    std::memcpy(bmp.data() + 18, &side, 4);
    std::memcpy(bmp.data() + 22, &side, 4);
    ASSERT_TRUE(OfferWithXclip("image/bmp", bmp));
    X11ClipboardOwner owner(&EncodeImageBytes);
    X11ClipboardReader reader;
    ASSERT_TRUE(WaitFor([&] { return !reader.Targets().empty(); }));
    CKestrelDoc doc;
    doc.SetImage(testutil::MakeImage(150, 150, 32));
    const ImageBuffer before(std::as_const(doc).Image());
    EXPECT_EQ(
        XClipboard(owner, reader, ImageClipboard::ExpandAnswer::Yes).Paste(doc), ImageClipboard::PasteResult::Nothing);
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_EQ(testutil::PixelAt(std::as_const(doc).Image(), 3, 3), testutil::PixelAt(before, 3, 3));
    TakeClipboard();
}

TEST_F(ClipboardTest, LargePicturesArriveInIncrements)
{
    const ImageBuffer image = NoiseImage(700, 500);
    X11ClipboardOwner owner(&EncodeImageBytes);
    ASSERT_TRUE(owner.SetImage(image));
    X11ClipboardReader reader;
    std::string type;
    std::vector<char> bytes;
    ASSERT_TRUE(reader.ReadImage(type, bytes));
    EXPECT_EQ(type, "image/bmp") << "a bitmap goes straight to the DIB reader";
    EXPECT_EQ(bytes, EncodeImageBytes(image, "image/bmp"));
    TakeClipboard();
    EXPECT_TRUE(WaitFor([&] { return ProcessEnded(owner.ServerPid()); }));
}

} // namespace
