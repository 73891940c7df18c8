#include "platform/PngFileReader.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

bool IsPng(FILE* file)
{
    png_byte signature[8];
    return std::fread(signature, 1, sizeof signature, file) == sizeof signature && png_sig_cmp(signature, 0, 8) == 0;
}

// libpng reports errors by longjmp: nothing with a destructor lives in this frame's setjmp scope except
// the image, which belongs to the caller.
bool Decode(png_structp png, png_infop info, FILE* file, ImageBuffer& image)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_strip_alpha(png);
    png_set_bgr(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (png_get_rowbytes(png, info) != size_t(width) * 3 || width > 1u << 20 || height > 1u << 20
        || !image.Create(int(width), int(height), 24))
        return false;
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y)
            png_read_row(png, image.Row(int(y)), nullptr);
    return true;
}

} // namespace

ImageBuffer ReadPngFile(const std::string& path)
{
    const std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file || !IsPng(file.get()))
        return {};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    ImageBuffer image;
    const bool read = info && Decode(png, info, file.get(), image);
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return read ? std::move(image) : ImageBuffer();
}
