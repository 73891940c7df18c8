#pragma once

#include <QTemporaryDir>

#include <fstream>
#include <iterator>
#include <string>

// A scratch folder holding hand-written INI files for one test.
class IniScratch {
public:
    std::string Path(const std::string& name) const
    {
        return dir_.filePath(QString::fromStdString(name)).toStdString();
    }

    std::string Write(const std::string& name, const std::string& text) const
    {
        const std::string path = Path(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }

private:
    QTemporaryDir dir_;
};
