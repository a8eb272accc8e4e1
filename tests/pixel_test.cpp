// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Pixel access at every pixel size, through the pitch, and at an unsupported size.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "raster/pixel.hpp"
#include "support.hpp"

using smearwell::read_pixel;
using smearwell::write_pixel;

namespace {

const Uint8* byte_at(const SDL_Surface* surface, int offset) {
    return static_cast<const Uint8*>(surface->pixels) + offset;
}

TEST(PixelAccess, StoresOnlyTheLowBytesThatThePixelSizeHolds) {
    struct size_case {
        int depth;
        Uint32 written;
        Uint32 read_back;
    };
    for (const auto& c : {size_case{8, 0x1FF, 0xFF}, size_case{16, 0x12345678, 0x5678},
                          size_case{24, 0xAABBCCDD, 0x00BBCCDD}, size_case{32, 0xDEADBEEF, 0xDEADBEEF}}) {
        SCOPED_TRACE(c.depth);
        auto surface = test::make_surface(5, 3, c.depth);
        if (surface->format->BitsPerPixel != c.depth) {
            continue;  // the browser's SDL makes every surface 32 bits
        }
        test::put_pixel(surface.get(), 2, 1, c.written);
        EXPECT_EQ(test::pixel_at(surface.get(), 2, 1), c.read_back);
        EXPECT_EQ(test::pixels_not(surface.get(), 0), (test::pixel_set{{2, 1}}));
    }
}

TEST(PixelAccess, ThreeBytePixelsUseTheMachineByteOrderAndSpareTheNextByte) {
    auto surface = test::make_surface(5, 2, 24);
    if (surface->format->BytesPerPixel != 3) {
        GTEST_SKIP() << "the browser's SDL makes every surface four bytes a pixel";
    }
    std::memset(surface->pixels, 0x55, static_cast<size_t>(surface->pitch) * 2);
    write_pixel(surface.get(), 1, 0, 0xAABBCCDD);
    const Uint8* pixel = byte_at(surface.get(), 3);
    if (SDL_BYTEORDER == SDL_LIL_ENDIAN) {
        EXPECT_EQ((std::vector<int>{pixel[0], pixel[1], pixel[2]}), (std::vector<int>{0xDD, 0xCC, 0xBB}));
    } else {
        EXPECT_EQ((std::vector<int>{pixel[0], pixel[1], pixel[2]}), (std::vector<int>{0xBB, 0xCC, 0xDD}));
    }
    EXPECT_EQ(pixel[-1], 0x55);
    EXPECT_EQ(pixel[3], 0x55);  // the next pixel's first byte
    EXPECT_EQ(read_pixel(surface.get(), 1, 0), 0x00BBCCDDu);
}

TEST(PixelAccess, ThreeByteWriteOnTheLastPixelLeavesTheRowPaddingAlone) {
    auto surface = test::make_surface(3, 2, 24);  // 9 bytes of pixels in a 12-byte row
    if (surface->format->BytesPerPixel != 3) {
        GTEST_SKIP() << "the browser's SDL makes every surface four bytes a pixel";
    }
    ASSERT_GT(surface->pitch, 9);
    std::memset(surface->pixels, 0x55, static_cast<size_t>(surface->pitch) * 2);
    write_pixel(surface.get(), 2, 0, 0xFFFFFFFF);
    EXPECT_EQ(*byte_at(surface.get(), 9), 0x55);
    EXPECT_EQ(read_pixel(surface.get(), 0, 1), 0x555555u);
}

TEST(PixelAccess, RowsAreReachedThroughThePitch) {
    for (const int depth : {8, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        auto surface = test::make_surface(3, 4, depth);  // odd width: pitch != w * bytes for 8 to 24 bits
        write_pixel(surface.get(), 0, 1, 0xA5);
        // The value's low byte: the pixel's first byte, or its last on a big-endian machine.
        const int low_byte = SDL_BYTEORDER == SDL_BIG_ENDIAN ? depth / 8 - 1 : 0;
        EXPECT_EQ(*byte_at(surface.get(), surface->pitch + low_byte), 0xA5);
        EXPECT_EQ(read_pixel(surface.get(), 0, 1), 0xA5u);
    }
}

TEST(PixelAccess, EveryValueRoundTripsOnFourBytePixels) {
    auto surface = test::make_surface(4, 4, 32);
    for (Uint32 value : {0x00000000u, 0xFFFFFFFFu, 0x80000001u, 0x00FF00FFu, 0x12345678u}) {
        write_pixel(surface.get(), 3, 3, value);
        EXPECT_EQ(read_pixel(surface.get(), 3, 3), value);
    }
}

TEST(PixelAccess, UnsupportedPixelSizeReadsZeroAndWritesNothing) {
    auto surface = test::make_surface(4, 4, 32);
    test::fill_surface(surface.get(), 0x01020304);
    const Uint8 real_size = surface->format->BytesPerPixel;
    surface->format->BytesPerPixel = 5;
    const Uint32 read = read_pixel(surface.get(), 0, 0);
    write_pixel(surface.get(), 0, 0, 0xFFFFFFFF);
    surface->format->BytesPerPixel = real_size;
    EXPECT_EQ(read, 0u);
    EXPECT_TRUE(test::pixels_not(surface.get(), 0x01020304).empty());
}

}  // namespace
