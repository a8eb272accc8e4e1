// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Turning SDL's queued events into the main loop's flags.
#pragma once

#include <SDL.h>

namespace smearwell {

// The main loop's state between passes. Filter requests live from the release that sets them to
// the end of the next pass; quit_requested is never cleared once set.
struct loop_flags {
    Uint8 drawing = 0;  // the left button is held
    int quit_requested = 0;
    Uint8 invert_request = 0;
    Uint8 convolve_request = 0;
};

// Escape quits on press; `i` and `c` request their filter on release. Keys are compared by
// symbol, so Shift and Caps Lock make no difference. Only the left button starts or stops drawing.
void handle_event(const SDL_Event& event, loop_flags& flags);

// Handles every queued event, even after a quit: the quit takes effect once the queue is empty.
void drain_events(loop_flags& flags);

}  // namespace smearwell
