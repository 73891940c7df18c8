#include "editor/codecs/JpegWriter.h"

#include "imaging/ImageBuffer.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace {

struct JpegErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrorTrap*>(info->err)->jump, 1);
}

void OnJpegMessage(j_common_ptr)
{
}

// Only plain locals live in this frame, so the error jump skips no destructor.
bool Compress(const ImageBuffer& image, std::FILE* out)
{
    jpeg_compress_struct info {};
    JpegErrorTrap trap {};
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = OnJpegError;
    trap.manager.output_message = OnJpegMessage;
    if (setjmp(trap.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = JDIMENSION(image.Width());
    info.image_height = JDIMENSION(image.Height());
    info.input_components = image.BitCount() == 32 ? 4 : 3;
    info.in_color_space = image.BitCount() == 32 ? JCS_EXT_BGRX : JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.Row(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

bool WriteJpeg(const ImageBuffer& image, std::FILE* out)
{
    if (image.IsEmpty() || !out)
        return false;
    if (image.BitCount() == 24 || image.BitCount() == 32)
        return Compress(image, out);
    ImageBuffer rgb(image);
    return rgb.ConvertTo(24) && Compress(rgb, out);
}
