// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// The BMP loader on files the tests write themselves, and the files and paths it must refuse.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bmp_files.hpp"
#include "image/load.hpp"
#include "platform.hpp"
#include "raster/pixel.hpp"
#include "support.hpp"

namespace {

using smearwell::read_pixel;

constexpr Uint32 sentinel = 0x00ABCDEF;

// Every pixel and palette entry, to tell that nothing at all changed.
std::vector<Uint8> snapshot(const SDL_Surface* surface) {
    const auto* first = static_cast<const Uint8*>(surface->pixels);
    std::vector<Uint8> state(first, first + static_cast<std::ptrdiff_t>(surface->pitch) * surface->h);
    if (const SDL_Palette* palette = surface->format->palette) {
        for (int i = 0; i < palette->ncolors; ++i) {
            state.insert(state.end(), {palette->colors[i].r, palette->colors[i].g, palette->colors[i].b});
        }
    }
    return state;
}

// An 8-bit destination whose palette is a grey ramp, every pixel index 200.
smearwell::surface_ptr paletted_destination() {
    auto surface = test::make_surface(16, 12, 8);
    SDL_Color ramp[256];
    for (int i = 0; i < 256; ++i) {
        ramp[i] = {static_cast<Uint8>(i), static_cast<Uint8>(i), static_cast<Uint8>(i), 0};
    }
    SDL_SetColors(surface.get(), ramp, 0, 256);
    test::fill_surface(surface.get(), 200);
    return surface;
}

class LoadImage : public testing::Test {
protected:
    std::filesystem::path folder;
    smearwell::surface_ptr canvas = test::make_surface(16, 12, 32);

    void SetUp() override {
        folder = test::fresh_folder();
        test::fill_surface(canvas.get(), sentinel);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string file(const std::string& name, const test::bytes& content) {
        const std::string path = (folder / name).string();
        EXPECT_TRUE(test::write_file(path, content));
        return path;
    }

    std::string load(const std::string& path, SDL_Surface* destination, int x, int y) {
        return test::captured(stderr, [&] { smearwell::load_image_at(path.c_str(), destination, x, y); });
    }

    // Exactly one "Couldn't load" line naming the path, and nothing changed on either destination.
    void expect_refused(const std::string& path, int x = 0, int y = 0) {
        auto paletted = paletted_destination();
        const auto before = snapshot(canvas.get());
        const auto paletted_before = snapshot(paletted.get());
        for (SDL_Surface* destination : {canvas.get(), paletted.get()}) {
            const std::string message = load(path, destination, x, y);
            EXPECT_EQ(message.rfind("Couldn't load " + path + ": ", 0), 0u) << message;
            EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
        }
        EXPECT_TRUE(snapshot(canvas.get()) == before);
        EXPECT_TRUE(snapshot(paletted.get()) == paletted_before);
    }
};

TEST_F(LoadImage, MissingFileIsReportedAndChangesNothing) {
    expect_refused((folder / "no such file.bmp").string());
}

TEST_F(LoadImage, TwentyFourBitImageLandsAtThePosition) {
    std::vector<std::uint32_t> colours;
    const auto path = file("rgb.bmp", test::rgb_bmp(5, 3, colours));
    EXPECT_EQ(load(path, canvas.get(), 2, 1), "");
    test::pixel_set image = test::block(2, 6, 1, 3);
    EXPECT_EQ(test::pixels_not(canvas.get(), sentinel), image);
    for (const auto& [x, y] : image) {
        EXPECT_EQ(read_pixel(canvas.get(), x, y), colours[static_cast<size_t>((y - 1) * 5 + x - 2)]);
    }
}

TEST_F(LoadImage, PalettedImagesLandWithTheirColoursOnTheCanvas) {
    for (const int bits : {1, 4, 8}) {
        for (const bool top_down : {false, true}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, top-down " << top_down);
            const int colours = std::min(1 << bits, 5);
            test::paletted_image image{bits, 7, 3, top_down, {}, {}, colours != 1 << bits};
            for (int i = 0; i < colours; ++i) {
                image.palette.push_back({static_cast<Uint8>(50 * i), static_cast<Uint8>(255 - 40 * i), 99, 0});
            }
            for (int i = 0; i < 21; ++i) {
                image.indices.push_back((i * 3 + i / 7) % colours);
            }
            test::fill_surface(canvas.get(), sentinel);
            EXPECT_EQ(load(file("p.bmp", test::paletted_bmp(image)), canvas.get(), 3, 4), "");
            for (int i = 0; i < 21; ++i) {
                const SDL_Color c = image.palette[static_cast<size_t>(image.indices[static_cast<size_t>(i)])];
                const Uint32 expected = Uint32{c.r} << 16 | Uint32{c.g} << 8 | c.b;
                ASSERT_EQ(read_pixel(canvas.get(), 3 + i % 7, 4 + i / 7), expected) << "pixel " << i;
            }
            EXPECT_EQ(test::pixels_not(canvas.get(), sentinel), test::block(3, 9, 4, 6));
            EXPECT_EQ(canvas->format->palette, nullptr);
        }
    }
}

TEST_F(LoadImage, PalettedDestinationTakesOnlyTheDeclaredColours) {
    for (const auto& [bits, declared] : {std::pair{1, 2}, std::pair{4, 16}, std::pair{4, 3}, std::pair{8, 40}}) {
        SCOPED_TRACE(testing::Message() << bits << " bits, " << declared << " colours");
        // A full palette is declared as 0 colours in the header, as most writers do.
        test::paletted_image image{bits, 5, 2, false, {}, {}, declared != 1 << bits};
        for (int i = 0; i < declared; ++i) {
            image.palette.push_back({static_cast<Uint8>(255 - i), 17, static_cast<Uint8>(3 * i), 0});
        }
        for (int i = 0; i < 10; ++i) {
            image.indices.push_back(i % declared);
        }
        auto destination = paletted_destination();
        EXPECT_EQ(load(file("p.bmp", test::paletted_bmp(image)), destination.get(), 1, 1), "");
        const SDL_Color* palette = destination->format->palette->colors;
        for (int i = 0; i < 256; ++i) {
            const SDL_Color expected =
                i < declared ? image.palette[static_cast<size_t>(i)]
                             : SDL_Color{static_cast<Uint8>(i), static_cast<Uint8>(i), static_cast<Uint8>(i), 0};
            ASSERT_EQ((std::vector<int>{palette[i].r, palette[i].g, palette[i].b}),
                      (std::vector<int>{expected.r, expected.g, expected.b}))
                << "entry " << i;
        }
        for (int i = 0; i < 10; ++i) {
            ASSERT_EQ(read_pixel(destination.get(), 1 + i % 5, 1 + i / 5), static_cast<Uint32>(i % declared));
        }
    }
}

// Where the reader takes the colour table for masks (classic SDL), the file is among the malformed
// ones; elsewhere it lands pixel for pixel.
TEST_F(LoadImage, ThirtyTwoBitImageWithAColourTableLandsWhereTheReaderSkipsTheTable) {
    if (test::reader_takes_gap_for_masks()) {
        GTEST_SKIP() << "this SDL reads the colour table as masks: the file is refused (MalformedFiles...)";
    }
    std::vector<std::uint32_t> colours;
    const auto path = file("table.bmp", test::rgb32_bmp_with_colour_table(4, 3, colours));
    EXPECT_EQ(load(path, canvas.get(), 5, 6), "");
    const test::pixel_set image = test::block(5, 8, 6, 8);
    EXPECT_EQ(test::pixels_not(canvas.get(), sentinel), image);
    for (const auto& [x, y] : image) {
        EXPECT_EQ(read_pixel(canvas.get(), x, y) & 0xFFFFFF,
                  colours[static_cast<size_t>((y - 6) * 4 + x - 5)])  // the fourth byte is padding here
            << x << "," << y;
    }
}

TEST_F(LoadImage, ImagePartlyOutsideIsCutAtTheClipRectangle) {
    std::vector<std::uint32_t> colours;
    const auto path = file("rgb.bmp", test::rgb_bmp(5, 3, colours));
    SDL_Rect clip{2, 2, 10, 8};
    SDL_SetClipRect(canvas.get(), &clip);
    EXPECT_EQ(load(path, canvas.get(), -1, 1), "");
    EXPECT_EQ(load(path, canvas.get(), 9, 8), "");
    test::pixel_set written = test::block(2, 3, 2, 3);  // from the image at (-1, 1)
    written.merge(test::block(9, 11, 8, 9));            // from the image at (9, 8)
    EXPECT_EQ(test::pixels_not(canvas.get(), sentinel), written);
    EXPECT_EQ(read_pixel(canvas.get(), 2, 2), colours[1 * 5 + 3]);
}

TEST_F(LoadImage, MalformedFilesAreRefusedBeforeAnyBlit) {
    for (const auto& [name, content] : test::malformed_files()) {
        SCOPED_TRACE(name);
        expect_refused(file("bad.bmp", content));
    }
}

TEST_F(LoadImage, PathsThatAreNotRegularFilesAreRefusedWithoutBlocking) {
    for (const std::string& path : test::not_regular_files(folder)) {
        SCOPED_TRACE(path);
        expect_refused(path);
    }
}

TEST_F(LoadImage, PositionsThatSixteenBitsCannotHoldAreRefused) {
    std::vector<std::uint32_t> colours;
    const auto path = file("rgb.bmp", test::rgb_bmp(5, 3, colours));
    expect_refused(path, 65536 + 2, 1);
    expect_refused(path, 0, -32769);
    EXPECT_EQ(load(path, canvas.get(), -32768, 32767), "");  // the extremes themselves are fine
    EXPECT_TRUE(test::pixels_not(canvas.get(), sentinel).empty());
}

TEST(SeedRandom, TwoSeedsWithinOneSecondGiveOneSequence) {
    std::vector<int> first, second;
    const std::time_t start = std::time(nullptr);
    smearwell::seed_random();
    for (int i = 0; i < 8; ++i) {
        first.push_back(std::rand());
    }
    smearwell::seed_random();
    for (int i = 0; i < 8; ++i) {
        second.push_back(std::rand());
    }
    if (std::time(nullptr) != start) {
        GTEST_SKIP() << "the clock ticked over a second between the two seeds";
    }
    EXPECT_EQ(first, second);
    std::srand(static_cast<unsigned>(start));
    EXPECT_EQ(std::rand(), first[0]);
}

}  // namespace
