// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// BMP writers. Little-endian fields throughout; bottom-up files store the last row first.
#include "bmp_files.hpp"

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

namespace test {

void put_le32(bytes& file, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        file.at(offset + static_cast<std::size_t>(i)) = static_cast<Uint8>(value >> (8 * i));
    }
}

void put_le16(bytes& file, std::size_t offset, std::uint16_t value) {
    file.at(offset) = static_cast<Uint8>(value);
    file.at(offset + 1) = static_cast<Uint8>(value >> 8);
}

namespace {

// The 14-byte file header and the 40-byte info header, padded with zeros up to the pixel data.
bytes bmp_headers(std::size_t pixel_offset, int width, int height, int bits, std::uint32_t compression) {
    bytes file(pixel_offset, 0);
    file[0] = 'B';
    file[1] = 'M';
    put_le32(file, 2, static_cast<std::uint32_t>(pixel_offset));
    put_le32(file, 10, static_cast<std::uint32_t>(pixel_offset));
    put_le32(file, 14, 40);
    put_le32(file, 18, static_cast<std::uint32_t>(width));
    put_le32(file, 22, static_cast<std::uint32_t>(height));
    put_le16(file, 26, 1);
    put_le16(file, 28, static_cast<std::uint16_t>(bits));
    put_le32(file, 30, compression);
    return file;
}

bytes packed_row(const paletted_image& image, int row) {
    const std::size_t row_bytes = static_cast<std::size_t>((image.width * image.bits + 31) / 32 * 4);
    bytes packed(row_bytes, 0);
    for (int x = 0; x < image.width; ++x) {
        const int index = image.indices[static_cast<std::size_t>(row * image.width + x)];
        const int bit = x * image.bits;  // most significant bits hold the leftmost pixel
        packed[static_cast<std::size_t>(bit / 8)] |= static_cast<Uint8>(index << (8 - image.bits - bit % 8));
    }
    return packed;
}

}  // namespace

bytes paletted_bmp(const paletted_image& image) {
    const std::size_t offset = 54 + 4 * image.palette.size();
    bytes file = bmp_headers(offset, image.width, image.top_down ? -image.height : image.height, image.bits, 0);
    put_le32(file, 46, image.count_in_header ? static_cast<std::uint32_t>(image.palette.size()) : 0);
    for (std::size_t i = 0; i < image.palette.size(); ++i) {
        const SDL_Color& colour = image.palette[i];
        file[54 + 4 * i] = colour.b;
        file[55 + 4 * i] = colour.g;
        file[56 + 4 * i] = colour.r;
    }
    for (int n = 0; n < image.height; ++n) {
        const bytes row = packed_row(image, image.top_down ? n : image.height - 1 - n);
        file.insert(file.end(), row.begin(), row.end());
    }
    put_le32(file, 2, static_cast<std::uint32_t>(file.size()));
    return file;
}

bytes saved_bmp(SDL_Surface* surface) {
    const std::filesystem::path folder = fresh_folder();
    const std::string path = (folder / "saved.bmp").string();
    bytes content;
    if (SDL_SaveBMP(surface, path.c_str()) == 0) {
        std::ifstream in(path, std::ios::binary);
        content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::filesystem::remove_all(folder);
    return content;
}

bytes rgb_bmp(int width, int height, std::vector<std::uint32_t>& colours) {
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    colours.clear();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t colour =
                static_cast<std::uint32_t>(0x10 + 40 * x) << 16 | static_cast<std::uint32_t>(0x20 + 50 * y) << 8 | 0x7F;
            colours.push_back(colour);
            SDL_Rect pixel{static_cast<Sint16>(x), static_cast<Sint16>(y), 1, 1};
            SDL_FillRect(surface, &pixel, colour);
        }
    }
    bytes file = saved_bmp(surface);
    SDL_FreeSurface(surface);
    return file;
}

bytes rgb32_bmp_with_colour_table(int width, int height, std::vector<std::uint32_t>& colours) {
    constexpr std::size_t table_bytes = 8;
    bytes file = bmp_headers(54 + table_bytes, width, height, 32, 0);
    put_le32(file, 46, 2);
    put_le32(file, 54, 0x00102030);
    put_le32(file, 58, 0x00FFFFFF);
    colours.clear();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            colours.push_back(static_cast<std::uint32_t>(0x30 + 50 * x) << 16 |
                              static_cast<std::uint32_t>(0x11 * y) << 8 | 0xC4);
        }
    }
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t colour = colours[static_cast<std::size_t>(y * width + x)];
            file.insert(file.end(), {static_cast<Uint8>(colour), static_cast<Uint8>(colour >> 8),
                                     static_cast<Uint8>(colour >> 16), 0});
        }
    }
    put_le32(file, 2, static_cast<std::uint32_t>(file.size()));
    return file;
}

bool reader_takes_gap_for_masks() {
    const SDL_version* linked = SDL_Linked_Version();
    return SDL_VERSIONNUM(linked->major, linked->minor, linked->patch) < SDL_VERSIONNUM(1, 2, 50);
}

namespace {

paletted_image sample_paletted(int bits, int width, int height, bool top_down, int colours) {
    paletted_image image{bits, width, height, top_down, {}, {}, colours != 1 << bits};
    for (int i = 0; i < colours; ++i) {
        image.palette.push_back(
            {static_cast<Uint8>(255 - 9 * i), static_cast<Uint8>(7 * i), static_cast<Uint8>(60 + i), 0});
    }
    for (int i = 0; i < width * height; ++i) {
        image.indices.push_back((i * 7 + i / width) % colours);
    }
    return image;
}

}  // namespace

std::vector<std::pair<std::string, bytes>> sample_files() {
    std::vector<std::uint32_t> colours;
    return {
        {"rgb24-5x3.bmp", rgb_bmp(5, 3, colours)},
        {"pal1-bottom-up-9x4.bmp", paletted_bmp(sample_paletted(1, 9, 4, false, 2))},
        {"pal4-top-down-7x5.bmp", paletted_bmp(sample_paletted(4, 7, 5, true, 16))},
        {"pal4-three-colours-5x2.bmp", paletted_bmp(sample_paletted(4, 5, 2, false, 3))},
        {"pal8-bottom-up-11x6.bmp", paletted_bmp(sample_paletted(8, 11, 6, false, 40))},
        {"pal8-top-down-3x3.bmp", paletted_bmp(sample_paletted(8, 3, 3, true, 256))},
        {"rgb32-colour-table-4x3.bmp", rgb32_bmp_with_colour_table(4, 3, colours)},
    };
}

std::vector<std::pair<std::string, bytes>> malformed_files() {
    const bytes good = paletted_bmp(sample_paletted(8, 4, 4, false, 4));
    auto with = [&](std::size_t offset, std::uint32_t value) {
        bytes file = good;
        put_le32(file, offset, value);
        return file;
    };
    bytes bitfields = bmp_headers(70, 2, 2, 16, 3);  // BI_BITFIELDS, with a red mask of 9 bits
    put_le32(bitfields, 54, 0xFF80);
    put_le32(bitfields, 58, 0x0070);
    put_le32(bitfields, 62, 0x000F);
    bitfields.resize(70 + 8, 0);
    const bytes huge = bmp_headers(54, 16383, 65535, 32, 0);  // the headers alone: 4 GiB of pixels
    // Masks SDL's blit onto an 8-bit surface would index its colour map out of bounds with.
    auto with_masks = [](std::uint32_t compression, std::size_t offset, std::uint32_t red, std::uint32_t green) {
        bytes file = bmp_headers(offset, 2, 2, 32, compression);
        put_le32(file, 54, red);
        put_le32(file, 58, green);
        put_le32(file, 62, 0x000000FF);
        file.resize(offset + 16, 0xFF);
        return file;
    };
    // Tiny files that declare huge images: the data is only "end of bitmap".
    auto run_length = [](int bits, std::uint32_t compression, std::size_t palette_bytes) {
        bytes file = bmp_headers(54 + palette_bytes, 16383, 16384, bits, compression);
        file.insert(file.end(), {0, 1});
        return file;
    };
    paletted_image out_of_palette = sample_paletted(8, 4, 4, false, 4);
    out_of_palette.indices[5] = 4;
    std::vector<std::pair<std::string, bytes>> files{
        {"empty", {}},
        {"magic only", {'B', 'M'}},
        {"truncated header", bytes(good.begin(), good.begin() + 30)},
        {"not a bmp", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"pixel data offset past the end", with(10, 100000)},
        {"zero width", with(18, 0)},
        {"negative width", with(18, static_cast<std::uint32_t>(-4))},
        {"zero height", with(22, 0)},
        {"height of INT_MIN", with(22, 0x80000000u)},
        {"side over 16384", with(18, 16385)},
        {"width of 16384", with(18, 16384)},
        {"RLE8 of 32-bit pixels, 16383 x 16384 in 56 bytes", run_length(32, 1, 0)},
        {"RLE8 of 8-bit pixels, 16383 x 16384 in 1 KiB", run_length(8, 1, 1024)},
        {"RLE4 of 8-bit pixels", with(30, 2)},
        {"compression 4 (JPEG)", with(30, 4)},
        {"pixel data cut short", bytes(good.begin(), good.end() - 1)},
        {"16383 x 65535 header only", huge},
        {"more colours than 8 bits address", with(46, 300)},
        {"colour masks over 8 bits", bitfields},
        {"colour mask of two runs", with_masks(3, 70, 0x01000001, 0x0000FF00)},
        {"overlapping colour masks", with_masks(3, 70, 0x0000FF00, 0x0000FF00)},
        {"info header larger than the file", with(14, 4096)},
        {"pixel outside the palette", paletted_bmp(out_of_palette)},
    };
    if (reader_takes_gap_for_masks()) {
        std::vector<std::uint32_t> colours;
        files.emplace_back("masks read after a plain header", with_masks(0, 80, 0xFFFFFFFF, 0));
        files.emplace_back("colour table read as masks", rgb32_bmp_with_colour_table(4, 3, colours));
    }
    return files;
}

std::filesystem::path fresh_folder() {
    std::random_device random;
    for (;;) {
        const auto folder = std::filesystem::temp_directory_path() / ("smearwell-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(folder)) {
            return folder;
        }
    }
}

bool write_file(const std::string& path, const bytes& content) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
    return static_cast<bool>(out);
}

}  // namespace test
