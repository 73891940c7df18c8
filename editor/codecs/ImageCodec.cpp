#include "editor/codecs/ImageCodec.h"

#include <cstdio>
#include <sys/stat.h>

ImageCodec::~ImageCodec() = default;

bool ImageCodec::LoadFile(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    struct stat info { };
    std::vector<uint8_t> bytes;
    bool ok
        = fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 && info.st_size <= kMaxFileBytes;
    if (ok) {
        bytes.resize(size_t(info.st_size));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    return ok && Decode(bytes.data(), bytes.size());
}

bool ImageCodec::Decode(const uint8_t*, size_t)
{
    return false;
}

bool ImageCodec::SaveFile(const std::string&, int)
{
    return false;
}

const ImageBuffer* ImageCodec::ImageToSave() const
{
    if (saveList_.empty() || !saveList_.front() || saveList_.front()->IsEmpty())
        return nullptr;
    return saveList_.front();
}
