// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Shared helpers for the unit tests: software surfaces on SDL's dummy video driver, and link-time
// seams (-Wl,--wrap) that record the refreshes and blits the code makes and set the pointer.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <SDL.h>

#include "app/startup.hpp"
#include "platform.hpp"

namespace test {

struct update_call {
    SDL_Surface* surface;
    Sint32 x, y;
    Uint32 w, h;
    bool operator==(const update_call&) const = default;
};

struct blit_call {
    SDL_Surface* source;
    SDL_Surface* destination;
    int x, y;  // destination rectangle as passed in, or (0,0) for none
};

// Calls recorded since the last clear_recordings().
std::vector<update_call>& update_calls();
std::vector<blit_call>& blit_calls();
void clear_recordings();
std::vector<update_call> updates_of(const SDL_Surface* surface);
std::vector<std::pair<int, int>> blit_positions(const SDL_Surface* source, const SDL_Surface* destination);

// What SDL_GetMouseState reports from now on.
void set_pointer(int x, int y);

// A software surface in SDL's default layout for the depth, every pixel 0.
smearwell::surface_ptr make_surface(int w, int h, int depth);
void fill_surface(SDL_Surface* surface, Uint32 value);

// Pixels read and written under a lock, as the browser's SDL needs (its surfaces are canvases).
Uint32 pixel_at(SDL_Surface* surface, int x, int y);
void put_pixel(SDL_Surface* surface, int x, int y, Uint32 value);

using pixel_set = std::set<std::pair<int, int>>;  // (x, y)
// Every pixel whose value differs from `background`.
pixel_set pixels_not(SDL_Surface* surface, Uint32 background);
// Rectangle [x0, x1] x [y0, y1], bounds inclusive.
pixel_set block(int x0, int x1, int y0, int y1);
pixel_set shifted(const pixel_set& pixels, int dx, int dy);
// The 204 pixels of the brush's disc, as drawn at the brush's top-left corner (0,0).
pixel_set brush_disc();

// Runs `work` with `stream` (stdout or stderr) sent to a temporary file; returns what it printed.
template <typename Work>
std::string captured(std::FILE* stream, Work work) {
    std::fflush(stream);
    std::FILE* sink = scratch_file();
    if (sink == nullptr) {
        throw std::runtime_error("no scratch file to capture the output in");
    }
    const int saved = dup(fileno(stream));
    dup2(fileno(sink), fileno(stream));
    work();
    std::fflush(stream);
    dup2(saved, fileno(stream));
    close(saved);
    std::string text;
    std::rewind(sink);
    for (int c; (c = std::fgetc(sink)) != EOF;) {
        text.push_back(static_cast<char>(c));
    }
    std::fclose(sink);
    return text;
}

}  // namespace test
