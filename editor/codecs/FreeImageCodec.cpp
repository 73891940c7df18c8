#include "editor/codecs/FreeImageCodec.h"

bool FreeImageCodec::Decode(const uint8_t* bytes, size_t length)
{
    if (!bytes || length == 0 || length > size_t(kMaxFileBytes))
        return false;
    SandboxedDecoder::Result result
        = SandboxedDecoder::Decode(bytes, length, limits_ ? *limits_ : SandboxedDecoder::DefaultLimits());
    if (result.outcome == SandboxedDecoder::Outcome::kFailed)
        ReportDecoderFailure();
    if (!result.image)
        return false;
    AppendDecoded(std::move(result.image));
    return true;
}
