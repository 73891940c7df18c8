#include "settings/IniFile.h"

#include "settings/StartNumLock.h"

#include <QSaveFile>

#include <cstdint>
#include <fstream>
#include <sstream>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

// The name of a "[section]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line)
{
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    line.remove_prefix(1);
    const size_t close = line.find(']');
    return Trim(close == std::string_view::npos ? line : line.substr(0, close));
}

// The key of a "key=value" line, or nothing.
std::optional<std::string_view> KeyName(std::string_view line)
{
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return Trim(line.substr(0, equals));
}

std::string_view ValueOf(std::string_view line)
{
    std::string_view value = Trim(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

} // namespace

void IniFile::SetPath(const char* path)
{
    path_ = path ? path : "";
}

std::vector<std::string> IniFile::LoadLines() const
{
    std::vector<std::string> lines;
    std::ifstream in(path_, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::optional<std::string> IniFile::Lookup(const char* section, const char* key) const
{
    if (!section || !key || path_.empty())
        return std::nullopt;
    bool inSection = false;
    for (const std::string& line : LoadLines()) {
        if (const auto name = SectionName(line)) {
            inSection = EqualsNoCase(*name, section);
            continue;
        }
        if (!inSection)
            continue;
        if (const auto name = KeyName(line); name && EqualsNoCase(*name, key))
            return std::string(ValueOf(line));
    }
    return std::nullopt;
}

std::string IniFile::ReadString(const char* section, const char* key, const char* defaultValue) const
{
    if (auto value = Lookup(section, key))
        return *value;
    return defaultValue ? defaultValue : "";
}

int IniFile::ReadInt(const char* section, const char* key, int defaultValue, int radix) const
{
    const std::string value = ReadString(section, key, "");
    if (value.empty())
        return defaultValue;
    return ParseInt(std::string_view(value).substr(0, kNumberBytes), radix);
}

int IniFile::ReadBool(const char* section, const char* key, int defaultValue) const
{
    const std::string value = ReadString(section, key, "");
    if (value.empty())
        return defaultValue;
    return ParseBool(std::string_view(value).substr(0, kNumberBytes));
}

int IniFile::ParseInt(std::string_view text, int radix)
{
    if (radix != 2 && radix != 8 && radix != 16)
        radix = 10;
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (radix == 16 && i + 2 < text.size() && text[i] == '0' && Lower(text[i + 1]) == 'x'
        && DigitValue(text[i + 2]) < 16)
        i += 2;
    // An unsigned 32-bit conversion: an overflow saturates, a minus sign negates modulo 2^32.
    uint64_t magnitude = 0;
    bool overflow = false;
    for (; i < text.size() && DigitValue(text[i]) < radix; ++i) {
        magnitude = magnitude * uint64_t(radix) + uint64_t(DigitValue(text[i]));
        if (magnitude > 0xFFFFFFFFu) {
            overflow = true;
            magnitude = 0xFFFFFFFFu;
        }
    }
    uint32_t result = uint32_t(magnitude);
    if (negative && !overflow)
        result = uint32_t(0) - result;
    return int(int32_t(result));
}

int IniFile::ParseBool(std::string_view text)
{
    if (EqualsNoCase(text, "true") || EqualsNoCase(text, "yes"))
        return 1;
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (text[i] != '0')
            return 1;
    return 0;
}

std::string IniFile::FormatInt(int value, int radix)
{
    const uint32_t bits = uint32_t(value);
    std::ostringstream out;
    switch (radix) {
    case 2: {
        std::string digits;
        for (uint32_t v = bits; v != 0; v >>= 1)
            digits.insert(digits.begin(), char('0' + (v & 1)));
        return digits.empty() ? "0" : digits;
    }
    case 8:
        out << std::oct << bits;
        break;
    case 16:
        out << std::hex << std::uppercase << bits;
        break;
    default:
        out << value;
    }
    return out.str();
}

bool IniFile::WriteString(const char* section, const char* key, const char* value)
{
    if (!section || !key || path_.empty())
        return false;
    // The file is read and replaced under the lock every writer of it takes, so a key another program
    // wrote in between is kept.
    const StartNumLock lock(path_);
    std::string newline = "\n";
    {
        std::ifstream probe(path_, std::ios::binary);
        std::string first;
        if (std::getline(probe, first) && !first.empty() && first.back() == '\r')
            newline = "\r\n";
    }
    std::vector<std::string> lines = LoadLines();
    const std::string entry = std::string(key) + "=" + (value ? value : "");

    // Find the section and, within it, the key or the line after its last entry.
    std::optional<size_t> sectionLine;
    size_t insertAt = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (const auto name = SectionName(lines[i])) {
            if (sectionLine)
                break;
            if (EqualsNoCase(*name, section)) {
                sectionLine = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (!sectionLine)
            continue;
        if (const auto name = KeyName(lines[i])) {
            if (EqualsNoCase(*name, key)) {
                lines[i] = entry;
                return StoreLines(lines, newline);
            }
        }
        if (!Trim(lines[i]).empty())
            insertAt = i + 1;
    }
    if (!sectionLine) {
        lines.push_back("[" + std::string(section) + "]");
        insertAt = lines.size();
    }
    lines.insert(lines.begin() + std::ptrdiff_t(insertAt), entry);
    return StoreLines(lines, newline);
}

bool IniFile::WriteInt(const char* section, const char* key, int value, int radix)
{
    return WriteString(section, key, FormatInt(value, radix).c_str());
}

bool IniFile::WriteBool(const char* section, const char* key, int flag)
{
    return WriteString(section, key, flag ? "1" : "0");
}

bool IniFile::StoreLines(const std::vector<std::string>& lines, const std::string& newline) const
{
    std::string text;
    for (const std::string& line : lines)
        text += line + newline;
    QSaveFile file(QString::fromLocal8Bit(path_.c_str()));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(text.data(), qint64(text.size())) != qint64(text.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
