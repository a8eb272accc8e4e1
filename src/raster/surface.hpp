// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Ownership of the software surfaces the program creates for itself.
#pragma once

#include <memory>

#include <SDL.h>

namespace smearwell {

// Frees the surface with SDL_FreeSurface; empty when SDL could not create it.
using surface_ptr = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

// Runs `work()` while the surface's pixels can be read and written: locked where SDL_MUSTLOCK says
// so. On the desktop software surfaces need no lock; in the browser every surface does, as its
// pixels live in a canvas element that only a lock brings into memory and its end takes back.
// When SDL cannot lock the surface, `work` does not run and the surface stays as it was.
template <typename Work>
void with_pixels(SDL_Surface* surface, Work&& work) {
    const bool must_lock = SDL_MUSTLOCK(surface);
    if (must_lock && SDL_LockSurface(surface) < 0) {
        return;
    }
    work();
    if (must_lock) {
        SDL_UnlockSurface(surface);
    }
}

}  // namespace smearwell
