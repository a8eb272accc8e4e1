// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// The invert and convolution filters, checked against a plain, literal reading of their
// definitions on random surfaces and on the hand-made edge cases.
#include <algorithm>
#include <array>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "filters/convolve.hpp"
#include "filters/invert.hpp"
#include "raster/pixel.hpp"
#include "raster/surface.hpp"
#include "support.hpp"

namespace {

using smearwell::read_pixel;
using smearwell::write_pixel;

// Runs `work` with the pixels of both surfaces at hand.
template <typename Work>
void with_both(SDL_Surface* first, SDL_Surface* second, Work&& work) {
    smearwell::with_pixels(first, [&] { smearwell::with_pixels(second, work); });
}

void fill_random(SDL_Surface* surface, unsigned seed) {
    std::mt19937 random(seed);
    smearwell::with_pixels(surface, [&] {
        for (int y = 0; y < surface->h; ++y) {
            for (int x = 0; x < surface->w; ++x) {
                Uint8 rgb[3];
                for (auto& channel : rgb) {
                    // Mostly the extremes, so that clamping at both ends is exercised often.
                    const unsigned pick = random() % 4;
                    channel = static_cast<Uint8>(pick == 0 ? 0 : pick == 1 ? 255 : random() % 256);
                }
                write_pixel(surface, x, y, SDL_MapRGB(surface->format, rgb[0], rgb[1], rgb[2]));
            }
        }
    });
}

smearwell::surface_ptr copy_of(SDL_Surface* surface) {
    const SDL_PixelFormat* f = surface->format;
    smearwell::surface_ptr copy(SDL_CreateRGBSurface(SDL_SWSURFACE, surface->w, surface->h, f->BitsPerPixel, f->Rmask,
                                                     f->Gmask, f->Bmask, f->Amask),
                                SDL_FreeSurface);
    with_both(surface, copy.get(), [&] {
        for (int y = 0; y < surface->h; ++y) {
            for (int x = 0; x < surface->w; ++x) {
                write_pixel(copy.get(), x, y, read_pixel(surface, x, y));
            }
        }
    });
    return copy;
}

// The definition, literally: column by column, 27 reads per pixel, one SDL_MapRGB per result.
// Returns the printed text; `result` must start black, which the frame stays (opaque where the
// format has alpha: the frame is blitted onto the screen and must hide what is there).
// Both surfaces' pixels must be at hand.
std::string reference_convolution(const SDL_Surface* source, SDL_Surface* result) {
    const int kernel[3][3] = {{2, 2, 2}, {2, -15, 2}, {2, 2, 2}};
    std::string printed[1024];
    for (int x = 1; x < source->w - 1; ++x) {
        for (int y = 1; y < source->h - 1; ++y) {
            int sums[3] = {0, 0, 0};
            for (int dx = -1; dx <= 1; ++dx) {
                for (int dy = -1; dy <= 1; ++dy) {
                    Uint8 rgb[3];
                    SDL_GetRGB(read_pixel(source, x + dx, y + dy), source->format, &rgb[0], &rgb[1], &rgb[2]);
                    for (int c = 0; c < 3; ++c) {
                        sums[c] += kernel[dx + 1][dy + 1] * rgb[c];
                    }
                }
            }
            for (int& sum : sums) {
                sum = std::clamp(sum / 1, 0, 255);
            }
            if (x == 20) {
                char line[64];
                std::snprintf(line, sizeof line, " %d %d %d\n", sums[0], sums[1], sums[2]);
                printed[y] = line;
            }
            write_pixel(result, x, y,
                        SDL_MapRGB(source->format, static_cast<Uint8>(sums[0]), static_cast<Uint8>(sums[1]),
                                   static_cast<Uint8>(sums[2])));
        }
    }
    std::string text;
    for (int y = 0; y < source->h && y < 1024; ++y) {
        text += printed[y];
    }
    return text;
}

void expect_same_pixels(SDL_Surface* actual, SDL_Surface* expected) {
    int mismatches = 0;
    with_both(actual, expected, [&] {
        for (int y = 0; y < expected->h; ++y) {
            for (int x = 0; x < expected->w; ++x) {
                if (read_pixel(actual, x, y) != read_pixel(expected, x, y) && ++mismatches <= 5) {
                    ADD_FAILURE() << "pixel (" << x << "," << y << "): " << std::hex << read_pixel(actual, x, y)
                                  << " instead of " << read_pixel(expected, x, y);
                }
            }
        }
    });
    EXPECT_EQ(mismatches, 0);
}

// Convolves `surface` and checks both the pixels and the printed lines against the reference.
void expect_convolution_matches_reference(SDL_Surface* surface) {
    const auto before = copy_of(surface);
    auto expected = test::make_surface(surface->w, surface->h, surface->format->BitsPerPixel);
    SDL_FillRect(expected.get(), nullptr, SDL_MapRGB(surface->format, 0, 0, 0));  // in the source's format
    std::string expected_text;
    with_both(before.get(), expected.get(),
              [&] { expected_text = reference_convolution(before.get(), expected.get()); });
    const std::string text = test::captured(stdout, [&] { smearwell::convolve_canvas(surface); });
    expect_same_pixels(surface, expected.get());
    EXPECT_EQ(text, expected_text);
}

TEST(Convolve, MatchesTheDefinitionOnRandomCanvases) {
    for (const auto& [w, h, seed] : {std::array{800, 600, 1}, std::array{37, 23, 2}, std::array{22, 5, 3}}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        auto surface = test::make_surface(w, h, 32);
        fill_random(surface.get(), static_cast<unsigned>(seed));
        expect_convolution_matches_reference(surface.get());
    }
}

// The canvas's format is filtered a vector of bytes at a time: widths on either side of 4, 8 and 16
// pixels leave every possible remainder at the row's end.
TEST(Convolve, MatchesTheDefinitionAtEveryWidthAroundTheVectorWidths) {
    for (int w = 3; w <= 35; ++w) {
        SCOPED_TRACE(w);
        auto surface = test::make_surface(w, 4, 32);
        fill_random(surface.get(), static_cast<unsigned>(100 + w));
        expect_convolution_matches_reference(surface.get());
    }
}

TEST(Convolve, MatchesTheDefinitionOnOtherPixelFormats) {
    for (const int depth : {15, 16, 24}) {
        SCOPED_TRACE(depth);
        auto surface = test::make_surface(31, 17, depth);
        fill_random(surface.get(), static_cast<unsigned>(depth));
        expect_convolution_matches_reference(surface.get());
    }
    // 32 bits with the channels in another order and an alpha channel.
    smearwell::surface_ptr swapped(
        SDL_CreateRGBSurface(SDL_SWSURFACE, 29, 13, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000),
        SDL_FreeSurface);
    fill_random(swapped.get(), 7);
    expect_convolution_matches_reference(swapped.get());
    // 8-bit channels that do not sit on byte boundaries (classic SDL makes this format; sdl12-compat
    // gives a byte-aligned one instead), and 10-bit channels.
    smearwell::surface_ptr ten_bits(
        SDL_CreateRGBSurface(SDL_SWSURFACE, 27, 11, 32, 0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000),
        SDL_FreeSurface);
    fill_random(ten_bits.get(), 9);
    expect_convolution_matches_reference(ten_bits.get());
    smearwell::surface_ptr shifted(
        SDL_CreateRGBSurface(SDL_SWSURFACE, 27, 11, 32, 0x0FF00000, 0x000FF000, 0x00000FF0, 0), SDL_FreeSurface);
    fill_random(shifted.get(), 8);
    expect_convolution_matches_reference(shifted.get());
}

TEST(Convolve, CanvasPrintsOneLinePerRowOfColumnTwenty) {
    auto canvas = test::make_surface(800, 600, 32);
    fill_random(canvas.get(), 9);
    const std::string text = test::captured(stdout, [&] { smearwell::convolve_canvas(canvas.get()); });
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 598);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        int r, g, b;
        char rest;
        ASSERT_EQ(std::sscanf(line.c_str(), " %d %d %d%c", &r, &g, &b, &rest), 3) << line;
        ASSERT_EQ(line[0], ' ');
        ASSERT_TRUE(r >= 0 && r <= 255 && g >= 0 && g <= 255 && b >= 0 && b <= 255) << line;
    }
}

TEST(Convolve, LoneWhitePixelTurnsBlackAndLightsItsNeighbours) {
    auto canvas = test::make_surface(30, 30, 32);
    const Uint32 black = SDL_MapRGB(canvas->format, 0, 0, 0);
    const Uint32 white = SDL_MapRGB(canvas->format, 255, 255, 255);
    test::fill_surface(canvas.get(), black);
    test::put_pixel(canvas.get(), 20, 15, white);
    const std::string text = test::captured(stdout, [&] { smearwell::convolve_canvas(canvas.get()); });
    test::pixel_set ring = test::block(19, 21, 14, 16);
    ring.erase({20, 15});
    EXPECT_EQ(test::pixels_not(canvas.get(), black), ring);
    EXPECT_EQ(test::pixels_not(canvas.get(), white).size(), 30u * 30u - 8u);
    EXPECT_NE(text.find(" 255 255 255\n 0 0 0\n 255 255 255\n"), std::string::npos);
}

TEST(Convolve, UniformNeighbourhoodsKeepTheirColourAndTheFrameTurnsBlack) {
    auto canvas = test::make_surface(25, 9, 32);
    const Uint32 colour = SDL_MapRGB(canvas->format, 0x12, 0x34, 0x56);
    test::fill_surface(canvas.get(), colour);
    smearwell::convolve_canvas(canvas.get());
    test::pixel_set frame = test::block(0, 24, 0, 8);
    for (const auto& inside : test::block(1, 23, 1, 7)) {
        frame.erase(inside);
    }
    EXPECT_EQ(test::pixels_not(canvas.get(), colour), frame);
    EXPECT_EQ(test::pixels_not(canvas.get(), SDL_MapRGB(canvas->format, 0, 0, 0)).size(), 23u * 7u);
}

TEST(Convolve, SurfacesTooSmallForAnyNeighbourhoodTurnBlackAndPrintNothing) {
    for (const auto& [w, h] : {std::pair{2, 40}, std::pair{40, 2}, std::pair{1, 1}, std::pair{21, 40}}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        auto surface = test::make_surface(w, h, 32);
        test::fill_surface(surface.get(), SDL_MapRGB(surface->format, 128, 128, 128));
        const std::string text = test::captured(stdout, [&] { smearwell::convolve_canvas(surface.get()); });
        EXPECT_EQ(text, "");
        if (w < 3 || h < 3) {
            EXPECT_TRUE(test::pixels_not(surface.get(), SDL_MapRGB(surface->format, 0, 0, 0)).empty());
        }
    }
}

TEST(Invert, ComplementsEveryChannelAndTheTopByteRule) {
    auto canvas = test::make_surface(7, 5, 32);
    if (canvas->format->Amask == 0) {  // the browser's SDL makes none without alpha
        test::put_pixel(canvas.get(), 0, 0, 0x00123456);
        test::put_pixel(canvas.get(), 6, 4, 0x00FFFFFF);
        test::put_pixel(canvas.get(), 3, 2, 0x05123456);
        smearwell::invert_canvas(canvas.get());
        EXPECT_EQ(test::pixel_at(canvas.get(), 0, 0), 0x00EDCBA9u);
        EXPECT_EQ(test::pixel_at(canvas.get(), 6, 4), 0u);
        EXPECT_EQ(test::pixel_at(canvas.get(), 3, 2), 0xFBEDCBA9u);
        EXPECT_EQ(test::pixel_at(canvas.get(), 6, 0), 0x00FFFFFFu);  // black became white, corners included
        EXPECT_EQ(test::pixel_at(canvas.get(), 0, 4), 0x00FFFFFFu);
    }
    // With alpha (every surface in the browser, where white maps to 0xFFFFFFFF), alpha is kept.
    smearwell::surface_ptr rgba(SDL_CreateRGBSurface(SDL_SWSURFACE, 2, 1, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000),
                                SDL_FreeSurface);
    test::put_pixel(rgba.get(), 0, 0, 0xFF123456);
    test::put_pixel(rgba.get(), 1, 0, 0x80000000);
    smearwell::invert_canvas(rgba.get());
    EXPECT_EQ(test::pixel_at(rgba.get(), 0, 0), 0xFFEDCBA9u);
    EXPECT_EQ(test::pixel_at(rgba.get(), 1, 0), 0x80FFFFFFu);
}

TEST(Invert, TwiceRestoresEveryPixelAtEveryPixelSize) {
    for (const int depth : {8, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        auto surface = test::make_surface(13, 7, depth);
        if (surface->format->BitsPerPixel != depth) {
            continue;  // the browser's SDL makes every surface 32 bits
        }
        fill_random(surface.get(), static_cast<unsigned>(depth));
        test::put_pixel(surface.get(), 4, 4, 0xFFFFFFFF);  // bits the pixel cannot hold are dropped
        const auto before = copy_of(surface.get());
        smearwell::invert_canvas(surface.get());
        EXPECT_FALSE(test::pixels_not(surface.get(), 0).empty());
        smearwell::invert_canvas(surface.get());
        expect_same_pixels(surface.get(), before.get());
    }
}

TEST(Invert, MatchesWhiteMinusTheValueAtEveryPixelSize) {
    for (const int depth : {8, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        auto surface = test::make_surface(11, 6, depth);
        if (surface->format->BitsPerPixel != depth) {
            continue;  // the browser's SDL makes every surface 32 bits
        }
        fill_random(surface.get(), 40u + static_cast<unsigned>(depth));
        const auto before = copy_of(surface.get());
        const Uint32 white = SDL_MapRGB(surface->format, 255, 255, 255);
        const Uint32 keep = depth == 32 ? 0xFFFFFFFFu : (1u << depth) - 1u;
        const Uint32 alpha = surface->format->Amask;
        smearwell::invert_canvas(surface.get());
        with_both(surface.get(), before.get(), [&] {
            for (const auto& [x, y] : test::block(0, 10, 0, 5)) {
                const Uint32 was = read_pixel(before.get(), x, y);
                ASSERT_EQ(read_pixel(surface.get(), x, y), (((white - was) & ~alpha) | (was & alpha)) & keep);
            }
        });
    }
}

}  // namespace
