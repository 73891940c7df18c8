// lumora-decode: decodes one picture (plain colour PNGs with PngDecoder, anything else with FreeImage) and
// exits. Started by SandboxedDecoder with a socket as descriptor 0, which brings the input (a sealed memfd)
// once the sandbox is in place, and an empty memfd as descriptor 1 for the reply; arguments: the
// address-space limit in bytes, the CPU limit in seconds, the kind of picture it decodes (plain colour PNGs
// only, or any) and the size of the pixel block it will likely send back.
#include "editor/codecs/DecoderReply.h"
#include "editor/codecs/FreeImageDecoder.h"
#include "editor/codecs/FreeImageLibrary.h"
#include "editor/codecs/ImageCodec.h"
#include "editor/codecs/PngDecoder.h"
#include "editor/codecs/SandboxedDecoder.h"
#include "helpers/DecoderSandbox.h"

#include <sched.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitNoSandbox = 5;
constexpr int kExitNoReply = 6;
constexpr int kExitNoInput = 7;

// Ends the process at once: no destructors or exit handlers, which would need calls the filter does not
// allow. Under the sanitizers the exit call is made directly, past their leak check at exit: what a
// one-picture process leaves allocated is no leak.
[[noreturn]] void ExitDecoder(int code)
{
#ifdef LUMORA_DECODER_UNDER_SANITIZER
    syscall(SYS_exit_group, code);
#endif
    _exit(code);
}

struct Input {
    const uint8_t* bytes = nullptr;
    size_t length = 0;
};

// The input as the socket brings it: its length, with the memfd that holds it, which is mapped. Empty
// when the program that started us closed the socket without sending one (a decoder started ahead that
// was never needed).
Input ReceiveInput()
{
    uint64_t length = 0;
    iovec payload { &length, sizeof length };
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr message {};
    message.msg_iov = &payload;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    ssize_t got = -1;
    while ((got = recvmsg(0, &message, MSG_CMSG_CLOEXEC)) < 0 && errno == EINTR) { }
    const cmsghdr* rights = CMSG_FIRSTHDR(&message);
    if (got != ssize_t(sizeof length) || !rights || rights->cmsg_type != SCM_RIGHTS
        || rights->cmsg_len != CMSG_LEN(sizeof(int)) || length == 0 || length > uint64_t(ImageCodec::kMaxFileBytes))
        return {};
    int file = -1;
    std::memcpy(&file, CMSG_DATA(rights), sizeof file);
    void* bytes = mmap(nullptr, length, PROT_READ, MAP_PRIVATE, file, 0);
    if (bytes == MAP_FAILED)
        ExitDecoder(SandboxedDecoder::kExitOutOfMemory);
    return { static_cast<const uint8_t*>(bytes), size_t(length) };
}

// Plain colour PNGs are decoded straight into the reply's pages, which become the picture's memory.
[[noreturn]] void DecodePlainPng(const Input& input, std::span<uint8_t> prepared)
{
    ImageBuffer image;
    bool memoryShort = false;
    const auto inReply = [prepared](const BitmapInfoHeader& header, ImageBuffer& out) {
        PixelBlock pixels = DecoderReply::ReservePixels(
            1, size_t(ImageBuffer::StrideFor(header.biWidth, header.biBitCount)) * size_t(header.biHeight), prepared);
        return pixels.Data() && out.CreateFromInfo(header, nullptr, std::move(pixels));
    };
    if (!PngDecoder::Decode(input.bytes, input.length, inReply, image, memoryShort))
        ExitDecoder(memoryShort ? SandboxedDecoder::kExitOutOfMemory : SandboxedDecoder::kExitRefused);
    std::vector<RgbQuad> palette;
    DecoderReply::Page page = DecoderReply::PageOf(image, palette);
    page.pixelsInReply = true;
    ExitDecoder(DecoderReply::Write(1, page) ? SandboxedDecoder::kExitDecoded : kExitNoReply);
}

[[noreturn]] void DecodeWithFreeImage(const Input& input)
{
    const FreeImageBitmap bitmap = FreeImageDecoder::LoadFirstPage(input.bytes, input.length);
    if (!bitmap)
        ExitDecoder(SandboxedDecoder::kExitRefused);
    // Colour pages go out from FreeImage's own block, other pages through our conversion.
    bool written = false;
    if (const std::optional<DecoderReply::Page> page = FreeImageDecoder::PageInPlace(bitmap.get())) {
        written = DecoderReply::Write(1, *page);
    } else {
        bool memoryShort = false;
        const std::unique_ptr<ImageBuffer> image = FreeImageDecoder::ConvertBitmap(bitmap.get(), memoryShort);
        if (!image)
            ExitDecoder(memoryShort ? SandboxedDecoder::kExitOutOfMemory : SandboxedDecoder::kExitRefused);
        std::vector<RgbQuad> palette;
        written = DecoderReply::Write(1, DecoderReply::PageOf(*image, palette));
    }
    ExitDecoder(written ? SandboxedDecoder::kExitDecoded : kExitNoReply);
}

} // namespace

int main(int argc, char** argv)
{
    // Nothing of the program that started us beyond the two descriptors and standard error.
    close_range(3, UINT_MAX, 0);
    if (argc != 5)
        return kExitUsage;
    const long long addressSpace = std::atoll(argv[1]);
    const int cpuSeconds = std::atoi(argv[2]);
    const std::string_view kind = argv[3];
    const bool plainPng = kind == SandboxedDecoder::kPlainPngKind;
    const long long likelyPixelBytes = std::atoll(argv[4]);
    if (addressSpace <= 0 || cpuSeconds <= 0 || likelyPixelBytes < 0
        || likelyPixelBytes > SandboxedDecoder::kMaxPreparedBytes || (!plainPng && kind != SandboxedDecoder::kAnyKind))
        return kExitUsage;
    // A spare decoder makes the pages of the reply it will likely need while it waits.
    const std::span<uint8_t> prepared = DecoderReply::Prepare(1, size_t(likelyPixelBytes));

    // FreeImage and the two dozen libraries under it are loaded while files may still be opened; a decoder
    // of plain PNGs needs none of them, and starts in a fraction of the time.
    if (!plainPng)
        EnsureFreeImage();
    // A spare is started as a batch process, which does not preempt the program while it gets ready; the
    // decode that the program waits for is ordinary work.
    if (sched_getscheduler(0) == SCHED_BATCH) {
        const sched_param none {};
        sched_setscheduler(0, SCHED_OTHER, &none);
    }
    if (!DecoderSandbox::Enter(addressSpace, cpuSeconds))
        ExitDecoder(kExitNoSandbox);

    const Input input = ReceiveInput();
    if (!input.bytes)
        ExitDecoder(kExitNoInput);
    if (PngDecoder::Reads(input.bytes, input.length))
        DecodePlainPng(input, prepared);
    if (plainPng)
        ExitDecoder(SandboxedDecoder::kExitRefused);
    DecodeWithFreeImage(input);
}
