// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// The fixed 3x3 convolution: weight 2 for the eight neighbours, -15 for the centre.
#pragma once

#include <cstddef>
#include <string>

#include <SDL.h>

namespace smearwell {

// Every pixel with all eight neighbours inside is replaced by its neighbourhood's weighted sum,
// per channel, divided by the sum of the weights (truncating) and clamped to 0..255; the outermost
// frame becomes pixel value 0. Results depend only on the pixels before the run. Prints
// " R G B" for column 20 of rows 1 .. h-2, in row order, on standard output (nothing when the
// surface is 21 pixels wide or less) and flushes it.
void convolve_canvas(SDL_Surface* surface);

// Appends the line " R G B\n" that convolve_canvas prints for one row, each value 0..255 in
// decimal. A line is at most report_line_capacity characters.
constexpr std::size_t report_line_capacity = 13;
void append_report_line(std::string& report, unsigned red, unsigned green, unsigned blue);

}  // namespace smearwell
