#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// Writes a file so that readers see either the old content or the complete new one: the bytes go to a
// temporary file in the target's folder, which replaces the target only when Commit succeeds. A file
// that is never committed is removed, so a failed save leaves an existing target untouched. A target that
// is a symbolic link is written through: its final target is replaced (the temporary file lies in that
// file's folder) and the link stays.
class AtomicFile {
public:
    explicit AtomicFile(std::string targetPath);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file; false when the folder is missing or not writable.
    bool Open();
    // The open temporary file, or null before Open and after Commit or Discard.
    std::FILE* Stream() const { return stream_; }
    const std::string& TemporaryPath() const { return temporaryPath_; }
    // The file that Commit replaces: after Open, the final target of a symbolic link.
    const std::string& TargetPath() const { return targetPath_; }

    // Flushes and closes the temporary file and renames it over the target. On any failure the
    // temporary file is removed and false is returned.
    bool Commit();
    void Discard();

    // Writes bytes to path in one call, atomically.
    static bool WriteAll(const std::string& path, std::string_view bytes);

private:
    std::string targetPath_;
    std::string temporaryPath_;
    std::FILE* stream_ = nullptr;
};
