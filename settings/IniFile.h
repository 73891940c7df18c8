#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reads and writes one INI file with the semantics of Windows profile files, so that config.ini files
// written by hand or by other tools read the same: case-insensitive sections and keys, values trimmed of surrounding
// blanks and one pair of matching quotes, unknown lines kept, the file created on the first write. Every write replaces
// the file atomically (temporary file in the same folder, then rename), so a crash or a full disk never leaves a
// half-written config.ini behind; each write reads the file afresh and replaces it under the lock of StartNumLock,
// so two programs writing different keys at once keep both. A null section or key reads the default and writes nothing;
// failures to write are reported only through the return value.
class IniFile {
public:
    IniFile() = default;
    explicit IniFile(const char* path) { SetPath(path); }

    // A null path empties the bound path; reads then yield defaults and writes do nothing.
    void SetPath(const char* path);
    const std::string& Path() const { return path_; }

    std::string ReadString(const char* section, const char* key, const char* defaultValue) const;
    int ReadInt(const char* section, const char* key, int defaultValue, int radix = 10) const;
    int ReadBool(const char* section, const char* key, int defaultValue) const;

    bool WriteString(const char* section, const char* key, const char* value);
    bool WriteInt(const char* section, const char* key, int value, int radix = 10);
    bool WriteBool(const char* section, const char* key, int flag);

    // Only this many leading bytes of a number or flag are looked at.
    static constexpr size_t kNumberBytes = 64;

    // The number rules: leading digits in the radix (2, 8 or 16; anything else is 10) as an unsigned
    // 32-bit conversion, text after them ignored, no digits read as 0.
    static int ParseInt(std::string_view text, int radix);
    // "true" or "yes" in any case is 1; otherwise the leading decimal number decides (non-zero is 1).
    static int ParseBool(std::string_view text);
    static std::string FormatInt(int value, int radix);

private:
    std::optional<std::string> Lookup(const char* section, const char* key) const;
    std::vector<std::string> LoadLines() const;
    bool StoreLines(const std::vector<std::string>& lines, const std::string& newline) const;

    std::string path_;
};
