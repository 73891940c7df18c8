#pragma once

#include "tests/capture/ProcessOutput.h"

#include <QDir>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Real programs for the scrolling capture to scroll, and checks of the pictures it makes of them.
namespace scrolltest {

// Where the stitched pictures are kept: $LUMORA_TEST_OUTPUT, or capture_tests/ in the temporary folder.
inline std::string OutputFolder()
{
    const char* configured = std::getenv("LUMORA_TEST_OUTPUT");
    const std::string folder = configured && *configured ? configured : ::testing::TempDir() + "capture_tests";
    QDir().mkpath(QString::fromStdString(folder));
    return folder;
}

// Starts a program with its output thrown away; returns its process id.
inline pid_t Start(const std::vector<std::string>& args)
{
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        setpgid(0, 0);
        std::vector<char*> argv;
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

// Ends a program started by Start, with the processes it started itself.
inline void Stop(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(-pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 50 && waitpid(pid, &status, WNOHANG) == 0; ++i)
        usleep(100000);
    kill(-pid, SIGKILL);
    waitpid(pid, &status, 0);
}

// The visible top-level window whose title is title, or 0 after a timeout. A window that comes and goes
// while xdotool walks the tree makes it fail, so it is asked again.
inline unsigned long FindWindow(const std::string& title)
{
    for (int attempt = 0; attempt < 200; ++attempt) {
        const ProcessOutput found
            = ProcessOutput::Run("xdotool search --onlyvisible --name " + Quoted(title) + " 2>/dev/null | tail -1");
        const unsigned long id = std::strtoul(found.out.c_str(), nullptr, 10);
        if (id != 0)
            return id;
        usleep(200000);
    }
    return 0;
}

// Band i of a test page: a colour from which i can be read back.
inline QRgb BandColour(int i)
{
    return qRgb(i % 200 + 20, (i / 200) * 60 + 40, (i * 7) % 256);
}

inline int BandIndex(QRgb colour)
{
    const int r = qRed(colour) - 20;
    const int g = qGreen(colour) - 40;
    if (r < 0 || r >= 200 || g < 0 || g % 60 != 0 || qBlue(colour) != ((r + g / 60 * 200) * 7) % 256)
        return -1;
    return r + g / 60 * 200;
}

// A page of bands, each bandHeight pixels tall, under an optional sticky header.
inline std::string WritePage(const std::string& name, const std::string& title, int bands, int headerHeight)
{
    const std::string path = OutputFolder() + "/" + name + ".html";
    std::ofstream page(path);
    page << "<!DOCTYPE html><html><head><title>" << title
         << "</title><style>body{margin:0;background:#fff}div{height:10px}</style></head><body>";
    if (headerHeight > 0)
        page << "<div style='position:sticky;top:0;height:" << headerHeight << "px;background:#0a0afa'></div>";
    for (int i = 0; i < bands; ++i) {
        const QRgb c = BandColour(i);
        page << "<div style='background:rgb(" << qRed(c) << "," << qGreen(c) << "," << qBlue(c) << ")'></div>";
    }
    page << "</body></html>\n";
    return path;
}

struct ColourRun {
    QRgb colour;
    int length;
};

inline std::vector<ColourRun> RunsInColumn(const QImage& image, int x, int fromRow = 0)
{
    std::vector<ColourRun> runs;
    for (int y = fromRow; y < image.height(); ++y) {
        const QRgb colour = image.pixel(x, y) | 0xff000000u;
        if (runs.empty() || runs.back().colour != colour)
            runs.push_back({ colour, 0 });
        ++runs.back().length;
    }
    return runs;
}

// Checks that the runs are bands 0, 1, 2, ... each bandHeight rows (the last may be cut short when
// lastMayBeCut), and returns how many there are; -1 with a failure when they are not.
inline int CountBands(const std::vector<ColourRun>& runs, size_t first, int bandHeight, bool lastMayBeCut)
{
    int count = 0;
    for (size_t i = first; i < runs.size(); ++i, ++count) {
        const int index = BandIndex(runs[i].colour);
        if (index < 0)
            break;
        const bool last = i + 1 == runs.size() || BandIndex(runs[i + 1].colour) < 0;
        const bool lengthOk = runs[i].length == bandHeight || (last && lastMayBeCut && runs[i].length < bandHeight);
        if (index != count || !lengthOk) {
            ADD_FAILURE() << "band " << count << " shows as band " << index << " with " << runs[i].length << " rows";
            return -1;
        }
    }
    return count;
}

} // namespace scrolltest
