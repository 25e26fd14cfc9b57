// PNG reading with libpng from a file held in memory. libpng's own transformations turn
// every variant into 8-bit RGBA: palettes and low-bit grey are expanded, transparency
// chunks become alpha, 16-bit samples are reduced to 8, grey becomes RGB, a filler byte
// 255 is added where there is no alpha, and interlaced files are de-interlaced by libpng.
// The four bytes red, green, blue, alpha read as a little-endian value are a packed pixel.
// NOTE: libpng reports errors by longjmp; nothing with a destructor lives across setjmp.
#include <png.h>

#include <csetjmp>
#include <cstring>

#include "graphics/ImageLoader.h"

namespace Varn {

namespace {

constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;
constexpr png_uint_32 kMaxAncillaryChunks = 256;

struct MemoryInput {
    const uint8_t* data;
    std::size_t size;
    std::size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
    if (length > input->size - input->position) png_error(png, "truncated file");
    std::memcpy(out, input->data + input->position, length);
    input->position += length;
}

void QuietWarning(png_structp, png_const_charp) {}

// libpng allocates (and clears) a text chunk's declared length before reading it, so a
// damaged length field could cost gigabytes. Every chunk must fit inside the file.
bool ChunksFitInFile(const uint8_t* data, std::size_t size) {
    std::size_t position = 8;
    while (size - position >= 12) {
        const uint8_t* p = data + position;
        std::size_t length =
            std::size_t(p[0]) << 24 | std::size_t(p[1]) << 16 | std::size_t(p[2]) << 8 | p[3];
        if (length > size - position - 12) return false;
        if (std::memcmp(p + 4, "IEND", 4) == 0) return true;
        position += 12 + length;
    }
    return true;
}

void SetUpTransformations(png_structp png, png_infop info) {
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

// Reads the whole picture into pixels (w x h, already allocated) with one row pointer per
// row. Returns false on any libpng error.
bool ReadRows(png_structp png, png_infop info, uint32_t* pixels, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    SetUpTransformations(png, info);
    if (png_get_rowbytes(png, info) != std::size_t(w) * 4) return false;
    for (png_uint_32 y = 0; y < h; ++y)
        rows[y] = reinterpret_cast<png_bytep>(pixels + std::size_t(y) * w);
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

bool ReadHeader(png_structp png, png_infop info, png_uint_32& w, png_uint_32& h) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    w = png_get_image_width(png, info);
    h = png_get_image_height(png, info);
    return true;
}

}  // namespace

std::unique_ptr<DecodedImage> DecodePNG(const uint8_t* data, std::size_t size, int64_t maxPixels) {
    if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0 || !ChunksFitInFile(data, size))
        return nullptr;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, QuietWarning);
    if (!png) return nullptr;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }
    MemoryInput input{data, size, 0};
    png_set_read_fn(png, &input, ReadFromMemory);
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    // A chunk's declared length is allocated before it is read: cap it, and the number of
    // ancillary chunks, so a few damaged bytes cannot claim gigabytes.
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_set_chunk_cache_max(png, kMaxAncillaryChunks);
    png_uint_32 w = 0, h = 0;
    std::unique_ptr<DecodedImage> picture;
    std::unique_ptr<png_bytep[]> rows;
    if (ReadHeader(png, info, w, h) && AcceptableImageSize(w, h, maxPixels)) {
        picture = std::make_unique<DecodedImage>(int(w), int(h));
        rows = std::make_unique<png_bytep[]>(h);
        if (!ReadRows(png, info, picture->pixels.get(), rows.get())) picture.reset();
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return picture;
}

}  // namespace Varn
