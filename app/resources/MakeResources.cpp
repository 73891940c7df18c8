// Writes the files the program ships that we make ourselves: the capture sound beside the executable and
// the application icon at the hicolor sizes. Run at build time: make_resources BIN_FOLDER ICON_FOLDER.
#include "app/AppIcons.h"
#include "app/CaptureSound.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_resources BIN_FOLDER ICON_FOLDER\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const std::vector<uint8_t> wav = CaptureSound::MakeWav();
    std::ofstream sound(std::string(argv[1]) + "/capture.wav", std::ios::binary);
    sound.write(reinterpret_cast<const char*>(wav.data()), std::streamsize(wav.size()));
    if (!sound)
        return 1;
    for (int size : { 16, 22, 24, 32, 48, 64, 128, 256 }) {
        const QString folder = QString("%1/%2x%2/apps").arg(argv[2]).arg(size);
        if (!QDir().mkpath(folder) || !AppIcons::ApplicationPixmap(size).save(folder + "/lumora.png"))
            return 1;
    }
    return 0;
}
