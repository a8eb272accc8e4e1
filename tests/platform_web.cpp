// SPDX-FileCopyrightText: 2026 The Smearwell developers
// SPDX-License-Identifier: Zlib

// The browser's SDL under node (web/node_page.js stands in for the page).
#include <malloc.h>

#include "platform.hpp"
#include "support.hpp"

// The program's blits reach the canvases without SDL_UpperBlit there (see blit_whole_at), so the
// tests record them one step earlier, at the platform seam: --wrap takes its mangled name.
extern "C" {
void __real__ZN9smearwell8platform13blit_whole_atEP11SDL_SurfaceS2_RK8SDL_Rect(SDL_Surface* source,
                                                                               SDL_Surface* destination,
                                                                               const SDL_Rect& position);
void __wrap__ZN9smearwell8platform13blit_whole_atEP11SDL_SurfaceS2_RK8SDL_Rect(SDL_Surface* source,
                                                                               SDL_Surface* destination,
                                                                               const SDL_Rect& position) {
    test::blit_calls().push_back({source, destination, position.x, position.y});
    __real__ZN9smearwell8platform13blit_whole_atEP11SDL_SurfaceS2_RK8SDL_Rect(source, destination, position);
}
}

namespace test {

// The browser's SDL has one video driver, the page's canvas.
void use_dummy_video() {}

std::size_t heap_in_use() {
    return mallinfo().uordblks;
}

// Emscripten's dup2 opens the file again by its name, which a deleted file no longer has.
std::FILE* scratch_file() {
    return std::fopen("/tmp/scratch", "w+");
}

// The main loop runs one pass an animation frame and never returns to its caller.
bool main_loop_returns() {
    return false;
}

}  // namespace test
