// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Test main and seams. The unit tests run on SDL's dummy video driver, so no display is needed.
#include "support.hpp"

#include <cstdlib>

#include <gtest/gtest.h>

#include "brush_shape.hpp"
#include "platform.hpp"
#include "raster/pixel.hpp"
#include "raster/surface.hpp"

extern "C" {
void __real_SDL_UpdateRect(SDL_Surface* screen, Sint32 x, Sint32 y, Uint32 w, Uint32 h);
int __real_SDL_UpperBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect);

void __wrap_SDL_UpdateRect(SDL_Surface* screen, Sint32 x, Sint32 y, Uint32 w, Uint32 h) {
    test::update_calls().push_back({screen, x, y, w, h});
    __real_SDL_UpdateRect(screen, x, y, w, h);
}

int __wrap_SDL_UpperBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect) {
    test::blit_calls().push_back({src, dst, dstrect ? dstrect->x : 0, dstrect ? dstrect->y : 0});
    return __real_SDL_UpperBlit(src, srcrect, dst, dstrect);
}
}

namespace test {

namespace {
int pointer_x = 0;
int pointer_y = 0;
}  // namespace

std::vector<update_call>& update_calls() {
    static std::vector<update_call> calls;
    return calls;
}

std::vector<blit_call>& blit_calls() {
    static std::vector<blit_call> calls;
    return calls;
}

void clear_recordings() {
    update_calls().clear();
    blit_calls().clear();
}

std::vector<update_call> updates_of(const SDL_Surface* surface) {
    std::vector<update_call> found;
    for (const auto& call : update_calls()) {
        if (call.surface == surface) {
            found.push_back(call);
        }
    }
    return found;
}

std::vector<std::pair<int, int>> blit_positions(const SDL_Surface* source, const SDL_Surface* destination) {
    std::vector<std::pair<int, int>> found;
    for (const auto& call : blit_calls()) {
        if (call.source == source && call.destination == destination) {
            found.emplace_back(call.x, call.y);
        }
    }
    return found;
}

void set_pointer(int x, int y) {
    pointer_x = x;
    pointer_y = y;
}

// The browser's SDL gives a new surface's memory as it comes from malloc; its canvas is all 0,
// and a lock brings that into memory.
smearwell::surface_ptr make_surface(int w, int h, int depth) {
    smearwell::surface_ptr surface{SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, depth, 0, 0, 0, 0), SDL_FreeSurface};
    if (surface) {
        smearwell::with_pixels(surface.get(), [] {});
    }
    return surface;
}

void fill_surface(SDL_Surface* surface, Uint32 value) {
    smearwell::with_pixels(surface, [&] {
        for (int y = 0; y < surface->h; ++y) {
            for (int x = 0; x < surface->w; ++x) {
                smearwell::write_pixel(surface, x, y, value);
            }
        }
    });
}

pixel_set pixels_not(SDL_Surface* surface, Uint32 background) {
    pixel_set found;
    smearwell::with_pixels(surface, [&] {
        for (int y = 0; y < surface->h; ++y) {
            for (int x = 0; x < surface->w; ++x) {
                if (smearwell::read_pixel(surface, x, y) != background) {
                    found.emplace(x, y);
                }
            }
        }
    });
    return found;
}

Uint32 pixel_at(SDL_Surface* surface, int x, int y) {
    Uint32 value = 0;
    smearwell::with_pixels(surface, [&] { value = smearwell::read_pixel(surface, x, y); });
    return value;
}

void put_pixel(SDL_Surface* surface, int x, int y, Uint32 value) {
    smearwell::with_pixels(surface, [&] { smearwell::write_pixel(surface, x, y, value); });
}

pixel_set block(int x0, int x1, int y0, int y1) {
    pixel_set found;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            found.emplace(x, y);
        }
    }
    return found;
}

pixel_set shifted(const pixel_set& pixels, int dx, int dy) {
    pixel_set moved;
    for (const auto& [x, y] : pixels) {
        moved.emplace(x + dx, y + dy);
    }
    return moved;
}

pixel_set brush_disc() {
    pixel_set disc;
    for (const auto& row : brush_rows) {
        disc.merge(block(row[1], row[2], row[0], row[0]));
    }
    return disc;
}

}  // namespace test

extern "C" Uint8 __wrap_SDL_GetMouseState(int* x, int* y) {
    if (x) {
        *x = test::pointer_x;
    }
    if (y) {
        *y = test::pointer_y;
    }
    return 0;
}

// Read by the sanitizer runtimes when the tests are built with them; unused otherwise.
// sdl12-compat keeps the screen surface of SDL_SetVideoMode past SDL_Quit. Matching that by name
// needs whole stacks, so a leak of our own never matches.
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0:detect_leaks=1";
}
extern "C" const char* __lsan_default_suppressions() {
    return "leak:SDL_SetVideoMode\n";
}

#undef main  // on Windows SDL renames it for its own entry; the tests are a console program of their own
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    test::use_dummy_video();
    // Without SDL's parachute, a test that crashes is reported as a crash by the system (under Wine,
    // with a backtrace); classic SDL's parachute ends the process with no word on Windows.
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) < 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    SDL_Quit();
    return result;
}
