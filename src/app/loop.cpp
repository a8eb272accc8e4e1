// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// The main loop. A filter runs to completion inside its pass; events that arrive meanwhile wait
// in SDL's queue.
#include "app/loop.hpp"

#include "app/frame.hpp"
#include "filters/convolve.hpp"
#include "filters/invert.hpp"

namespace smearwell {

void run_pass(SDL_Surface* screen, SDL_Surface* canvas, SDL_Surface* brush, SDL_Rect& last_position,
              loop_flags& flags) {
    const auto finished_strokes = paint_finished_strokes(canvas, brush, last_position, flags.button_changes);
    if (flags.invert_request) {
        invert_canvas(canvas);
    }
    if (flags.convolve_request) {
        convolve_canvas(canvas);
    }
    const Uint8 full_refresh = flags.invert_request | flags.convolve_request | flags.show_all_request;
    update_frame(screen, canvas, brush, last_position, flags.drawing, full_refresh, flags.button_changes,
                 finished_strokes.get());
    flags.invert_request = 0;
    flags.convolve_request = 0;
    flags.show_all_request = 0;
    flags.button_changes.clear();
}

void run_main_loop(SDL_Surface* screen, SDL_Surface* canvas, SDL_Surface* brush, SDL_Rect& last_position) {
    loop_flags flags;  // the first pass shows the whole window, cursor included
    while (!flags.quit_requested) {
        run_pass(screen, canvas, brush, last_position, flags);
        drain_events(flags);  // a quit in this batch stops the loop before any more drawing
    }
}

}  // namespace smearwell
