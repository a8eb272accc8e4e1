// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Spans and discs: the brush's exact shape, and clipping at every edge.
#include <array>

#include <gtest/gtest.h>

#include "raster/disc.hpp"
#include "raster/surface.hpp"
#include "support.hpp"

using smearwell::fill_disc;
using smearwell::fill_span;
using test::block;

namespace {

constexpr Uint32 ink = 0xFFFFFF;

test::pixel_set disc_pixels(int w, int h, int cx, int cy, int radius) {
    auto surface = test::make_surface(w, h, 32);
    smearwell::with_pixels(surface.get(), [&] { fill_disc(surface.get(), cx, cy, radius, ink); });
    return test::pixels_not(surface.get(), 0);
}

test::pixel_set span_pixels(int first, int end) {
    auto surface = test::make_surface(20, 3, 32);
    smearwell::with_pixels(surface.get(), [&] { fill_span(first, end, 1, ink, surface.get()); });
    return test::pixels_not(surface.get(), 0);
}

test::pixel_set rows(std::initializer_list<std::array<int, 3>> spans) {  // {row, first, last}
    test::pixel_set pixels;
    for (const auto& [row, first, last] : spans) {
        pixels.merge(block(first, last, row, row));
    }
    return pixels;
}

TEST(Disc, TheBrushIsExactlyTheTwoHundredAndFourPixelDisc) {
    const auto pixels = disc_pixels(20, 20, 10, 10, 8);
    EXPECT_EQ(pixels.size(), 204u);
    EXPECT_EQ(pixels, test::brush_disc());
}

TEST(Disc, SmallAndEmptyRadii) {
    EXPECT_TRUE(disc_pixels(20, 20, 10, 10, 0).empty());
    EXPECT_TRUE(disc_pixels(20, 20, 10, 10, -3).empty());
    EXPECT_EQ(disc_pixels(20, 20, 10, 10, 1), (test::pixel_set{{9, 10}, {10, 10}}));
    EXPECT_EQ(disc_pixels(20, 20, 10, 10, 2), rows({{8, 9, 10}, {9, 8, 11}, {10, 8, 11}, {11, 8, 11}, {12, 9, 10}}));
}

TEST(Disc, ClipsAtEveryEdgeButNeverFillsRowZero) {
    EXPECT_EQ(disc_pixels(20, 20, 10, 0, 3), rows({{1, 7, 12}, {2, 8, 11}, {3, 9, 10}}));
    EXPECT_EQ(disc_pixels(20, 20, 0, 10, 3),
              rows({{7, 0, 0}, {8, 0, 1}, {9, 0, 2}, {10, 0, 2}, {11, 0, 2}, {12, 0, 1}, {13, 0, 0}}));
    EXPECT_EQ(disc_pixels(20, 20, 19, 10, 3),
              rows({{7, 18, 19}, {8, 17, 19}, {9, 16, 19}, {10, 16, 19}, {11, 16, 19}, {12, 17, 19}, {13, 18, 19}}));
    EXPECT_EQ(disc_pixels(20, 20, 10, 19, 3), rows({{16, 9, 10}, {17, 8, 11}, {18, 7, 12}, {19, 7, 12}}));
}

TEST(Disc, HugeDiscStaysInsideTheSurface) {
    const auto pixels = disc_pixels(7, 5, 3, 2, 50);
    EXPECT_EQ(pixels, block(0, 6, 1, 4));  // everything but row 0
}

TEST(Span, IsHalfOpenAndClippedToTheWidth) {
    EXPECT_EQ(span_pixels(-5, 3), block(0, 2, 1, 1));
    EXPECT_EQ(span_pixels(18, 30), block(18, 19, 1, 1));
    EXPECT_EQ(span_pixels(4, 9), block(4, 8, 1, 1));
    EXPECT_TRUE(span_pixels(20, 30).empty());
    EXPECT_TRUE(span_pixels(25, 30).empty());
    EXPECT_TRUE(span_pixels(6, 6).empty());
    EXPECT_TRUE(span_pixels(9, 4).empty());
}

}  // namespace
