// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Smearwell's entry: start-up, the main loop, shut-down.
// Exit status: 0 when the user quits (Escape or closing the window), 1 when start-up fails.
#include <cstdio>
#include <memory>
#include <new>

#include <SDL.h>

#include "app/loop.hpp"
#include "app/startup.hpp"
#include "platform/platform.hpp"

namespace {

constexpr int exit_success = 0;
constexpr int exit_failure = 1;

// Owns the canvas, the brush and the last pointer position for the whole run; they are released
// before SDL shuts down.
int run_session(SDL_Surface* screen) {
    using namespace smearwell;
    SDL_EnableUNICODE(1);
    platform::ignore_motion_events();
    SDL_ShowCursor(SDL_DISABLE);
    const surface_ptr canvas = create_canvas(screen);
    if (!canvas) {
        std::fprintf(stderr, "Couldn't create the canvas: %s\n", SDL_GetError());
        return exit_failure;
    }
    const std::unique_ptr<SDL_Rect> last_position(new (std::nothrow) SDL_Rect{});  // starts at (0,0)
    if (!last_position) {
        SDL_SetError("Out of memory");
        std::fprintf(stderr, "Couldn't create the pointer position: %s\n", SDL_GetError());
        return exit_failure;
    }
    const surface_ptr brush = create_brush();
    if (!brush) {
        std::fprintf(stderr, "Couldn't create the brush: %s\n", SDL_GetError());
        return exit_failure;
    }
    std::fflush(stdout);  // the start-up lines reach a pipe or a file now, not at exit
    run_main_loop(screen, canvas.get(), brush.get(), *last_position);
    SDL_WM_GrabInput(SDL_GRAB_OFF);
    return exit_success;
}

}  // namespace

int main(int /*argc*/, char** /*argv*/) {
    smearwell::platform::make_standard_streams_safe();
    smearwell::print_banner();
    SDL_Surface* screen = smearwell::open_display();
    if (!screen) {
        return exit_failure;
    }
    const int status = run_session(screen);
    SDL_Quit();
    return status;
}
