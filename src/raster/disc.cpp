// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Midpoint-circle disc as horizontal spans.
#include "raster/disc.hpp"

#include "raster/pixel.hpp"

namespace smearwell {

void fill_span(int first, int end, int row, Uint32 pixel, SDL_Surface* surface) {
    if (first < 0) {
        first = 0;
    }
    if (first > surface->w) {
        return;
    }
    if (end > surface->w) {
        end = surface->w;
    }
    for (int x = first; x < end; ++x) {
        write_pixel(surface, x, row, pixel);
    }
}

namespace {

// Rows strictly inside (0, h): the disc leaves row 0 alone but does fill the last row.
void fill_disc_row(SDL_Surface* surface, int first, int end, int row, Uint32 pixel) {
    if (row > 0 && row < surface->h) {
        fill_span(first, end, row, pixel, surface);
    }
}

}  // namespace

void fill_disc(SDL_Surface* surface, int cx, int cy, int radius, Uint32 pixel) {
    int i = 0;
    int a = radius;
    int decision = 3 - 2 * radius;
    while (i <= a) {
        fill_disc_row(surface, cx - i, cx + i, cy + a, pixel);
        fill_disc_row(surface, cx - i, cx + i, cy - a, pixel);
        fill_disc_row(surface, cx - a, cx + a, cy + i, pixel);
        fill_disc_row(surface, cx - a, cx + a, cy - i, pixel);
        if (decision >= 0) {
            decision += 4 - 4 * a;
            --a;
        }
        decision += 4 * i + 6;
        ++i;
    }
}

}  // namespace smearwell
