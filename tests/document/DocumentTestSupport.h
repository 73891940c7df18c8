#pragma once

#include "imaging/ImageBuffer.h"
#include "imaging/PixelEffect.h"

#include <QGuiApplication>

#include <unistd.h>

#include <filesystem>
#include <string>

// Adds a fixed amount to the blue byte: a cheap, visible, reversible-by-undo change.
class AddBlueEffect final : public PixelEffectImpl<AddBlueEffect> {
public:
    explicit AddBlueEffect(int amount = 1)
        : amount_(amount)
    {
    }
    void ProcessPixel(ImageBuffer&, int, int, uint8_t* pixel) { pixel[0] = uint8_t(pixel[0] + amount_); }

private:
    int amount_;
};

// Text and shapes are drawn with Qt Gui; one application object serves every test of the suite.
inline void EnsureGuiApplication()
{
    if (QGuiApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "document_tests";
    static char* argv[] = { name, nullptr };
    static QGuiApplication app(argc, argv);
}

// A fresh folder per test, removed afterwards.
class ScratchDir {
public:
    ScratchDir()
    {
        path_ = std::filesystem::temp_directory_path()
            / ("lumora-doc-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    static inline int counter_ = 0;
    std::filesystem::path path_;
};
