// SPDX-FileCopyrightText: 2026 The Smearwell developers
// SPDX-License-Identifier: Zlib

// The platform seam in a web page (Emscripten and its own SDL 1.2): what the browser forces. Files
// and standard streams are POSIX's (posix.cpp); the page shows standard output under the canvas.
#include <algorithm>

#include <emscripten.h>

// EM_ASM's JavaScript names the call's arguments $0, $1...
#pragma clang diagnostic ignored "-Wdollar-in-identifier-extension"

#include "app/startup.hpp"
#include "platform/platform.hpp"
#include "raster/pixel.hpp"
#include "raster/surface.hpp"

namespace smearwell::platform {

namespace {

struct page_loop {
    bool (*pass)(void* state);
    void* state;
};

// Events SDL has queued and not read yet: those the next pass reads.
bool events_waiting() {
    return EM_ASM_INT({ return SDL.events.length; }) > 0;
}

// The browser's SDL queues every event it hears, then calls SDL.flushEventsToHandler: there the main
// loop, paused at rest, is resumed, and runs again at the next animation frame. Emscripten ends a
// program whose main loop pauses with nothing else keeping it alive (the loop's runner lets go of
// the runtime, then exits if nobody holds it): the page holds it here, until
// emscripten_force_exit lets go of everything.
void wake_on_every_event() {
    EM_ASM({
        runtimeKeepalivePush();
        var flush = SDL.flushEventsToHandler;
        SDL.flushEventsToHandler = function() {
            if (Browser.mainLoop.func && !Browser.mainLoop.scheduler) {
                Browser.mainLoop.resume();
            }
            flush.call(SDL);
        };
    });
}

// When the loop is done the program ends as it does on the desktop, with status 0; the page hears
// of it (Module.onExit), removes SDL's listeners and says so, as it does however the program ends
// (page.js). SDL_Quit is left out: the browser's SDL has nothing to shut
// down, and would only print that it ignored the call.
void end_the_program() {
    emscripten_cancel_main_loop();
    emscripten_force_exit(0);
}

// A pass reads the events SDL has queued and draws what they asked for: a stroke or a filter reaches
// the page in the animation frame that read it. After it, the loop pauses until SDL hears an event
// (wake_on_every_event): the next pass would find nothing to do, and an animation frame that runs
// no script costs the browser next to nothing.
void run_pass_of_one_frame(void* loop) {
    const auto* page = static_cast<const page_loop*>(loop);
    if (!page->pass(page->state)) {
        end_the_program();  // does not return
        return;
    }
    if (!events_waiting()) {
        emscripten_pause_main_loop();
    }
}

}  // namespace

void ignore_motion_events() {}

// SDL keeps each surface as a canvas element, and counts its locks, in its own record of it
// (SDL.surfaces, by the surface's address).
namespace {

bool kept_in_memory(const SDL_Surface* surface) {
    return EM_ASM_INT({ return SDL.surfaces[$0].locked > 0 ? 1 : 0; }, surface) != 0;
}

// Every surface there has 4-byte pixels, each opaque or transparent where it is blitted from.
void stamp_in_memory(const SDL_Surface* source, SDL_Surface* destination, const SDL_Rect& position) {
    const int left = std::max(0, -position.x);
    const int top = std::max(0, -position.y);
    const int right = std::min(source->w, destination->w - position.x);
    const int bottom = std::min(source->h, destination->h - position.y);
    const Uint32 alpha = source->format->Amask;
    for (int y = top; y < bottom; ++y) {
        const Uint8* from = pixel_row(source, y);
        Uint8* to = pixel_row(destination, position.y + y) + position.x * 4;
        for (int x = left; x < right; ++x) {
            const Uint32 colour = load_pixel<4>(from + x * 4);
            if (colour & alpha) {
                store_pixel<4>(to + x * 4, colour);
            }
        }
    }
}

}  // namespace

// Locked once, never unlocked: the one copy from its canvas element.
void keep_in_memory(SDL_Surface* surface) {
    SDL_LockSurface(surface);
}

// Onto the screen, SDL's drawImage at the source's alpha, without SDL's blit: that one copies the
// whole destination back into memory after it whenever the destination is not the screen.
void blit_whole_at(SDL_Surface* source, SDL_Surface* destination, const SDL_Rect& position) {
    if (kept_in_memory(destination)) {
        with_pixels(source, [&] { stamp_in_memory(source, destination, position); });
        return;
    }
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

// The pixels of `area` gathered from the surface's memory into an image of their own, which
// putImageData puts on the page: WebKitGTK keeps more frames a second while drawing so than when
// handed the whole canvas's memory as an image. Its pixels are opaque (the canvas starts filled
// with opaque black, and nothing drawn on it changes that), as putImageData replaces the page's
// pixels, alpha included.
void copy_to_screen(SDL_Surface* source, SDL_Surface* screen, const SDL_Rect& area) {
    if (!kept_in_memory(source)) {
        SDL_Rect from = area;
        SDL_Rect to = area;
        SDL_BlitSurface(source, &from, screen, &to);
        return;
    }
    EM_ASM(
        {
            var image = new ImageData($3, $4);
            for (var row = 0; row < $4; ++row) {
                var from = $1 + row * $2;
                image.data.set(HEAPU8.subarray(from, from + $3 * 4), row * $3 * 4);
            }
            SDL.surfaces[$0].ctx.putImageData(image, $5, $6);
        },
        screen, pixel_address(source, area.x, area.y), source->pitch, area.w, area.h, area.x, area.y);
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
    EM_ASM({ SDL.flushEventsToHandler(); });  // as SDL does after queueing an event: wakes the loop
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

// Passes run in animation frames, none while the page is at rest (see run_pass_of_one_frame).
// Emscripten leaves this call by unwinding the stack without returning or destroying anything, so
// `loop` and everything main and its callers hold stay valid for as long as the page runs.
void repeat_passes(bool (*pass)(void* state), void* state) {
    page_loop loop{pass, state};
    wake_on_every_event();
    emscripten_set_main_loop_arg(run_pass_of_one_frame, &loop, 0, 1);
}

}  // namespace smearwell::platform
