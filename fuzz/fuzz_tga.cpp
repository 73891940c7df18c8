#include "editor/codecs/TgaCodec.h"
#include "fuzz/FuzzDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzDecoder<TgaCodec>(data, size);
}
