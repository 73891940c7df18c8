// lumora-decode: decodes one picture with FreeImage and exits. Started by SandboxedDecoder with the
// input bytes as descriptor 0 (a sealed memfd) and an empty memfd as descriptor 1 for the reply;
// arguments: the address-space limit in bytes and the CPU limit in seconds.
#include "editor/codecs/DecoderReply.h"
#include "editor/codecs/FreeImageDecoder.h"
#include "editor/codecs/FreeImageLibrary.h"
#include "editor/codecs/SandboxedDecoder.h"
#include "helpers/DecoderSandbox.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitNoSandbox = 5;
constexpr int kExitNoReply = 6;

} // namespace

int main(int argc, char** argv)
{
    // Nothing of the program that started us beyond the two descriptors and standard error.
    close_range(3, UINT_MAX, 0);
    if (argc != 3)
        return kExitUsage;
    const long long addressSpace = std::atoll(argv[1]);
    const int cpuSeconds = std::atoi(argv[2]);
    struct stat input { };
    if (addressSpace <= 0 || cpuSeconds <= 0 || fstat(0, &input) != 0 || input.st_size <= 0)
        return kExitUsage;

    // FreeImage and the libraries under it are loaded while files may still be opened.
    EnsureFreeImage();
    if (!DecoderSandbox::Enter(addressSpace, cpuSeconds))
        _exit(kExitNoSandbox);

    const size_t length = size_t(input.st_size);
    void* bytes = mmap(nullptr, length, PROT_READ, MAP_PRIVATE, 0, 0);
    if (bytes == MAP_FAILED)
        _exit(SandboxedDecoder::kExitOutOfMemory);
    bool memoryShort = false;
    const std::unique_ptr<ImageBuffer> image
        = FreeImageDecoder::DecodeFirstPage(static_cast<const uint8_t*>(bytes), length, memoryShort);
    if (!image)
        _exit(memoryShort ? SandboxedDecoder::kExitOutOfMemory : SandboxedDecoder::kExitRefused);
    // Leaving by _exit skips destructors and atexit handlers, which need nothing the filter allows.
    _exit(DecoderReply::Write(1, *image) ? SandboxedDecoder::kExitDecoded : kExitNoReply);
}
