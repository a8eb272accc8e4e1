// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// The main loop. A filter runs to completion inside its pass; events that arrive meanwhile wait
// in SDL's queue.
#include "app/loop.hpp"

#include "filters/convolve.hpp"
#include "filters/invert.hpp"
#include "platform/platform.hpp"

namespace smearwell {

namespace {

struct loop_state {
    SDL_Surface* screen;
    SDL_Surface* canvas;
    SDL_Surface* brush;
    SDL_Rect* last_position;
    loop_flags flags;  // the first pass shows the whole window, cursor included
};

// A pass reads a batch, then draws what it asked for: the pointer the frame shows is where it was
// at that read, and the desktop's pause between passes comes after the drawing, never between the
// two. A quit in the batch stops the loop before any more drawing.
bool read_events_then_pass(void* state) {
    auto& loop = *static_cast<loop_state*>(state);
    drain_events(loop.flags);
    if (loop.flags.quit_requested) {
        return false;
    }
    run_pass(loop.screen, loop.canvas, loop.brush, *loop.last_position, loop.flags);
    return true;
}

SDL_Rect position_of(const user_action& action) {
    SDL_Rect position{};
    position.x = action.x;
    position.y = action.y;
    return position;
}

}  // namespace

replayed_batch replay_actions(SDL_Surface* canvas, SDL_Surface* brush, const SDL_Rect& last_position,
                              std::span<const user_action> actions) {
    replayed_batch batch;
    batch.stroke_start = last_position;
    bool start_painted = true;  // a stroke going on from the last frame was painted up to here
    for (const user_action& action : actions) {
        switch (action.kind) {
        case action_kind::press:
            batch.stroke_start = position_of(action);
            start_painted = false;
            break;
        case action_kind::release:
            paint_segment(canvas, brush, batch.stroke_start, position_of(action), batch.painted);
            break;
        case action_kind::reach:
        case action_kind::through:
            paint_segment(canvas, brush, batch.stroke_start, position_of(action), batch.painted);
            batch.stroke_start = position_of(action);
            start_painted = true;
            break;
        case action_kind::end_stroke:
            if (!start_painted) {
                paint_segment(canvas, brush, batch.stroke_start, batch.stroke_start, batch.painted);
            }
            break;
        case action_kind::invert:
            invert_canvas(canvas);
            batch.filtered = 1;
            break;
        case action_kind::convolve:
            convolve_canvas(canvas);
            batch.filtered = 1;
            break;
        }
    }
    return batch;
}

void run_pass(SDL_Surface* screen, SDL_Surface* canvas, SDL_Surface* brush, SDL_Rect& last_position,
              loop_flags& flags) {
    const replayed_batch batch = replay_actions(canvas, brush, last_position, flags.actions);
    update_frame(screen, canvas, brush, last_position, flags.drawing, batch.filtered | flags.show_all_request, &batch,
                 flags.drawing | flags.pointer_in_window);
    flags.show_all_request = 0;
    flags.actions.clear();
}

void run_main_loop(SDL_Surface* screen, SDL_Surface* canvas, SDL_Surface* brush, SDL_Rect& last_position) {
    loop_state state{screen, canvas, brush, &last_position, {}};
    platform::repeat_passes(read_events_then_pass, &state);
}

}  // namespace smearwell
