// SPDX-FileCopyrightText: 2026 The Smearwell developers
// SPDX-License-Identifier: Zlib

// The platform seam on the desktop (Linux and the like, and Windows): what the browser does
// otherwise.
#include "platform/platform.hpp"

namespace smearwell::platform {

void ignore_motion_events() {
    SDL_EventState(SDL_MOUSEMOTION, SDL_IGNORE);
}

void keep_in_memory(SDL_Surface*) {}

void blit_whole_at(SDL_Surface* source, SDL_Surface* destination, const SDL_Rect& position) {
    SDL_Rect place = position;  // SDL writes the clipped rectangle back into it
    SDL_BlitSurface(source, nullptr, destination, &place);
}

void copy_to_screen(SDL_Surface* source, SDL_Surface* screen, const SDL_Rect& area) {
    SDL_Rect from = area;  // SDL writes the clipped rectangles back into both
    SDL_Rect to = area;
    SDL_BlitSurface(source, &from, screen, &to);
}

bool pointer_over_window() {
    return SDL_GetAppState() & SDL_APPMOUSEFOCUS;
}

bool window_lost_input(const SDL_Event&) {
    return false;
}

void make_transparent(SDL_Surface* surface, Uint32 key) {
    SDL_SetColorKey(surface, SDL_SRCCOLORKEY | SDL_RLEACCEL, key);
}

// A pass reads the whole queue, so the pause between two loses nothing. It lets the display server
// hand over both halves of a held key's auto-repeat together: classic SDL on X tells a repeat from a
// real release only by finding the new press already waiting when it reads the release (its
// X11_KeyRepeat), and a loop that polled without a pause (nothing to copy in an idle frame) read
// them apart now and then on a loaded machine, so that one keystroke of `c` acted twice.
void repeat_passes(bool (*pass)(void* state), void* state) {
    while (pass(state)) {
        SDL_Delay(1);
    }
}

}  // namespace smearwell::platform
