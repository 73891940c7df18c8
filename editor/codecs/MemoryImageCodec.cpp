#include "editor/codecs/MemoryImageCodec.h"

#include "editor/codecs/SandboxedDecoder.h"

#include <climits>

bool MemoryImageCodec::Decode(const uint8_t* bytes, size_t length)
{
    if (!bytes || length == 0 || length > size_t(INT_MAX))
        return false;
    SandboxedDecoder::Result result = SandboxedDecoder::Decode(bytes, length);
    if (result.outcome == SandboxedDecoder::Outcome::kFailed)
        ReportDecoderFailure();
    if (!result.image)
        return false;
    AppendDecoded(std::move(result.image));
    return true;
}
