// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// BMP header checks, and the checks of the image SDL's reader makes of a file before it is blitted.
// Offsets and field sizes are those of the Windows BMP file format: a 14-byte file header, then an
// info header of 12 bytes (OS/2) or 40 and more, little-endian throughout.
#include "image/bmp_header.hpp"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>

#include "raster/pixel.hpp"

namespace smearwell {

namespace {

constexpr std::size_t file_header_size = 14;
constexpr std::size_t core_header_size = 12;  // 16-bit width and height
constexpr std::size_t info_header_size = 40;
constexpr Uint32 uncompressed = 0;  // BI_RGB
constexpr Uint32 rle8 = 1;
constexpr Uint32 rle4 = 2;
constexpr Uint32 bitfields = 3;

Uint32 little_endian(const Uint8* bytes, int size) {
    Uint32 value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

struct info_header {
    Uint32 size = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;  // negative: rows stored top-down
    Uint32 bits = 0;
    Uint32 compression = 0;
    Uint32 colours_used = 0;
};

// Reads the info header; nullptr or the reason it cannot be read.
const char* read_info_header(const Uint8* header, std::size_t length, Sint64 file_size, info_header& info) {
    if (length < file_header_size + 4 || header[0] != 'B' || header[1] != 'M') {
        return "not a BMP file";
    }
    const Uint8* fields = header + file_header_size;
    info.size = little_endian(fields, 4);
    if (info.size > file_size - static_cast<Sint64>(file_header_size)) {
        return "BMP header larger than the file";
    }
    if (info.size == core_header_size && length >= file_header_size + core_header_size) {
        info.width = little_endian(fields + 4, 2);
        info.height = little_endian(fields + 6, 2);
        info.bits = little_endian(fields + 10, 2);
        return nullptr;
    }
    if (info.size < info_header_size) {
        return "unsupported or truncated BMP header";
    }
    if (length < file_header_size + info_header_size) {
        return "truncated BMP header";
    }
    info.width = static_cast<std::int32_t>(little_endian(fields + 4, 4));
    info.height = static_cast<std::int32_t>(little_endian(fields + 8, 4));
    info.bits = little_endian(fields + 14, 2);
    info.compression = little_endian(fields + 16, 4);
    info.colours_used = little_endian(fields + 32, 4);
    return nullptr;
}

const char* check_dimensions(const info_header& info) {
    if (info.width <= 0 || info.height == 0) {
        return "image has no pixels (width or height of zero or less)";
    }
    if (info.width > bmp_max_width) {
        return "image is 16384 pixels wide or more";
    }
    const std::int64_t rows = info.height < 0 ? -info.height : info.height;  // int64: INT32_MIN negates
    if (rows > bmp_max_height) {
        return "image is more than 16384 pixels high";
    }
    if (info.width * rows > bmp_max_pixels) {
        return "image is larger than 64 megapixels";
    }
    if (info.bits != 1 && info.bits != 4 && info.bits != 8 && info.bits != 16 && info.bits != 24 && info.bits != 32) {
        return "unsupported number of bits per pixel";
    }
    if (info.bits <= 8 && info.colours_used > (1u << info.bits)) {
        return "more palette colours than the pixel size can address";
    }
    return nullptr;
}

// Only what SDL's readers decode: run lengths of 8-bit pixels for RLE8 and of 4-bit pixels for
// RLE4 (sdl12-compat decodes both; classic SDL refuses them itself), masks for 16 and 32 bits.
// Other values (JPEG, PNG, Huffman and the like) would be read as raw pixels.
const char* check_compression(const info_header& info) {
    switch (info.compression) {
    case uncompressed: return nullptr;
    case rle8: return info.bits == 8 ? nullptr : "RLE8 compression of other than 8 bits per pixel";
    case rle4: return info.bits == 4 ? nullptr : "RLE4 compression of other than 4 bits per pixel";
    case bitfields: return info.bits == 16 || info.bits == 32 ? nullptr : "colour masks on other than 16 or 32 bits";
    default: return "unsupported BMP compression";
    }
}

// Uncompressed rows are padded to 4 bytes; all of them must be in the file.
const char* check_pixel_data(const Uint8* header, const info_header& info, Sint64 file_size) {
    const std::int64_t offset = little_endian(header + 10, 4);
    if (offset > file_size) {
        return "pixel data starts past the end of the file";
    }
    if (info.compression == rle8 || info.compression == rle4) {
        return nullptr;  // run lengths are the reader's to check; the dimensions are bounded above
    }
    const std::int64_t row_bytes = (info.width * info.bits + 31) / 32 * 4;
    const std::int64_t rows = info.height < 0 ? -info.height : info.height;
    if (offset + row_bytes * rows > file_size) {
        return "file is too short for the image's pixel data";
    }
    return nullptr;
}

// Classic SDL 1.2.15 takes the bytes between a plain 16- or 32-bit file's info header and its
// pixel data (an optional colour table, say) for colour masks. sdl12-compat, which reports 1.2.50
// and above, skips them and decodes the pixels as the format says.
bool reader_takes_gap_for_masks() {
    const SDL_version* linked = SDL_Linked_Version();
    return SDL_VERSIONNUM(linked->major, linked->minor, linked->patch) < SDL_VERSIONNUM(1, 2, 50);
}

// Masks in the header: SDL's blitters onto 8-bit surfaces index their colour map with what the
// masks give, so a bad mask reads and writes out of bounds there. SDL reads three masks right after
// the first 40 (or 12) bytes of the info header for BI_BITFIELDS, and classic SDL also for 16- and
// 32-bit BI_RGB files whose pixel data does not follow the info header directly; the larger headers
// carry a fourth, alpha, mask.
const char* check_header_masks(const Uint8* header, std::size_t length, const info_header& info) {
    const bool plain_with_gap = info.compression == uncompressed && (info.bits == 16 || info.bits == 32) &&
                                little_endian(header + 10, 4) != file_header_size + info.size &&
                                reader_takes_gap_for_masks();
    if (info.compression != bitfields && !plain_with_gap) {
        return nullptr;
    }
    const std::size_t first = file_header_size + std::min<std::size_t>(info.size, info_header_size);
    const int count = info.size >= 56 && info.compression == bitfields ? 4 : 3;
    Uint32 masks[4] = {0, 0, 0, 0};
    for (int i = 0; i < count; ++i) {
        const std::size_t at = first + 4 * static_cast<std::size_t>(i);
        if (at + 4 <= length) {
            masks[i] = little_endian(header + at, 4);
        }
    }
    return check_colour_masks(masks[0], masks[1], masks[2], masks[3]);
}

// One run of at most 8 bits, or no bits at all.
bool is_channel_mask(Uint32 mask) {
    if (mask == 0) {
        return true;
    }
    const Uint32 run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0 && std::popcount(mask) <= 8;
}

// Every pixel index of a paletted image names one of the colours its file declares.
bool indices_within(const SDL_Surface* image, int colours) {
    for (int y = 0; y < image->h; ++y) {
        const Uint8* row = pixel_row(image, y);
        if (std::any_of(row, row + image->w, [colours](Uint8 index) { return index >= colours; })) {
            return false;
        }
    }
    return true;
}

}  // namespace

const char* check_bmp_header(const Uint8* header, std::size_t header_length, Sint64 file_size, bmp_facts& facts) {
    info_header info;
    const char* problem = read_info_header(header, header_length, file_size, info);
    if (!problem) {
        problem = check_dimensions(info);
    }
    if (!problem) {
        problem = check_compression(info);
    }
    if (!problem) {
        problem = check_pixel_data(header, info, file_size);
    }
    if (!problem) {
        problem = check_header_masks(header, header_length, info);
    }
    if (problem) {
        return problem;
    }
    facts.width = static_cast<int>(info.width);
    facts.height = static_cast<int>(info.height < 0 ? -info.height : info.height);
    facts.colours = info.bits > 8 ? 0 : info.colours_used ? static_cast<int>(info.colours_used) : 1 << info.bits;
    return nullptr;
}

const char* check_colour_masks(Uint32 red, Uint32 green, Uint32 blue, Uint32 alpha) {
    for (const Uint32 mask : {red, green, blue, alpha}) {
        if (!is_channel_mask(mask)) {
            return "colour masks that are not one run of at most 8 bits";
        }
    }
    if ((red & green) | (red & blue) | (green & blue) | (alpha & (red | green | blue))) {
        return "overlapping colour masks";
    }
    return nullptr;
}

const char* check_decoded_bmp(const SDL_Surface* image, const bmp_facts& facts) {
    const SDL_PixelFormat* format = image->format;
    if (format->palette) {
        return format->BytesPerPixel == 1 && indices_within(image, facts.colours)
                   ? nullptr
                   : "a pixel's colour lies outside the palette";
    }
    return check_colour_masks(format->Rmask, format->Gmask, format->Bmask, format->Amask);
}

}  // namespace smearwell
