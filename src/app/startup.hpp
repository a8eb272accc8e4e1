// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Start-up: the banner, SDL and the display, the canvas and the brush. Every failure is reported
// here, once, with SDL's error text.
#pragma once

#include <SDL.h>

#include "raster/surface.hpp"

namespace smearwell {

constexpr int screen_width = 800;   // pixels
constexpr int screen_height = 600;  // pixels
constexpr int screen_depth = 32;    // bits per pixel
constexpr int brush_size = 20;      // the brush surface is brush_size x brush_size pixels
constexpr int brush_centre = 10;    // of the disc, on both axes, in brush pixels
constexpr int brush_radius = 8;
constexpr Uint8 stroke_red = 143;
constexpr Uint8 stroke_green = 55;
constexpr Uint8 stroke_blue = 205;
constexpr Uint8 stroke_alpha = 128;

void print_banner();

// Initialises SDL and opens the 800x600x32 window titled "Smearwell". On failure it prints the
// reason and returns nullptr, with SDL already shut down if it had started.
SDL_Surface* open_display();

// Software surfaces in SDL's default 32-bit layout (all masks 0); new surfaces start black.
surface_ptr create_canvas(const SDL_Surface* screen);
// The stroke colour is mapped on the brush's own layout, whatever layout the screen has.
surface_ptr create_brush();

}  // namespace smearwell
