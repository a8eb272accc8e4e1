// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// A look at a BMP file's headers before SDL's reader sees the file, and at the image it makes
// before any blit, to refuse what would make either SDL 1.2 library allocate gigabytes, read out of
// bounds or crash in a blit.
#pragma once

#include <cstddef>
#include <cstdint>

#include <SDL.h>

namespace smearwell {

// Classic SDL 1.2 refuses widths of 16384 and more itself; sdl12-compat would take them, so the
// limit is applied here for both. Heights go up to 16384.
constexpr int bmp_max_width = 16383;   // pixels
constexpr int bmp_max_height = 16384;  // pixels
// The largest image the loader lets SDL decode: 64 Mi pixels, 256 MiB at 32 bits. An 800x600
// canvas holds 0.48 million pixels, so no image a paint program of that size could want comes
// near; and a compressed file of a few bytes may declare that many pixels, which SDL allocates
// (and clears) before it reads a single one.
constexpr std::int64_t bmp_max_pixels = std::int64_t{1} << 26;
constexpr std::size_t bmp_header_bytes = 70;  // file header, info header and the four colour masks

struct bmp_facts {
    int width = 0;    // pixels
    int height = 0;   // pixels, whether the rows are stored top-down or bottom-up
    int colours = 0;  // palette entries the file declares; 0 without a palette
};

// `header` holds the file's first `header_length` bytes (at most bmp_header_bytes are read);
// `file_size` is the whole file's, in bytes. Returns nullptr when the file may go to SDL's reader,
// with `facts` filled in, or else the reason for refusing it.
const char* check_bmp_header(const Uint8* header, std::size_t header_length, Sint64 file_size, bmp_facts& facts);

// Colour masks SDL's blitters can be trusted with: each channel one run of at most 8 bits (or
// none), no two channels sharing a bit. nullptr, or the reason for refusing them.
const char* check_colour_masks(Uint32 red, Uint32 green, Uint32 blue, Uint32 alpha);

// The image SDL's reader made of a file that passed check_bmp_header, before any blit: its masks
// as above and, when paletted, every pixel one of the `facts.colours` colours the file declares
// (blits look colours up in tables of that size). nullptr, or the reason for refusing it.
const char* check_decoded_bmp(const SDL_Surface* image, const bmp_facts& facts);

}  // namespace smearwell
