// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Reading and writing one pixel of a software surface, at any of SDL's pixel sizes (1 to 4 bytes).
// Neither coordinates nor locking are checked here: callers keep 0 <= x < w, 0 <= y < h and only
// touch surfaces they created themselves.
#pragma once

#include <cstddef>
#include <cstring>

#include <SDL.h>

namespace smearwell {

// A pixel value is a colour already mapped to the surface's format. A pixel of n bytes holds the
// value's low n bytes in the machine's byte order; higher bits are dropped on store, read as zero.
template <int Bytes>
inline Uint32 load_pixel(const Uint8* pixel) {
    if constexpr (Bytes == 1) {
        return *pixel;
    } else if constexpr (Bytes == 2) {
        Uint16 unit;
        std::memcpy(&unit, pixel, sizeof unit);  // one 16-bit load, whatever the alignment
        return unit;
    } else if constexpr (Bytes == 3) {
        // Three byte loads: the byte after the pixel belongs to its neighbour or to the row padding.
        if constexpr (SDL_BYTEORDER == SDL_BIG_ENDIAN) {
            return Uint32{pixel[0]} << 16 | Uint32{pixel[1]} << 8 | pixel[2];
        } else {
            return pixel[0] | Uint32{pixel[1]} << 8 | Uint32{pixel[2]} << 16;
        }
    } else {
        static_assert(Bytes == 4, "SDL pixels are 1 to 4 bytes");
        Uint32 unit;
        std::memcpy(&unit, pixel, sizeof unit);
        return unit;
    }
}

template <int Bytes>
inline void store_pixel(Uint8* pixel, Uint32 value) {
    if constexpr (Bytes == 1) {
        *pixel = static_cast<Uint8>(value);
    } else if constexpr (Bytes == 2) {
        const auto unit = static_cast<Uint16>(value);
        std::memcpy(pixel, &unit, sizeof unit);
    } else if constexpr (Bytes == 3) {
        if constexpr (SDL_BYTEORDER == SDL_BIG_ENDIAN) {
            pixel[0] = static_cast<Uint8>(value >> 16);
            pixel[1] = static_cast<Uint8>(value >> 8);
            pixel[2] = static_cast<Uint8>(value);
        } else {
            pixel[0] = static_cast<Uint8>(value);
            pixel[1] = static_cast<Uint8>(value >> 8);
            pixel[2] = static_cast<Uint8>(value >> 16);
        }
    } else {
        static_assert(Bytes == 4, "SDL pixels are 1 to 4 bytes");
        std::memcpy(pixel, &value, sizeof value);
    }
}

// First byte of row y. Rows are reached through the pitch, never w * bytes, so the padding a
// surface keeps after its last pixel is never addressed.
inline Uint8* pixel_row(const SDL_Surface* surface, int y) {
    return static_cast<Uint8*>(surface->pixels) + static_cast<std::ptrdiff_t>(y) * surface->pitch;
}

inline Uint8* pixel_address(const SDL_Surface* surface, int x, int y) {
    return pixel_row(surface, y) + static_cast<std::ptrdiff_t>(x) * surface->format->BytesPerPixel;
}

// An unsupported pixel size reads as 0.
inline Uint32 read_pixel(const SDL_Surface* surface, int x, int y) {
    const Uint8* pixel = pixel_address(surface, x, y);
    switch (surface->format->BytesPerPixel) {
    case 1: return load_pixel<1>(pixel);
    case 2: return load_pixel<2>(pixel);
    case 3: return load_pixel<3>(pixel);
    case 4: return load_pixel<4>(pixel);
    default: return 0;
    }
}

// An unsupported pixel size writes nothing.
inline void write_pixel(SDL_Surface* surface, int x, int y, Uint32 value) {
    Uint8* pixel = pixel_address(surface, x, y);
    switch (surface->format->BytesPerPixel) {
    case 1: store_pixel<1>(pixel, value); break;
    case 2: store_pixel<2>(pixel, value); break;
    case 3: store_pixel<3>(pixel, value); break;
    case 4: store_pixel<4>(pixel, value); break;
    default: break;
    }
}

}  // namespace smearwell
