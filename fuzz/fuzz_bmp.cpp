#include "editor/codecs/BmpCodec.h"
#include "fuzz/FuzzDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzDecoder<BmpCodec>(data, size);
}
