// JPEG reading with libjpeg from a file held in memory. libjpeg converts colour and
// grey-scale pictures to RGB itself; other colour spaces (CMYK) are refused.
// Errors longjmp back to the reader, which frees the decompressor and returns null.
// NOTE: nothing with a destructor lives across the setjmp.
#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include <csetjmp>

#include "graphics/ImageLoader.h"

namespace Varn {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void FailJump(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->output_message)(info);
    std::longjmp(errors->jump, 1);
}

// One line per fatal error, nothing for the many warnings a damaged file can raise.
void QuietMessage(j_common_ptr, int) {}

void PrintMessage(j_common_ptr info) {
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    std::fprintf(stderr, "jpeg: %s\n", text);
}

bool CreateDecompressor(jpeg_decompress_struct& info, ErrorManager& errors) {
    if (setjmp(errors.jump)) return false;
    jpeg_create_decompress(&info);
    return true;
}

// Decodes into picture, allocated here once the size is known; it stays with the caller
// when an error jumps out halfway. Returns false on error.
bool ReadPicture(jpeg_decompress_struct& info, ErrorManager& errors, const uint8_t* data,
                 std::size_t size, int64_t maxPixels, DecodedImage*& picture) {
    if (setjmp(errors.jump)) return false;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    if (!AcceptableImageSize(info.image_width, info.image_height, maxPixels)) return false;
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) return false;
    int w = int(info.output_width), h = int(info.output_height);
    picture = new DecodedImage(w, h);
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               JDIMENSION(w) * 3, 1);
    while (info.output_scanline < info.output_height) {
        uint32_t* out = picture->pixels.get() + std::size_t(info.output_scanline) * w;
        jpeg_read_scanlines(&info, row, 1);
        const JSAMPLE* rgb = row[0];
        for (int x = 0; x < w; ++x, rgb += 3)
            out[x] = 0xFF000000u | uint32_t(rgb[2]) << 16 | uint32_t(rgb[1]) << 8 | rgb[0];
    }
    jpeg_finish_decompress(&info);
    return true;
}

}  // namespace

std::unique_ptr<DecodedImage> DecodeJPEG(const uint8_t* data, std::size_t size, int64_t maxPixels) {
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8) return nullptr;
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = FailJump;
    errors.base.emit_message = QuietMessage;
    errors.base.output_message = PrintMessage;
    DecodedImage* picture = nullptr;
    if (!CreateDecompressor(info, errors)) return nullptr;
    bool ok = ReadPicture(info, errors, data, size, maxPixels, picture);
    jpeg_destroy_decompress(&info);
    std::unique_ptr<DecodedImage> result(picture);
    if (!ok) result.reset();
    return result;
}

}  // namespace Varn
