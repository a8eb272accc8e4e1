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

void repeat_passes(bool (*pass)(void* state), void* state) {
    while (pass(state)) {
    }
}

}  // namespace smearwell::platform
