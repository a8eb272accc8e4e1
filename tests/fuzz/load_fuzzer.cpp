// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// libFuzzer target for the BMP loader: arbitrary bytes through the same header checks, SDL reader,
// palette step and blit as load_image_at, onto a 32-bit and an 8-bit paletted destination.
// Input: x then y, each a little-endian signed 16-bit number, then the file's bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <SDL.h>

#include "image/bmp_header.hpp"
#include "image/load.hpp"

namespace {

constexpr int side = 48;  // both destinations are side x side pixels
constexpr Uint32 fill_value = 0x00ABCDEF;
constexpr Uint8 fill_index = 200;

SDL_Surface* truecolour = nullptr;  // created once; refilled before every input
SDL_Surface* paletted = nullptr;
SDL_Color grey_ramp[256];

void refill() {
    SDL_FillRect(truecolour, nullptr, fill_value);
    SDL_SetColors(paletted, grey_ramp, 0, 256);
    SDL_FillRect(paletted, nullptr, fill_index);
}

bool inside(int px, int py, int x, int y, const smearwell::bmp_facts* image) {
    return image && px >= x && px < x + image->width && py >= y && py < y + image->height;
}

Uint32 pixel_at(const SDL_Surface* surface, int px, int py) {
    const Uint8* row = static_cast<const Uint8*>(surface->pixels) + py * surface->pitch;
    if (surface->format->BytesPerPixel == 1) {
        return row[px];
    }
    Uint32 value;
    std::memcpy(&value, row + 4 * px, 4);
    return value;
}

// Nothing outside the image's rectangle may change (the whole destination, if it was refused),
// nor palette entries past the colours the file declares.
void check_untouched(const SDL_Surface* surface, Uint32 original, int x, int y, const smearwell::bmp_facts* image) {
    for (int py = 0; py < side; ++py) {
        for (int px = 0; px < side; ++px) {
            if (!inside(px, py, x, y, image) && pixel_at(surface, px, py) != original) {
                std::fprintf(stdout, "pixel (%d,%d) outside the image changed\n", px, py);
                std::abort();
            }
        }
    }
    if (const SDL_Palette* palette = surface->format->palette) {
        for (int i = image ? image->colours : 0; i < 256; ++i) {
            if (std::memcmp(&palette->colors[i], &grey_ramp[i], 3) != 0) {
                std::fprintf(stdout, "palette entry %d changed\n", i);
                std::abort();
            }
        }
    }
}

void load_onto(SDL_Surface* destination, const Uint8* file, size_t size, int x, int y) {
    SDL_RWops* stream = SDL_RWFromConstMem(file, static_cast<int>(size));
    if (!stream) {
        return;
    }
    const size_t header_length = size < smearwell::bmp_header_bytes ? size : smearwell::bmp_header_bytes;
    smearwell::load_bmp_stream_at(stream, file, header_length, static_cast<Sint64>(size), "input", destination, x, y);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_Init(SDL_INIT_VIDEO);
    truecolour = SDL_CreateRGBSurface(SDL_SWSURFACE, side, side, 32, 0, 0, 0, 0);
    paletted = SDL_CreateRGBSurface(SDL_SWSURFACE, side, side, 8, 0, 0, 0, 0);
    for (int i = 0; i < 256; ++i) {
        grey_ramp[i] = {static_cast<Uint8>(i), static_cast<Uint8>(i), static_cast<Uint8>(i), 0};
    }
    // The loader's one line per refused input would flood the log. Sanitizer reports do not go
    // through this stream and still reach the terminal.
    stderr = std::fopen("/dev/null", "w");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4 || size > 1 << 20) {
        return 0;
    }
    const int x = static_cast<Sint16>(data[0] | data[1] << 8);
    const int y = static_cast<Sint16>(data[2] | data[3] << 8);
    const Uint8* file = data + 4;
    const size_t file_size = size - 4;

    smearwell::bmp_facts facts;
    const size_t header_length = file_size < smearwell::bmp_header_bytes ? file_size : smearwell::bmp_header_bytes;
    const bool accepted = !smearwell::check_bmp_header(file, header_length, static_cast<Sint64>(file_size), facts);

    refill();
    load_onto(truecolour, file, file_size, x, y);
    load_onto(paletted, file, file_size, x, y);
    check_untouched(truecolour, fill_value, x, y, accepted ? &facts : nullptr);
    check_untouched(paletted, fill_index, x, y, accepted ? &facts : nullptr);
    return 0;
}
