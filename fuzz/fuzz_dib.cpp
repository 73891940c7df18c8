#include "editor/codecs/DibCodec.h"
#include "fuzz/FuzzDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzDecoder<DibCodec>(data, size);
}
