// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Events and the main loop: which events change which flags, and how a batch is taken.
#include <array>
#include <vector>

#include <gtest/gtest.h>

#include "app/events.hpp"
#include "app/loop.hpp"
#include "app/startup.hpp"
#include "raster/pixel.hpp"
#include "support.hpp"

namespace {

using smearwell::handle_event;
using smearwell::loop_flags;

SDL_Event key(Uint8 type, SDLKey symbol, SDLMod modifiers = KMOD_NONE) {
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = symbol;
    event.key.keysym.mod = modifiers;
    return event;
}

SDL_Event button(Uint8 type, Uint8 which, Uint16 x = 0, Uint16 y = 0) {
    SDL_Event event{};
    event.type = type;
    event.button.type = type;
    event.button.button = which;
    event.button.x = x;
    event.button.y = y;
    return event;
}

SDL_Event quit() {
    SDL_Event event{};
    event.type = SDL_QUIT;
    return event;
}

TEST(Events, EscapeQuitsOnPressNotOnRelease) {
    loop_flags flags;
    handle_event(key(SDL_KEYUP, SDLK_ESCAPE), flags);
    EXPECT_EQ(flags.quit_requested, 0);
    handle_event(key(SDL_KEYDOWN, SDLK_ESCAPE), flags);
    EXPECT_EQ(flags.quit_requested, 1);
    handle_event(key(SDL_KEYUP, SDLK_ESCAPE), flags);
    EXPECT_EQ(flags.quit_requested, 1);  // never cleared once set
}

TEST(Events, OnlyTheLeftButtonStartsAndStopsDrawing) {
    loop_flags flags;
    handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT), flags);
    handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE), flags);
    EXPECT_EQ(flags.drawing, 0);
    handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT), flags);
    handle_event(button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT), flags);
    handle_event(button(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE), flags);
    EXPECT_EQ(flags.drawing, 1);
    handle_event(button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT), flags);
    EXPECT_EQ(flags.drawing, 0);
}

// Strokes start and end at the button events' own positions; a repeated press or release is no
// change; a release SDL dropped from its full queue is made good from SDL's button state, at the
// press, never at the pointer, where the button may never have been down.
TEST(Events, LeftButtonChangesKeepTheirPositionsAndOrder) {
    loop_flags flags;
    handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 6), flags);
    handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 9, 9), flags);
    handle_event(button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 7, 8), flags);
    handle_event(button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 9, 9), flags);
    handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 300, 200), flags);
    test::set_pointer(310, 210);  // SDL's state says every button is up
    smearwell::drain_events(flags);
    ASSERT_EQ(flags.button_changes.size(), 4u);
    const std::vector<std::array<int, 3>> expected{{1, 5, 6}, {0, 7, 8}, {1, 300, 200}, {0, 300, 200}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& change = flags.button_changes[i];
        EXPECT_EQ((std::array<int, 3>{change.pressed, change.x, change.y}), expected[i]) << i;
    }
    EXPECT_EQ(flags.drawing, 0);
}

TEST(Events, FilterKeysActOnReleaseWhateverTheModifiers) {
    loop_flags flags;
    handle_event(key(SDL_KEYDOWN, SDLK_i), flags);
    handle_event(key(SDL_KEYDOWN, SDLK_c), flags);
    EXPECT_EQ(flags.invert_request + flags.convolve_request, 0);
    handle_event(key(SDL_KEYUP, SDLK_i, KMOD_LSHIFT), flags);
    EXPECT_EQ(flags.invert_request, 1);
    handle_event(key(SDL_KEYUP, SDLK_c, KMOD_CAPS), flags);
    EXPECT_EQ(flags.convolve_request, 1);
}

TEST(Events, OtherEventsChangeNothing) {
    loop_flags flags;
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    handle_event(motion, flags);
    handle_event(key(SDL_KEYDOWN, SDLK_a), flags);
    handle_event(key(SDL_KEYUP, SDLK_x), flags);
    EXPECT_EQ(flags.drawing + flags.quit_requested + flags.invert_request + flags.convolve_request, 0);
}

class Loop : public testing::Test {
protected:
    SDL_Surface* screen = SDL_SetVideoMode(800, 600, 32, SDL_SWSURFACE);
    smearwell::surface_ptr canvas = smearwell::create_canvas(screen);
    smearwell::surface_ptr brush = smearwell::create_brush();
    SDL_Rect last{};

    void SetUp() override {
        SDL_Event stale;
        while (SDL_PollEvent(&stale)) {
        }
        test::clear_recordings();
    }

    void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 0); }
};

TEST_F(Loop, QuitAndPressInOneBatchEndWithoutPainting) {
    test::set_pointer(200, 200);
    push(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT));
    push(quit());
    smearwell::run_main_loop(screen, canvas.get(), brush.get(), last);
    EXPECT_TRUE(test::pixels_not(canvas.get(), 0).empty());
}

TEST_F(Loop, FilterRequestedInTheSameBatchAsAQuitNeverRuns) {
    push(key(SDL_KEYUP, SDLK_i));
    push(key(SDL_KEYDOWN, SDLK_ESCAPE));
    smearwell::run_main_loop(screen, canvas.get(), brush.get(), last);
    EXPECT_TRUE(test::pixels_not(canvas.get(), 0).empty());
    EXPECT_TRUE(test::updates_of(canvas.get()).empty());
}

TEST_F(Loop, PassRunsInvertThenConvolveThenOneFullRefreshAndClearsTheRequests) {
    loop_flags flags;
    flags.invert_request = 1;
    flags.convolve_request = 1;
    smearwell::run_pass(screen, canvas.get(), brush.get(), last, flags);
    // The convolution of the all-white inverted canvas: white inside, a black frame.
    EXPECT_EQ(smearwell::read_pixel(canvas.get(), 400, 300), 0xFFFFFFu);
    EXPECT_EQ(smearwell::read_pixel(canvas.get(), 0, 300), 0u);
    const test::update_call whole{screen, 0, 0, 0, 0};
    EXPECT_EQ(test::updates_of(screen), (std::vector{whole}));
    EXPECT_EQ(flags.invert_request + flags.convolve_request, 0);
}

TEST_F(Loop, TwoInvertsInOneBatchInvertOnce) {
    loop_flags flags;
    handle_event(key(SDL_KEYUP, SDLK_i), flags);
    handle_event(key(SDL_KEYUP, SDLK_i), flags);
    smearwell::run_pass(screen, canvas.get(), brush.get(), last, flags);
    EXPECT_EQ(smearwell::read_pixel(canvas.get(), 400, 300), 0xFFFFFFu);
}

}  // namespace
