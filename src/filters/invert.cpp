// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// The invert filter. No pixel depends on another, so working in place, row by row, is exact.
#include "filters/invert.hpp"

#include "filters/hot_loop.hpp"
#include "raster/pixel.hpp"
#include "raster/surface.hpp"

namespace smearwell {

namespace {

// White minus the pixel, its alpha bits (`alpha`, the format's alpha mask) kept as they were:
// white, mapped on a format with alpha, is opaque, and would leave every pixel transparent.
template <int Bytes>
void invert_row(Uint8* row, int width, Uint32 white, Uint32 alpha) {
    for (int x = 0; x < width; ++x) {
        Uint8* pixel = row + x * Bytes;
        const Uint32 value = load_pixel<Bytes>(pixel);
        store_pixel<Bytes>(pixel, ((white - value) & ~alpha) | (value & alpha));  // wraps modulo 2^32
    }
}

// The canvas's pixel size, the one that matters for speed.
SMEARWELL_HOT_LOOP
void invert_row_of_words(Uint8* row, int width, Uint32 white, Uint32 alpha) {
    invert_row<4>(row, width, white, alpha);
}

template <int Bytes>
void invert_pixels(SDL_Surface* surface, Uint32 white) {
    const int width = surface->w;  // kept local: pixel stores may alias the surface record
    const int height = surface->h;
    const Uint32 alpha = surface->format->Amask;
    for (int y = 0; y < height; ++y) {
        if constexpr (Bytes == 4) {
            invert_row_of_words(pixel_row(surface, y), width, white, alpha);
        } else {
            invert_row<Bytes>(pixel_row(surface, y), width, white, alpha);
        }
    }
}

}  // namespace

void invert_canvas(SDL_Surface* surface) {
    const Uint32 white = SDL_MapRGB(surface->format, 255, 255, 255);
    with_pixels(surface, [&] {
        switch (surface->format->BytesPerPixel) {
        case 1: invert_pixels<1>(surface, white); break;
        case 2: invert_pixels<2>(surface, white); break;
        case 3: invert_pixels<3>(surface, white); break;
        case 4: invert_pixels<4>(surface, white); break;
        default: break;
        }
    });
    SDL_UpdateRect(surface, 0, 0, 0, 0);
}

}  // namespace smearwell
