// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Event handling. The pointer position is never taken from motion events: the frame update reads
// it from SDL directly.
#include "app/events.hpp"

namespace smearwell {

namespace {

// Only real changes are kept, so a repeated press or release says nothing new.
void note_left_button(const SDL_MouseButtonEvent& event, Uint8 pressed, loop_flags& flags) {
    if (flags.drawing == pressed) {
        return;
    }
    flags.drawing = pressed;
    flags.button_changes.push_back({pressed, static_cast<Sint16>(event.x), static_cast<Sint16>(event.y)});
}

// SDL keeps at most 128 queued events and drops the rest silently: a flood of clicks and keys read
// in one go can lose a release. SDL's own button state, which the same read brings up to date,
// still tells that the button is up. Where it came up is not known, so the stroke ends where it
// was last painted (a press of this batch: one stamp there); it is never drawn on to the pointer.
void end_stroke_whose_release_was_lost(loop_flags& flags) {
    if (!flags.drawing || SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON(SDL_BUTTON_LEFT)) {
        return;
    }
    flags.drawing = 0;
    if (!flags.button_changes.empty()) {  // the last change is this stroke's press
        button_change release = flags.button_changes.back();
        release.pressed = 0;
        flags.button_changes.push_back(release);
    }
}

}  // namespace

void handle_event(const SDL_Event& event, loop_flags& flags) {
    switch (event.type) {
    case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_ESCAPE) {
            flags.quit_requested = 1;
        }
        break;
    case SDL_KEYUP:
        if (event.key.keysym.sym == SDLK_c) {
            flags.convolve_request = 1;
        } else if (event.key.keysym.sym == SDLK_i) {
            flags.invert_request = 1;
        }
        break;
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
    case SDL_QUIT: flags.quit_requested = 1; break;
    case SDL_VIDEOEXPOSE: flags.show_all_request = 1; break;
    default: break;
    }
}

void drain_events(loop_flags& flags) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        handle_event(event, flags);
    }
    end_stroke_whose_release_was_lost(flags);
}

void ignore_motion_events() {
    SDL_EventState(SDL_MOUSEMOTION, SDL_IGNORE);
}

}  // namespace smearwell
