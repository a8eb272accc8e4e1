// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Turning SDL's queued events into the main loop's flags and the batch's ordered actions.
#pragma once

#include <vector>

#include <SDL.h>

namespace smearwell {

enum class action_kind : Uint8 {
    press,       // the left button went down: a stroke starts here
    release,     // the left button came up: the stroke ends here
    reach,       // a filter key acts mid-stroke: the stroke is painted this far before the filter
    through,     // the held stroke passed through here (a motion event, where the platform keeps them)
    end_stroke,  // the stroke ends where it was last painted: its release cannot reach the window
    invert,
    convolve,
};

// One thing the user did, in window pixels: a button or motion event's own position, or for `reach`
// how far the stroke went before the key (see drain_events). Filters and `end_stroke` carry no
// position.
struct user_action {
    action_kind kind = action_kind::press;
    Sint16 x = 0;
    Sint16 y = 0;
};

// What SDL's own state last said of the pointer, read after each batch (see drain_events).
enum class pointer_report : Uint8 {
    none_yet,  // no batch has been read
    outside,
    over_window,
};

// The main loop's state between passes. quit_requested is never cleared once set.
struct loop_flags {
    Uint8 drawing = 0;  // the left button is held
    int quit_requested = 0;
    // The whole window is to be shown again: nothing has been shown yet, part of the window was
    // uncovered, or the pointer came in or went out. Frames that change nothing refresh nothing,
    // so no later frame would.
    Uint8 show_all_request = 1;
    // The pointer is over the window, as SDL last said (SDL starts out saying so).
    Uint8 pointer_in_window = 1;
    pointer_report pointer_last_reported = pointer_report::none_yet;
    // The filter keys whose press the window saw and whose release has not acted yet (bit 1: `i`,
    // bit 2: `c`; the same bits below).
    Uint8 filter_keys_down = 0;
    // The filter keys whose release acted since this batch's last event of another kind.
    Uint8 filter_keys_just_released = 0;
    // The filter keys whose keystroke acted at the release SDL made up when the keyboard focus left,
    // while the key is still held (see note_window_state in events.cpp). Their next press is that
    // same keystroke, and their next release ends it.
    Uint8 filter_keys_held_away = 0;
    // Everything the last batch asked for, in the order the user did it: strokes and filters are
    // replayed in this order, so a filter acts on the strokes before it and not on those after.
    // The pass that replays them clears them.
    std::vector<user_action> actions;
};

// Escape quits on press; `i` and `c` ask for their filter on release, once a keystroke, whatever
// the keyboard focus does while the key is down. Keys are compared by symbol, so Shift and Caps
// Lock make no difference. Only the left button starts or stops drawing. A motion event while it is
// held is a position the stroke passes through: the desktop switches them off and reads the
// pointer once a pass, but where the platform keeps them (the browser, whose passes run once an
// animation frame) the stroke follows every position reported between two passes. A window uncovered
// (SDL_VIDEOEXPOSE) asks for the whole window to be shown again. A window hidden or left without
// the keyboard focus ends the stroke: its release would go to another window.
void handle_event(const SDL_Event& event, loop_flags& flags);

// Handles every queued event, even after a quit: the quit takes effect once the queue is empty.
// The events one read of SDL's queue finds are one batch.
// A filter key mid-stroke takes the stroke only as far as it is known to have gone with the
// button held, never to where the button was up (see note_filter_key in events.cpp).
void drain_events(loop_flags& flags);

}  // namespace smearwell
