// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// BMP files built byte by byte for the loader's tests and the fuzzer's seed corpus.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <SDL.h>

namespace test {

using bytes = std::vector<Uint8>;

struct paletted_image {
    int bits = 8;  // 1, 4 or 8
    int width = 0;
    int height = 0;
    bool top_down = false;
    std::vector<SDL_Color> palette;  // written to the file; its size is the declared colour count
    std::vector<int> indices;        // width * height, row by row from the top
    bool count_in_header = true;     // false: the header says 0, which means 2^bits colours
};

// A 40-byte-header BMP with the palette and rows padded to 4 bytes.
bytes paletted_bmp(const paletted_image& image);
// A 24-bit BMP, as SDL_SaveBMP writes it, of `surface` (any format).
bytes saved_bmp(SDL_Surface* surface);
// An odd-sized 24-bit surface with distinct colours, 0xRRGGBB per pixel in `colours`.
bytes rgb_bmp(int width, int height, std::vector<std::uint32_t>& colours);

// A plain 32-bit BMP with a colour table of two entries between its 40-byte header and its
// pixels, 0xRRGGBB per pixel in `colours`.
bytes rgb32_bmp_with_colour_table(int width, int height, std::vector<std::uint32_t>& colours);
// Whether the SDL in use reads the bytes after a plain 16- or 32-bit header as colour masks, as
// classic SDL does (sdl12-compat reports 1.2.50 and above).
bool reader_takes_gap_for_masks();

void put_le32(bytes& file, std::size_t offset, std::uint32_t value);
void put_le16(bytes& file, std::size_t offset, std::uint16_t value);

// Every well-formed file the tests use, named, for the fuzzer's seed corpus.
std::vector<std::pair<std::string, bytes>> sample_files();
// The malformed files the tests expect to be refused.
std::vector<std::pair<std::string, bytes>> malformed_files();

bool write_file(const std::string& path, const bytes& content);

// A new, empty folder of the test's own under the system's temporary folder.
std::filesystem::path fresh_folder();

}  // namespace test
