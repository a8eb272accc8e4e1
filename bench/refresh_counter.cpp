// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Counts the program's screen refreshes from outside it: preloaded (LD_PRELOAD) into the running
// program, it stands in for SDL_UpdateRect, counts each call and passes it on to SDL. After each
// call the file SMEARWELL_REFRESH_COUNT names holds the number of calls so far, so whoever reads it
// twice, some seconds apart, has the rate.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include <SDL.h>

namespace {

// The tool's own state, in the process it measures (the program itself has none of this).
struct refresh_count {
    long calls = 0;
    int file = -1;
};

refresh_count& counted() {
    static refresh_count count = [] {
        refresh_count opened;
        if (const char* path = std::getenv("SMEARWELL_REFRESH_COUNT")) {
            opened.file = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        }
        return opened;
    }();
    return count;
}

}  // namespace

extern "C" void SDL_UpdateRect(SDL_Surface* screen, Sint32 x, Sint32 y, Uint32 w, Uint32 h) {
    using update_function = void (*)(SDL_Surface*, Sint32, Sint32, Uint32, Uint32);
    static const auto sdl_update = reinterpret_cast<update_function>(dlsym(RTLD_NEXT, "SDL_UpdateRect"));
    refresh_count& count = counted();
    char text[24];
    const int length = std::snprintf(text, sizeof text, "%-20ld\n", ++count.calls);
    if (count.file >= 0 && pwrite(count.file, text, static_cast<size_t>(length), 0) < 0) {
        count.file = -1;
    }
    sdl_update(screen, x, y, w, h);
}
