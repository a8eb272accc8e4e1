// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Event handling. The pointer position is never taken from motion events: the frame update reads
// it from SDL directly.
#include "app/events.hpp"

#include "platform/platform.hpp"

namespace smearwell {

namespace {

// Only real changes are kept, so a repeated press or release says nothing new.
void note_left_button(const SDL_MouseButtonEvent& event, Uint8 pressed, loop_flags& flags) {
    if (flags.drawing == pressed) {
        return;
    }
    flags.drawing = pressed;
    flags.actions.push_back({pressed ? action_kind::press : action_kind::release, static_cast<Sint16>(event.x),
                             static_cast<Sint16>(event.y)});
}

// The stroke ends where it was last painted (a press of this batch: one stamp there), never at the
// pointer, where the button may never have been down. Nothing is painted until the next press.
void end_stroke(loop_flags& flags) {
    if (flags.drawing) {
        flags.drawing = 0;
        flags.actions.push_back({action_kind::end_stroke});
    }
}

// Each filter key's bit in loop_flags::filter_keys_down; 0 for other keys.
Uint8 filter_key_bit(SDLKey symbol) {
    return symbol == SDLK_i ? 1 : symbol == SDLK_c ? 2 : 0;
}

// A filter acts on the canvas as the strokes before it left it: a stroke still held is painted up
// to where SDL has the pointer now, which is where it was at the key while the loop keeps up.
void note_filter_key(action_kind filter, loop_flags& flags) {
    if (flags.drawing) {
        int x = 0;
        int y = 0;
        SDL_GetMouseState(&x, &y);
        flags.actions.push_back({action_kind::reach, static_cast<Sint16>(x), static_cast<Sint16>(y)});
    }
    flags.actions.push_back({filter});
}

// When the keyboard focus leaves, SDL makes up a release of every key still down; classic SDL
// then reports the real release as well, once the focus is back. A release acts only when it ends
// a press the window saw, so one keystroke acts once, at the first of them.
void note_key_release(SDLKey symbol, loop_flags& flags) {
    const Uint8 bit = filter_key_bit(symbol);
    if (!(flags.filter_keys_down & bit)) {
        return;
    }
    flags.filter_keys_down = static_cast<Uint8>(flags.filter_keys_down & ~bit);
    note_filter_key(symbol == SDLK_i ? action_kind::invert : action_kind::convolve, flags);
}

// Minimised, unmapped or without the keyboard focus, the window no longer gets the button's
// release. The pointer merely leaving it ends nothing: the button is still held and its release
// still comes, but while no stroke is held the brush is not shown outside.
void note_window_state(const SDL_ActiveEvent& event, loop_flags& flags) {
    if (!event.gain && (event.state & (SDL_APPACTIVE | SDL_APPINPUTFOCUS))) {
        end_stroke(flags);
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
void follow_pointer_focus(Uint8 crossed, loop_flags& flags) {
    const Uint8 reported = platform::pointer_over_window() ? 1 : 0;
    const bool changed = flags.pointer_focus_reported <= 1 && reported != flags.pointer_focus_reported;
    flags.pointer_focus_reported = reported;
    if ((crossed || changed) && flags.pointer_in_window != reported) {
        flags.pointer_in_window = reported;
        flags.show_all_request = 1;
    }
}

}  // namespace

void handle_event(const SDL_Event& event, loop_flags& flags) {
    switch (event.type) {
    case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_ESCAPE) {
            flags.quit_requested = 1;
        }
        flags.filter_keys_down |= filter_key_bit(event.key.keysym.sym);
        break;
    case SDL_KEYUP: note_key_release(event.key.keysym.sym, flags); break;
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
    case SDL_ACTIVEEVENT: note_window_state(event.active, flags); break;
    case SDL_QUIT: flags.quit_requested = 1; break;
    case SDL_VIDEOEXPOSE: flags.show_all_request = 1; break;
    default:
        if (platform::window_lost_input(event)) {
            end_stroke(flags);
        }
        break;
    }
}

void drain_events(loop_flags& flags) {
    SDL_Event event;
    Uint8 crossed = 0;
    while (SDL_PollEvent(&event)) {
        crossed |= event.type == SDL_ACTIVEEVENT && (event.active.state & SDL_APPMOUSEFOCUS);
        handle_event(event, flags);
    }
    end_stroke_whose_release_was_lost(flags);
    follow_pointer_focus(crossed, flags);
}

}  // namespace smearwell
