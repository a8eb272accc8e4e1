// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// One frame: paint the stroke segment while drawing, recompose the screen from the canvas with the
// brush on top as the pointer image (the system cursor is hidden), and refresh what changed.
#pragma once

#include <SDL.h>

namespace smearwell {

// Asks SDL to refresh the part of (x, y, w, h) that lies on the screen, and nothing when no part
// does: SDL reads a width or height of 0 as "the whole screen", and classic SDL 1.2 drops any
// rectangle that reaches past the screen.
void refresh_clipped(SDL_Surface* screen, int x, int y, int w, int h);

// Positions are the brush's top-left corner, not its centre. `last_position` holds where the
// pointer was in the previous frame; its x and y are rewritten on every call, drawing or not.
// `full_refresh` (a filter ran this pass) wins over drawing: the whole screen is refreshed.
void update_frame(SDL_Surface* screen, SDL_Surface* canvas, SDL_Surface* brush, SDL_Rect& last_position, Uint8 drawing,
                  Uint8 full_refresh);

}  // namespace smearwell
