// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// The main loop: each pass replays the last batch of events, redraws the frame, then drains the
// events.
#pragma once

#include <span>

#include <SDL.h>

#include "app/events.hpp"
#include "app/frame.hpp"

namespace smearwell {

// The batch's strokes and filters onto the canvas, in the order the user made them: a filter acts
// on the strokes before it, and the strokes after it are painted on what it left. Strokes start
// from `last_position` when the button was already down.
replayed_batch replay_actions(SDL_Surface* canvas, SDL_Surface* brush, const SDL_Rect& last_position,
                              std::span<const user_action> actions);

// One pass's drawing work: the last batch replayed, then the frame update, which refreshes the
// whole screen when a filter ran or the whole window is to be shown again. The batch and that
// request are cleared afterwards.
void run_pass(SDL_Surface* screen, SDL_Surface* canvas, SDL_Surface* brush, SDL_Rect& last_position, loop_flags& flags);

// Runs passes until a quit is requested. On the desktop it never sleeps: it polls and redraws as
// fast as it can. In a web page it runs passes in animation frames, none while the page is at rest
// (see platform::repeat_passes), and never returns.
void run_main_loop(SDL_Surface* screen, SDL_Surface* canvas, SDL_Surface* brush, SDL_Rect& last_position);

}  // namespace smearwell
