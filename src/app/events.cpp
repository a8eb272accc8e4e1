// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Event handling. The pointer position is never taken from motion events: the frame update reads
// it from SDL directly.
#include "app/events.hpp"

namespace smearwell {

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
            flags.drawing = 1;
        }
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT) {
            flags.drawing = 0;
        }
        break;
    case SDL_QUIT: flags.quit_requested = 1; break;
    default: break;
    }
}

void drain_events(loop_flags& flags) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        handle_event(event, flags);
    }
}

}  // namespace smearwell
