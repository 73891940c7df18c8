#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

uint32_t LittleEndian(const QByteArray& bytes, int at, int count)
{
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | uint8_t(bytes[at + i]);
    return value;
}

} // namespace

TEST(Install, PutsTheProgramAndItsFilesWhereTheDesktopLooks)
{
    QTemporaryDir prefix;
    QProcess install;
    install.start("cmake", { "--install", LUMORA_BUILD_DIR, "--prefix", prefix.path() });
    ASSERT_TRUE(install.waitForFinished(120000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();
    const QString root = prefix.path();

    QProcess help;
    help.start(root + "/bin/lumora", { "--help" });
    ASSERT_TRUE(help.waitForFinished(30000));
    EXPECT_EQ(help.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(root + "/share/lumora/help/index.html"));

    QFile desktop(root + "/share/applications/lumora.desktop");
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    const QString entry = QString::fromUtf8(desktop.readAll());
    for (const char* line : { "Exec=lumora\n", "Icon=lumora\n", "Categories=Graphics;Utility;\n",
             "Exec=lumora capture full\n", "Exec=lumora capture region\n" })
        EXPECT_TRUE(entry.contains(line)) << line;

    for (int size : { 16, 22, 24, 32, 48, 64, 128, 256 }) {
        const QImage icon(QString("%1/share/icons/hicolor/%2x%2/apps/lumora.png").arg(root).arg(size));
        EXPECT_EQ(icon.size(), QSize(size, size)) << size;
        // Drawn, not blank: the centre of the lens is opaque.
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size * 55 / 100)), 255) << size;
    }

    // A short shutter click: PCM WAV, mono 16-bit, loud at first and quiet at the end.
    QFile sound(root + "/share/lumora/capture.wav");
    ASSERT_TRUE(sound.open(QIODevice::ReadOnly));
    const QByteArray wav = sound.readAll();
    ASSERT_GT(wav.size(), 44);
    EXPECT_EQ(wav.left(4), "RIFF");
    EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(LittleEndian(wav, 20, 2), 1u);
    EXPECT_EQ(LittleEndian(wav, 22, 2), 1u);
    EXPECT_EQ(LittleEndian(wav, 34, 2), 16u);
    const uint32_t rate = LittleEndian(wav, 24, 4);
    const uint32_t dataBytes = LittleEndian(wav, 40, 4);
    ASSERT_EQ(int(dataBytes) + 44, wav.size());
    const double seconds = double(dataBytes) / 2 / rate;
    EXPECT_GT(seconds, 0.05);
    EXPECT_LT(seconds, 0.5);
    int peak = 0;
    int tail = 0;
    const int samples = int(dataBytes / 2);
    for (int i = 0; i < samples; ++i) {
        const int value = std::abs(int(int16_t(LittleEndian(wav, 44 + 2 * i, 2))));
        peak = std::max(peak, value);
        if (i > samples * 9 / 10)
            tail = std::max(tail, value);
    }
    EXPECT_GT(peak, 8000);
    EXPECT_LT(tail, peak / 10);
}
