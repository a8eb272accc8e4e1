// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Brush stroke along a segment: one whole-brush blit per pixel of the driving axis.
#include "raster/stroke.hpp"

#include <cstdlib>

#include "platform/platform.hpp"

namespace smearwell {

namespace {

// The endpoints' bounding box plus the brush's size, computed as int and stored into SDL's 16-bit
// fields, then cut at the destination's right and bottom edges (a box ending exactly on the edge
// is left as it is). Nothing is cut at the left or top.
std::unique_ptr<SDL_Rect> dirty_rectangle(const SDL_Surface* destination, const SDL_Surface* brush, int x0, int y0,
                                          int x1, int y1) {
    auto dirty = std::make_unique<SDL_Rect>();
    dirty->x = static_cast<Sint16>(x1 < x0 ? x1 : x0);
    dirty->y = static_cast<Sint16>(y1 < y0 ? y1 : y0);
    dirty->w = static_cast<Uint16>(std::abs(x1 - x0) + brush->w);
    dirty->h = static_cast<Uint16>(std::abs(y1 - y0) + brush->h);
    if (dirty->x + dirty->w > destination->w) {
        dirty->w = static_cast<Uint16>(destination->w - dirty->x);
    }
    if (dirty->y + dirty->h > destination->h) {
        dirty->h = static_cast<Uint16>(destination->h - dirty->y);
    }
    return dirty;
}

// SDL 1.2 keeps positions in 16 bits; the browser's SDL, which took its headers from SDL 2, in int.
using rect_position = decltype(SDL_Rect::x);

// Walks one axis pixel by pixel (`drive`) and steps the other (`follow`) when the decision value
// is above 0. Positions move in SDL's 16-bit arithmetic.
void stamp_line(SDL_Surface* destination, SDL_Surface* brush, SDL_Rect& stamp, rect_position SDL_Rect::*drive,
                rect_position SDL_Rect::*follow, int drive_step, int follow_step, int drive_length, int follow_length) {
    const int straight = 2 * follow_length;
    const int diagonal = 2 * follow_length - 2 * drive_length;
    int decision = 2 * follow_length - drive_length;
    for (int n = 0; n <= drive_length; ++n) {
        platform::blit_whole_at(brush, destination, stamp);
        stamp.*drive = static_cast<Sint16>(stamp.*drive + drive_step);
        if (decision > 0) {
            stamp.*follow = static_cast<Sint16>(stamp.*follow + follow_step);
            decision += diagonal;
        } else {
            decision += straight;
        }
    }
}

}  // namespace

std::unique_ptr<SDL_Rect> stamp_stroke(SDL_Surface* destination, SDL_Surface* brush, const SDL_Rect& start,
                                       const SDL_Rect& end) {
    const int x0 = start.x;
    const int y0 = start.y;
    const int x1 = end.x;
    const int y1 = end.y;
    const int dx = std::abs(x1 - x0);
    const int dy = std::abs(y1 - y0);
    const int sx = x1 < x0 ? -1 : 1;
    const int sy = y1 < y0 ? -1 : 1;

    auto dirty = dirty_rectangle(destination, brush, x0, y0, x1, y1);
    auto stamp = std::make_unique<SDL_Rect>();
    stamp->x = start.x;
    stamp->y = start.y;
    if (dx >= dy) {
        stamp_line(destination, brush, *stamp, &SDL_Rect::x, &SDL_Rect::y, sx, sy, dx, dy);
    } else {
        stamp_line(destination, brush, *stamp, &SDL_Rect::y, &SDL_Rect::x, sy, sx, dy, dx);
    }
    return dirty;
}

}  // namespace smearwell
