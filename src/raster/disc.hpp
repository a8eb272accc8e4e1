// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Horizontal spans and filled discs, the only shapes the program draws by itself (the brush's disc).
// Every pixel goes through write_pixel.
#pragma once

#include <SDL.h>

namespace smearwell {

// Fills columns [first, end) of one row. The end column is never written. Columns are clipped to
// the surface; the row is not: the caller keeps 0 <= row < h. The surface comes last.
void fill_span(int first, int end, int row, Uint32 pixel, SDL_Surface* surface);

// Midpoint-circle disc filled with spans. It reaches one column further left of the centre than
// right, and never fills row 0 of the surface (rows are kept to 1 .. h-1); it writes only inside.
void fill_disc(SDL_Surface* surface, int cx, int cy, int radius, Uint32 pixel);

}  // namespace smearwell
