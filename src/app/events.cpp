// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Event handling. The frame update reads the pointer from SDL directly; motion events, where the
// platform keeps them, only add the positions a held stroke passed through between two passes.
#include "app/events.hpp"

#include <algorithm>

#include "platform/platform.hpp"

namespace smearwell {

namespace {

// Where the stroke still held was last known to be with the button down: its press, or a position
// it passed through (`through`).
bool stroke_was_here(const user_action& action) {
    return action.kind == action_kind::press || action.kind == action_kind::through;
}

// The `reach` actions of the stroke still held, noted in this batch since the last position known
// for it (or since the batch began, for a stroke held from an earlier one), are moved to (x, y).
// A reach before such a position stays: the stroke is known to have gone on from there.
void place_reaches(loop_flags& flags, Sint16 x, Sint16 y) {
    for (auto action = flags.actions.rbegin(); action != flags.actions.rend(); ++action) {
        if (stroke_was_here(*action)) {
            return;
        }
        if (action->kind == action_kind::reach) {
            action->x = x;
            action->y = y;
        }
    }
}

// Only real changes are kept, so a repeated press or release says nothing new. A release in the
// same batch as a filter key of its stroke is where that filter's reach ends (see note_filter_key).
void note_left_button(const SDL_MouseButtonEvent& event, Uint8 pressed, loop_flags& flags) {
    if (flags.drawing == pressed) {
        return;
    }
    flags.drawing = pressed;
    const auto x = static_cast<Sint16>(event.x);
    const auto y = static_cast<Sint16>(event.y);
    if (!pressed) {
        place_reaches(flags, x, y);
    }
    flags.actions.push_back({pressed ? action_kind::press : action_kind::release, x, y});
}

// The stroke ends where it was last painted (a press of this batch: one stamp there; or the last
// position it passed through), never at the pointer, where the button may never have been down.
// Nothing is painted until the next press. A filter key of the stroke in this batch reaches no
// further either: to that position, or, for a stroke held from an earlier batch and known nowhere
// new, nowhere past where the last frame painted it.
void end_stroke(loop_flags& flags) {
    if (!flags.drawing) {
        return;
    }
    flags.drawing = 0;
    const auto last = std::find_if(flags.actions.rbegin(), flags.actions.rend(), stroke_was_here);
    if (last != flags.actions.rend()) {
        place_reaches(flags, last->x, last->y);
    } else {
        std::erase_if(flags.actions, [](const user_action& action) { return action.kind == action_kind::reach; });
    }
    flags.actions.push_back({action_kind::end_stroke});
}

// Each filter key's bit in loop_flags::filter_keys_down; 0 for other keys.
Uint8 filter_key_bit(SDLKey symbol) {
    return symbol == SDLK_i ? 1 : symbol == SDLK_c ? 2 : 0;
}

// A filter acts on the canvas as the strokes before it left it. A stroke still held is painted up
// to a `reach` first, but where the pointer was at the key is not known: SDL's key events carry no
// position, motion events are off, and SDL's pointer is where every event queued so far left it.
// That pointer is taken, as the button was held all the way to it, unless the batch goes on to
// the stroke's release: that is where the button was last held, so the reach ends there (as if the
// key had come at the stroke's end), never past it where the button was up. When the stroke ends
// without a release, the reach goes no further than where the stroke was painted (end_stroke).
// Where motion events are kept (the browser's SDL, whose pointer is where the last event read left
// it), the pointer is the key's own place, and a position after it keeps the reach there.
void note_filter_key(action_kind filter, loop_flags& flags) {
    if (flags.drawing) {
        int x = 0;
        int y = 0;
        SDL_GetMouseState(&x, &y);
        flags.actions.push_back({action_kind::reach, static_cast<Sint16>(x), static_cast<Sint16>(y)});
    }
    flags.actions.push_back({filter});
}

// A press of a key held across a focus change is that keystroke still going on (see
// note_window_state): it starts nothing.
void note_key_press(SDLKey symbol, loop_flags& flags) {
    if (symbol == SDLK_ESCAPE) {
        flags.quit_requested = 1;
    }
    const Uint8 bit = filter_key_bit(symbol);
    if (!(flags.filter_keys_held_away & bit)) {
        flags.filter_keys_down |= bit;
    }
}

// When the keyboard focus leaves, SDL makes up a release of every key still down; classic SDL
// then reports the real release as well, once the focus is back. A release acts only when it ends
// a press the window saw, so one keystroke acts once, at the first of them. The release of a key
// held across a focus change ends that keystroke, and acts on nothing.
void note_key_release(SDLKey symbol, loop_flags& flags) {
    const Uint8 bit = filter_key_bit(symbol);
    if (flags.filter_keys_held_away & bit) {
        flags.filter_keys_held_away = static_cast<Uint8>(flags.filter_keys_held_away & ~bit);
        return;
    }
    if (!(flags.filter_keys_down & bit)) {
        return;
    }
    flags.filter_keys_down = static_cast<Uint8>(flags.filter_keys_down & ~bit);
    flags.filter_keys_just_released |= bit;
    note_filter_key(symbol == SDLK_i ? action_kind::invert : action_kind::convolve, flags);
}

// Minimised, unmapped or without the keyboard focus, the window no longer gets the button's
// release. The pointer merely leaving it ends nothing: the button is still held and its release
// still comes, but while no stroke is held the brush is not shown outside.
// sdl12-compat makes up the releases of the keys still down right before it tells of the keyboard
// focus leaving, in the same read of the queue. Such a key may well still be held: SDL 2 below it
// then takes the key's repeat for a new press (whether the focus is back yet or not), and reports
// the real release after it. Both belong to the keystroke that has acted. (Classic SDL makes up
// the releases after telling of the loss, and reports no such press.)
void note_window_state(const SDL_ActiveEvent& event, loop_flags& flags) {
    if (!event.gain && (event.state & (SDL_APPACTIVE | SDL_APPINPUTFOCUS))) {
        end_stroke(flags);
    }
    if (!event.gain && (event.state & SDL_APPINPUTFOCUS)) {
        flags.filter_keys_held_away |= flags.filter_keys_just_released;
    }
    if (event.state & SDL_APPMOUSEFOCUS) {
        flags.pointer_in_window = event.gain;
        flags.show_all_request = 1;
    }
}

// SDL keeps at most 128 queued events and drops the rest silently: a flood of clicks and keys read
// in one go can lose a release. SDL's own button state, which the same read brings up to date,
// still tells that the button is up.
void end_stroke_whose_release_was_lost(loop_flags& flags) {
    if (flags.drawing && !(SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON(SDL_BUTTON_LEFT))) {
        end_stroke(flags);
    }
}

// A full queue drops events, the pointer's comings and goings among them: the one saying it came
// back can be lost behind the one saying it left. SDL's own state, which the same read brought up
// to date, still knows. It is taken after a batch in which the pointer crossed the window's edge,
// or when it changed since the last batch (as when every such event was dropped), and never
// otherwise: some drivers never report the pointer over the window at all.
void follow_pointer_focus(bool crossed, loop_flags& flags) {
    const pointer_report now = platform::pointer_over_window() ? pointer_report::over_window : pointer_report::outside;
    const pointer_report before = flags.pointer_last_reported;
    flags.pointer_last_reported = now;
    const bool changed = before != pointer_report::none_yet && now != before;
    const Uint8 over = now == pointer_report::over_window;
    if ((crossed || changed) && flags.pointer_in_window != over) {
        flags.pointer_in_window = over;
        flags.show_all_request = 1;
    }
}

}  // namespace

void handle_event(const SDL_Event& event, loop_flags& flags) {
    switch (event.type) {
    case SDL_KEYDOWN: note_key_press(event.key.keysym.sym, flags); break;
    case SDL_KEYUP: note_key_release(event.key.keysym.sym, flags); return;  // a run of releases goes on
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT) {
            note_left_button(event.button, 1, flags);
        }
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT) {
            note_left_button(event.button, 0, flags);
        }
        break;
    case SDL_MOUSEMOTION:
        if (flags.drawing) {
            flags.actions.push_back(
                {action_kind::through, static_cast<Sint16>(event.motion.x), static_cast<Sint16>(event.motion.y)});
        }
        break;
    case SDL_ACTIVEEVENT: note_window_state(event.active, flags); break;
    case SDL_QUIT: flags.quit_requested = 1; break;
    case SDL_VIDEOEXPOSE: flags.show_all_request = 1; break;
    default:
        if (platform::window_lost_input(event)) {
            end_stroke(flags);
        }
        break;
    }
    flags.filter_keys_just_released = 0;  // releases followed by anything else were not made up
}

void drain_events(loop_flags& flags) {
    flags.filter_keys_just_released = 0;  // releases of an earlier batch were the user's own
    SDL_Event event;
    bool crossed = false;
    while (SDL_PollEvent(&event)) {
        crossed |= event.type == SDL_ACTIVEEVENT && (event.active.state & SDL_APPMOUSEFOCUS);
        handle_event(event, flags);
    }
    end_stroke_whose_release_was_lost(flags);
    follow_pointer_focus(crossed, flags);
}

}  // namespace smearwell
