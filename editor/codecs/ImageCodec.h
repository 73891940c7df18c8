#pragma once

#include "imaging/ImageBuffer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Reads or writes one file. A codec keeps two lists: the images to encode (borrowed from the caller)
// and the images it decoded (owned until taken), one per frame or page.
class ImageCodec {
public:
    ImageCodec() = default;
    ImageCodec(const ImageCodec&) = delete;
    ImageCodec& operator=(const ImageCodec&) = delete;
    virtual ~ImageCodec();

    // Reads the whole file into memory and decodes it; an unreadable or empty file fails.
    virtual bool LoadFile(const std::string& path);
    // Decodes a file image held in memory. Implementations check every size and offset against length.
    virtual bool Decode(const uint8_t* bytes, size_t length);
    // Encodes the first image of the save list into path; option -1 asks for the default encoding.
    virtual bool SaveFile(const std::string& path, int option);

    void AddImage(const ImageBuffer* image) { saveList_.push_back(image); }
    const std::vector<const ImageBuffer*>& SaveList() const { return saveList_; }
    const std::vector<std::unique_ptr<ImageBuffer>>& DecodedImages() const { return decoded_; }
    // Hands the decoded images to the caller; the codec keeps none.
    std::vector<std::unique_ptr<ImageBuffer>> TakeImages() { return std::move(decoded_); }
    // Whether the last decode failed because the decoder itself did (crashed, was killed, ran out of
    // memory or time), rather than because the bytes are no picture it reads.
    bool DecoderFailed() const { return decoderFailed_; }

    // Files larger than any image we accept are refused before they are read.
    static constexpr int64_t kMaxFileBytes = ImageBuffer::kMaxPixelBytes + (int64_t(1) << 20);

protected:
    // The first image of the save list when it has pixels, else null.
    const ImageBuffer* ImageToSave() const;
    void AppendDecoded(std::unique_ptr<ImageBuffer> image) { decoded_.push_back(std::move(image)); }
    void ReportDecoderFailure() { decoderFailed_ = true; }

private:
    std::vector<const ImageBuffer*> saveList_;
    std::vector<std::unique_ptr<ImageBuffer>> decoded_;
    bool decoderFailed_ = false;
};
