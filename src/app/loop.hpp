// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// The main loop: each pass runs the requested filters, redraws the frame, then drains the events.
#pragma once

#include <SDL.h>

#include "app/events.hpp"

namespace smearwell {

// One pass's drawing work: the strokes that ended in the last batch, the invert before the
// convolution, then the frame update, which refreshes the whole screen when a filter ran; the
// requests and button changes are cleared afterwards. A request to show the whole window
// refreshes it as a filter does.
void run_pass(SDL_Surface* screen, SDL_Surface* canvas, SDL_Surface* brush, SDL_Rect& last_position, loop_flags& flags);

// Runs passes until a quit is requested. Never sleeps: it polls and redraws as fast as it can.
void run_main_loop(SDL_Surface* screen, SDL_Surface* canvas, SDL_Surface* brush, SDL_Rect& last_position);

}  // namespace smearwell
