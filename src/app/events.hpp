// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Turning SDL's queued events into the main loop's flags.
#pragma once

#include <vector>

#include <SDL.h>

namespace smearwell {

// The left button going down or coming up, where the pointer was when it did (the button event's
// own position, in window pixels).
struct button_change {
    Uint8 pressed = 0;  // 1: went down; 0: came up
    Sint16 x = 0;
    Sint16 y = 0;
};

// The main loop's state between passes. Filter requests live from the release that sets them to
// the end of the next pass; quit_requested is never cleared once set.
struct loop_flags {
    Uint8 drawing = 0;  // the left button is held
    int quit_requested = 0;
    Uint8 invert_request = 0;
    Uint8 convolve_request = 0;
    // The whole window is to be shown again: nothing has been shown yet, or part of the window was
    // uncovered. Frames that change nothing refresh nothing, so no later frame would.
    Uint8 show_all_request = 1;
    // The left button's changes of the last batch, in order, each a real change of `drawing`: a
    // stroke starts where the button went down and ends where it came up, however many pointer
    // moves the batch held. The pass that paints them clears them.
    std::vector<button_change> button_changes;
};

// Escape quits on press; `i` and `c` request their filter on release. Keys are compared by
// symbol, so Shift and Caps Lock make no difference. Only the left button starts or stops drawing.
// A window uncovered (SDL_VIDEOEXPOSE) asks for the whole window to be shown again.
void handle_event(const SDL_Event& event, loop_flags& flags);

// Handles every queued event, even after a quit: the quit takes effect once the queue is empty.
void drain_events(loop_flags& flags);

// The pointer position is read from SDL once a pass, never from motion events. Left switched on,
// motion events would fill SDL's queue (128 events in both libraries, the rest dropped silently)
// whenever the program falls behind, and a button release or Escape behind them would be lost.
void ignore_motion_events();

}  // namespace smearwell
