// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Start-up of the program, up to the point where the main loop can run.
#include "app/startup.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.hpp"
#include "raster/disc.hpp"

namespace smearwell {

namespace {

// Drivers that SDL falls back to when there is no display: each "works" but shows nothing on a
// screen (an invisible window, or ASCII art in the terminal).
bool is_invisible_driver(const char* name) {
    for (const char* invisible : {"offscreen", "dummy", "caca", "aalib"}) {
        if (std::strcmp(name, invisible) == 0) {
            return true;
        }
    }
    return false;
}

bool video_driver_chosen() {
    const char* chosen = std::getenv("SDL_VIDEODRIVER");
    return chosen && *chosen;
}

// Only when the user did not choose a driver: one chosen through SDL_VIDEODRIVER is honoured.
bool fell_back_to_invisible_driver() {
    if (video_driver_chosen()) {
        return false;
    }
    char name[64] = "";
    return SDL_VideoDriverName(name, sizeof name) && is_invisible_driver(name);
}

}  // namespace

void print_banner() {
    std::printf("Smearwell\n");
    std::printf(" a small paint program by the Smearwell developers\n");
    std::printf("Report problems through the Smearwell issue tracker.\n");
    std::printf("\n");
}

namespace {

// SDL's video subsystem, started twice as the program always has; false (reported, and SDL shut
// down once it had started) when it cannot be had or shows nothing on a display.
bool start_video() {
    std::printf("Initializing SDL.\n");
    // sdl12-compat's SDL 2 drops a click that comes within 10 ms of the window getting the keyboard
    // focus: the click that focuses it, under a window manager that focuses on click, or a click as
    // the program starts. The stroke it began would paint nothing, where classic SDL (which reads
    // no such setting) paints it. SDL 2 reads its settings from the environment; a user's 0 is kept.
    platform::set_environment_default("SDL_MOUSE_FOCUS_CLICKTHROUGH", "1");
    if (!video_driver_chosen()) {
        // Classic SDL 1.2 on POSIX systems falls back to libcaca without a display, which takes
        // over the terminal: its null output instead (a fallback that does start is refused below).
        platform::set_environment_default("CACA_DRIVER", "null");
    }
    std::fflush(stdout);  // ahead of anything the video driver itself may print
    if (SDL_Init(SDL_INIT_VIDEO) == -1) {
        std::printf("Could not initialize SDL: %s.\n", SDL_GetError());
        return false;
    }
    if (fell_back_to_invisible_driver()) {
        std::printf("Could not initialize SDL: %s.\n",
                    "no display is available (to force a video driver, set SDL_VIDEODRIVER, e.g. to x11)");
        SDL_Quit();
        return false;
    }
    std::printf("SDL initialized.\n");
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::fprintf(stderr, "Couldn't initialize SDL: %s\n", SDL_GetError());
        SDL_Quit();
        return false;
    }
    return true;
}

}  // namespace

SDL_Surface* open_display() {
    if (!start_video()) {
        return nullptr;
    }
    SDL_Surface* screen = SDL_SetVideoMode(screen_width, screen_height, screen_depth, SDL_SWSURFACE);
    if (!screen) {
        std::fprintf(stderr, "Couldn't set 800x600x32 video mode: %s\n", SDL_GetError());
        SDL_Quit();
        return nullptr;
    }
    SDL_WM_SetCaption("Smearwell", "Smearwell");
    return screen;
}

// Filled black, which makes it opaque where surfaces have alpha (in the browser, all of them); from
// then on the program alone draws on it.
surface_ptr create_canvas(const SDL_Surface* screen) {
    surface_ptr canvas(SDL_CreateRGBSurface(SDL_SWSURFACE, screen->w, screen->h, screen_depth, 0, 0, 0, 0),
                       SDL_FreeSurface);
    if (canvas) {
        SDL_FillRect(canvas.get(), nullptr, SDL_MapRGB(canvas->format, 0, 0, 0));
        platform::keep_in_memory(canvas.get());
    }
    return canvas;
}

// The brush's disc in the stroke colour on black, black being transparent (see
// platform::make_transparent): it is both the painting tool and the visible cursor.
surface_ptr create_brush() {
    surface_ptr brush(SDL_CreateRGBSurface(SDL_SWSURFACE, brush_size, brush_size, screen_depth, 0, 0, 0, 0),
                      SDL_FreeSurface);
    if (brush) {
        const Uint32 stroke_colour = SDL_MapRGBA(brush->format, stroke_red, stroke_green, stroke_blue, stroke_alpha);
        const Uint32 black = SDL_MapRGB(brush->format, 0, 0, 0);
        SDL_FillRect(brush.get(), nullptr, black);
        with_pixels(brush.get(), [&] {
            fill_disc(brush.get(), brush_centre, brush_centre, brush_radius, stroke_colour);
            platform::make_transparent(brush.get(), black);
        });
        platform::keep_in_memory(brush.get());
    }
    return brush;
}

}  // namespace smearwell
