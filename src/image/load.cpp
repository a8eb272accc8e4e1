// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// BMP loading through SDL's reader, with the checks that keep a bad file from breaking the
// program. The file is opened once, without blocking, and that same open file is what SDL reads,
// so nothing can be swapped in between the checks and the read.
#include "image/load.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "image/bmp_header.hpp"
#include "platform/platform.hpp"

namespace smearwell {

namespace {

constexpr int position_min = -32768;  // SDL_Rect holds x and y in 16 bits
constexpr int position_max = 32767;

void report_load_failure(const char* name, const char* reason) {
    std::fprintf(stderr, "Couldn't load %s: %s\n", name, reason);
}

// Only the colours the file declares: both SDL libraries hand 1- and 4-bit images a palette of
// 256 entries, of which the rest is junk.
void copy_palette(const SDL_Surface* image, SDL_Surface* destination, int declared_colours) {
    if (!image->format->palette || !destination->format->palette) {
        return;
    }
    const int count = std::min(declared_colours, image->format->palette->ncolors);
    SDL_SetColors(destination, image->format->palette->colors, 0, count);
}

}  // namespace

void load_bmp_stream_at(SDL_RWops* stream, const Uint8* header, std::size_t header_length, Sint64 stream_size,
                        const char* name, SDL_Surface* destination, int x, int y) {
    bmp_facts facts;
    if (const char* problem = check_bmp_header(header, header_length, stream_size, facts)) {
        SDL_RWclose(stream);
        report_load_failure(name, problem);
        return;
    }
    SDL_Surface* image = SDL_LoadBMP_RW(stream, 1);  // closes the stream, whatever happens
    if (!image) {
        report_load_failure(name, SDL_GetError());
        return;
    }
    if (const char* problem = check_decoded_bmp(image, facts)) {
        SDL_FreeSurface(image);
        report_load_failure(name, problem);
        return;
    }
    copy_palette(image, destination, facts.colours);
    SDL_Rect place{};
    place.x = static_cast<Sint16>(x);
    place.y = static_cast<Sint16>(y);
    if (SDL_BlitSurface(image, nullptr, destination, &place) < 0) {
        std::fprintf(stderr, "BlitSurface error: %s\n", SDL_GetError());
    }
    SDL_FreeSurface(image);
}

void load_image_at(const char* path, SDL_Surface* destination, int x, int y) {
    if (x < position_min || x > position_max || y < position_min || y > position_max) {
        report_load_failure(path, "position outside -32768 .. 32767");
        return;
    }
    Sint64 size = 0;
    const char* reason = nullptr;
    std::FILE* file = platform::open_regular_file(path, size, reason);
    if (!file) {
        report_load_failure(path, reason);
        return;
    }
    Uint8 header[bmp_header_bytes];
    const std::size_t length = std::fread(header, 1, sizeof header, file);
    std::rewind(file);
    SDL_RWops* stream = SDL_RWFromFP(file, SDL_TRUE);  // the stream owns the file from here on
    if (!stream) {
        std::fclose(file);
        report_load_failure(path, SDL_GetError());
        return;
    }
    load_bmp_stream_at(stream, header, length, size, path, destination, x, y);
}

void seed_random() {
    std::srand(static_cast<unsigned>(std::time(nullptr)));  // the low 32 bits of the seconds
}

}  // namespace smearwell
