// SPDX-FileCopyrightText: 2026 The Smearwell developers
// SPDX-License-Identifier: Zlib

// The platform seam in a web page (Emscripten and its own SDL 1.2): what the browser forces. Files
// and standard streams are POSIX's (posix.cpp); the page shows standard output under the canvas.
#include <emscripten.h>

// EM_ASM's JavaScript names the call's arguments $0, $1...
#pragma clang diagnostic ignored "-Wdollar-in-identifier-extension"

#include "app/startup.hpp"
#include "platform/platform.hpp"
#include "raster/pixel.hpp"

namespace smearwell::platform {

namespace {

struct page_loop {
    bool (*pass)(void* state);
    void* state;
};

// When the loop is done the program ends as it does on the desktop, with status 0; the page hears
// of it (Module.onExit), removes SDL's listeners and says so, as it does however the program ends
// (page.js). SDL_Quit is left out: the browser's SDL has nothing to shut down, and would only
// print that it ignored the call.
void run_one_pass(void* loop) {
    const auto* page = static_cast<const page_loop*>(loop);
    if (!page->pass(page->state)) {
        emscripten_cancel_main_loop();
        emscripten_force_exit(0);
    }
}

}  // namespace

void ignore_motion_events() {}

// SDL keeps each surface as a canvas element (SDL.surfaces, by the surface's address) and blits
// with drawImage at the source's alpha.
void blit_whole_at(SDL_Surface* source, SDL_Surface* destination, const SDL_Rect& position) {
    EM_ASM(
        {
            var from = SDL.surfaces[$0];
            var to = SDL.surfaces[$1].ctx;
            var alpha = to.globalAlpha;
            to.globalAlpha = from.alpha / 255;
            to.drawImage(from.canvas, $2, $3);
            to.globalAlpha = alpha;
        },
        source, destination, position.x, position.y);
}

bool pointer_over_window() {
    return EM_ASM_INT({ return Module['pointerOverCanvas'] ? 1 : 0; });
}

// The page calls this (Module._smearwell_pointer_crossed) when the pointer comes over the canvas or
// leaves it, and once at start while it is not over it: the browser's SDL says nothing of either,
// and a desktop library says it with this event. Without it the brush would show at the canvas's
// corner from start until the pointer first came and went.
extern "C" EMSCRIPTEN_KEEPALIVE void smearwell_pointer_crossed(int over) {
    SDL_Event event{};
    event.type = SDL_ACTIVEEVENT;
    event.active.gain = over ? 1 : 0;
    event.active.state = SDL_APPMOUSEFOCUS;
    SDL_PushEvent(&event);
}

// The page centres the brush on a finger's or a pen's point (pointer.js): from its corner, in
// canvas pixels.
extern "C" EMSCRIPTEN_KEEPALIVE int smearwell_brush_centre() {
    return brush_centre;
}

// The page losing the focus (blur) or being hidden (visibilitychange).
bool window_lost_input(const SDL_Event& event) {
    return event.type == SDL_WINDOWEVENT &&
           (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST || event.window.event == SDL_WINDOWEVENT_HIDDEN);
}

// Every surface there has alpha; the key's pixels become transparent, every other one opaque.
void make_transparent(SDL_Surface* surface, Uint32 key) {
    const Uint32 alpha = surface->format->Amask;
    for (int y = 0; y < surface->h; ++y) {
        for (int x = 0; x < surface->w; ++x) {
            const Uint32 colour = read_pixel(surface, x, y) & ~alpha;
            write_pixel(surface, x, y, colour == (key & ~alpha) ? 0 : colour | alpha);
        }
    }
    SDL_SetAlpha(surface, SDL_SRCALPHA, SDL_ALPHA_OPAQUE);
}

// One pass per animation frame. Emscripten leaves this call by unwinding the stack without
// returning or destroying anything, so `loop` and everything main and its callers hold stay
// valid for as long as the page runs.
void repeat_passes(bool (*pass)(void* state), void* state) {
    page_loop loop{pass, state};
    emscripten_set_main_loop_arg(run_one_pass, &loop, 0, 1);
}

}  // namespace smearwell::platform
