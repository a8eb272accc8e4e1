// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Events and the main loop: which events change which flags, and how a batch is taken.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/events.hpp"
#include "app/loop.hpp"
#include "app/startup.hpp"
#include "platform.hpp"
#include "raster/pixel.hpp"
#include "raster/surface.hpp"
#include "support.hpp"

namespace {

using smearwell::handle_event;
using smearwell::loop_flags;
using event_type = decltype(SDL_Event::type);  // a byte in SDL 1.2, wider in the browser's SDL

SDL_Event key(event_type type, SDLKey symbol, SDLMod modifiers = KMOD_NONE) {
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = symbol;
    event.key.keysym.mod = modifiers;
    return event;
}

SDL_Event button(event_type type, Uint8 which, Uint16 x = 0, Uint16 y = 0) {
    SDL_Event event{};
    event.type = type;
    event.button.type = type;
    event.button.button = which;
    event.button.x = x;
    event.button.y = y;
    return event;
}

// A key pressed and released.
void tap(SDLKey symbol, loop_flags& flags) {
    handle_event(key(SDL_KEYDOWN, symbol), flags);
    handle_event(key(SDL_KEYUP, symbol), flags);
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

SDL_Event window_state(Uint8 gain, Uint8 state) {
    SDL_Event event{};
    event.type = SDL_ACTIVEEVENT;
    event.active.type = SDL_ACTIVEEVENT;
    event.active.gain = gain;
    event.active.state = state;
    return event;
}

using smearwell::action_kind;
using action = std::array<int, 3>;  // kind, x, y

std::vector<action> actions_of(const loop_flags& flags) {
    std::vector<action> found;
    for (const auto& taken : flags.actions) {
        found.push_back({static_cast<int>(taken.kind), taken.x, taken.y});
    }
    return found;
}

constexpr int press = static_cast<int>(action_kind::press);
constexpr int release = static_cast<int>(action_kind::release);
constexpr int reach = static_cast<int>(action_kind::reach);
constexpr int through = static_cast<int>(action_kind::through);
constexpr int end_stroke = static_cast<int>(action_kind::end_stroke);
constexpr int invert = static_cast<int>(action_kind::invert);
constexpr int convolve = static_cast<int>(action_kind::convolve);

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
    EXPECT_EQ(actions_of(flags),
              (std::vector<action>{{press, 5, 6}, {release, 7, 8}, {press, 300, 200}, {end_stroke, 0, 0}}));
    EXPECT_EQ(flags.drawing, 0);
}

// Filters keep their place among the strokes; one that comes mid-stroke first takes the stroke as
// far as the button is known to have been held: to the stroke's release when the batch holds it
// (SDL's pointer is already past it, where the button was up), else to SDL's pointer.
TEST(Events, FilterKeysActOnReleaseWhateverTheModifiersInTheirPlaceAmongTheStrokes) {
    loop_flags flags;
    handle_event(key(SDL_KEYDOWN, SDLK_i), flags);
    handle_event(key(SDL_KEYDOWN, SDLK_c), flags);
    EXPECT_TRUE(flags.actions.empty());
    handle_event(key(SDL_KEYUP, SDLK_i, KMOD_LSHIFT), flags);
    test::set_pointer(90, 95);  // where the pointer went after the release queued below
    handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20), flags);
    handle_event(key(SDL_KEYUP, SDLK_c, KMOD_CAPS), flags);
    handle_event(button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 60, 70), flags);
    handle_event(key(SDL_KEYUP, SDLK_i), flags);  // no press seen since the last release
    tap(SDLK_i, flags);
    handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 30, 40), flags);
    tap(SDLK_c, flags);  // the button is still held at SDL's pointer
    EXPECT_EQ(actions_of(flags), (std::vector<action>{{invert, 0, 0},
                                                      {press, 10, 20},
                                                      {reach, 60, 70},
                                                      {convolve, 0, 0},
                                                      {release, 60, 70},
                                                      {invert, 0, 0},
                                                      {press, 30, 40},
                                                      {reach, 90, 95},
                                                      {convolve, 0, 0}}));
}

// A stroke whose release cannot reach the window takes its filter keys no further than where it
// was painted: its press in this batch, or, held from an earlier batch, nowhere new.
TEST(Events, FilterKeyOfAStrokeThatEndsWithoutItsReleaseReachesNoFurther) {
    loop_flags flags;
    test::set_pointer(90, 95);
    handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20), flags);
    tap(SDLK_i, flags);
    handle_event(window_state(0, SDL_APPACTIVE), flags);
    EXPECT_EQ(actions_of(flags),
              (std::vector<action>{{press, 10, 20}, {reach, 10, 20}, {invert, 0, 0}, {end_stroke, 0, 0}}));
    flags.actions.clear();
    flags.drawing = 1;  // held from an earlier batch
    tap(SDLK_c, flags);
    handle_event(window_state(0, SDL_APPINPUTFOCUS), flags);
    EXPECT_EQ(actions_of(flags), (std::vector<action>{{convolve, 0, 0}, {end_stroke, 0, 0}}));
}

// Minimised or without the keyboard focus, the window never gets the release: the stroke ends.
// The pointer leaving it ends nothing, and only hides the brush.
TEST(Events, StrokeEndsWhenItsReleaseCanNoLongerReachTheWindow) {
    for (const int state : {SDL_APPACTIVE, SDL_APPINPUTFOCUS}) {
        loop_flags flags;
        handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20), flags);
        handle_event(window_state(0, static_cast<Uint8>(state)), flags);
        EXPECT_EQ(flags.drawing, 0) << state;
        EXPECT_EQ(actions_of(flags), (std::vector<action>{{press, 10, 20}, {end_stroke, 0, 0}})) << state;
    }
    loop_flags flags;
    handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20), flags);
    flags.show_all_request = 0;
    handle_event(window_state(0, SDL_APPMOUSEFOCUS), flags);
    EXPECT_EQ(flags.drawing, 1);
    EXPECT_EQ(flags.pointer_in_window, 0);
    EXPECT_EQ(flags.show_all_request, 1);
    handle_event(window_state(1, SDL_APPMOUSEFOCUS), flags);
    EXPECT_EQ(flags.pointer_in_window, 1);
}

SDL_Event motion(Uint16 x, Uint16 y) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    return event;
}

// Where motion events reach the program (the browser), a held stroke passes through each position
// in order, and a filter key's reach stays where the stroke went on from; one after the last known
// position goes on to the release or, unreleased, back to that position. Motion with the button up
// adds nothing.
TEST(Events, MotionWhileTheButtonIsHeldIsAPositionTheStrokePassesThrough) {
    loop_flags flags;
    handle_event(motion(1, 2), flags);
    handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20), flags);
    handle_event(motion(30, 20), flags);
    test::set_pointer(30, 20);
    tap(SDLK_i, flags);
    handle_event(motion(30, 50), flags);
    tap(SDLK_c, flags);
    handle_event(button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 35, 55), flags);
    handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20), flags);
    handle_event(motion(70, 80), flags);
    tap(SDLK_i, flags);
    handle_event(window_state(0, SDL_APPINPUTFOCUS), flags);
    EXPECT_EQ(actions_of(flags), (std::vector<action>{{press, 10, 20},
                                                      {through, 30, 20},
                                                      {reach, 30, 20},
                                                      {invert, 0, 0},
                                                      {through, 30, 50},
                                                      {reach, 35, 55},
                                                      {convolve, 0, 0},
                                                      {release, 35, 55},
                                                      {press, 10, 20},
                                                      {through, 70, 80},
                                                      {reach, 70, 80},
                                                      {invert, 0, 0},
                                                      {end_stroke, 0, 0}}));
}

TEST(Events, OtherEventsChangeNothing) {
    loop_flags flags;
    handle_event(motion(0, 0), flags);
    handle_event(key(SDL_KEYDOWN, SDLK_a), flags);
    handle_event(key(SDL_KEYUP, SDLK_x), flags);
    handle_event(window_state(1, SDL_APPACTIVE | SDL_APPINPUTFOCUS), flags);
    EXPECT_EQ(flags.drawing + flags.quit_requested, 0);
    EXPECT_TRUE(flags.actions.empty());
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
    Uint32 stroke_colour() const { return SDL_MapRGB(canvas->format, 143, 55, 205); }
    Uint32 black() const { return SDL_MapRGB(canvas->format, 0, 0, 0); }
    Uint32 white() const { return SDL_MapRGB(canvas->format, 255, 255, 255); }
};

TEST_F(Loop, QuitAndPressInOneBatchEndWithoutPainting) {
    if (!test::main_loop_returns()) {
        GTEST_SKIP() << "in a web page the main loop runs one pass an animation frame and never returns";
    }
    test::set_pointer(200, 200);
    push(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT));
    push(quit());
    smearwell::run_main_loop(screen, canvas.get(), brush.get(), last);
    EXPECT_TRUE(test::pixels_not(canvas.get(), black()).empty());
}

TEST_F(Loop, FilterRequestedInTheSameBatchAsAQuitNeverRuns) {
    if (!test::main_loop_returns()) {
        GTEST_SKIP() << "in a web page the main loop runs one pass an animation frame and never returns";
    }
    push(key(SDL_KEYDOWN, SDLK_i));
    push(key(SDL_KEYUP, SDLK_i));
    push(key(SDL_KEYDOWN, SDLK_ESCAPE));
    smearwell::run_main_loop(screen, canvas.get(), brush.get(), last);
    EXPECT_TRUE(test::pixels_not(canvas.get(), black()).empty());
    EXPECT_TRUE(test::updates_of(canvas.get()).empty());
}

// A batch is replayed in the order the user made it, as if the loop had kept up with every event.
TEST_F(Loop, InvertBeforeAStrokeLeavesTheStrokeAsDrawn) {
    loop_flags flags;
    tap(SDLK_i, flags);
    handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 100, 300), flags);
    handle_event(button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 300, 300), flags);
    smearwell::run_pass(screen, canvas.get(), brush.get(), last, flags);
    test::pixel_set stroke;
    for (int x = 100; x <= 300; ++x) {
        stroke.merge(test::shifted(test::brush_disc(), x, 300));
    }
    EXPECT_EQ(test::pixels_not(canvas.get(), white()), stroke);
    EXPECT_EQ(test::pixel_at(canvas.get(), 210, 310), stroke_colour());
    EXPECT_EQ(test::updates_of(screen), (std::vector{test::update_call{screen, 0, 0, 0, 0}}));
    EXPECT_TRUE(flags.actions.empty());
}

TEST_F(Loop, TwoInvertsInOneBatchLeaveTheCanvasAsItWas) {
    loop_flags flags;
    handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 100, 300), flags);
    handle_event(button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 100, 300), flags);
    smearwell::run_pass(screen, canvas.get(), brush.get(), last, flags);
    const auto painted = test::pixels_not(canvas.get(), black());
    ASSERT_EQ(painted, test::shifted(test::brush_disc(), 100, 300));
    tap(SDLK_i, flags);
    tap(SDLK_i, flags);
    smearwell::run_pass(screen, canvas.get(), brush.get(), last, flags);
    EXPECT_EQ(test::pixels_not(canvas.get(), black()), painted);
    EXPECT_EQ(test::pixel_at(canvas.get(), 110, 310), stroke_colour());
}

// The convolution of the black canvas is black; inverted after it, all white, frame included.
TEST_F(Loop, ConvolveThenInvertRunInThatOrder) {
    loop_flags flags;
    tap(SDLK_c, flags);
    tap(SDLK_i, flags);
    test::captured(stdout, [&] { smearwell::run_pass(screen, canvas.get(), brush.get(), last, flags); });
    EXPECT_TRUE(test::pixels_not(canvas.get(), white()).empty());
}

// `i` in the middle of a drag: what was drawn before the key is inverted, what comes after is not.
TEST_F(Loop, InvertDuringADragFiltersOnlyThePartDrawnBeforeIt) {
    loop_flags flags;
    test::set_pointer(100, 300);
    handle_event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 100, 300), flags);
    smearwell::run_pass(screen, canvas.get(), brush.get(), last, flags);
    test::set_pointer(200, 300);  // where the pointer was when the key was read
    tap(SDLK_i, flags);
    test::set_pointer(300, 300);
    smearwell::run_pass(screen, canvas.get(), brush.get(), last, flags);
    test::pixel_set before, after;
    for (int x = 100; x <= 200; ++x) {
        before.merge(test::shifted(test::brush_disc(), x, 300));
    }
    for (int x = 200; x <= 300; ++x) {
        after.merge(test::shifted(test::brush_disc(), x, 300));
    }
    const Uint32 inverted_stroke = SDL_MapRGB(canvas->format, 255 - 143, 255 - 55, 255 - 205);
    smearwell::with_pixels(canvas.get(), [&] {
        for (int y = 295; y < 325; ++y) {
            for (int x = 95; x < 325; ++x) {
                const Uint32 expected = after.count({x, y})    ? stroke_colour()
                                        : before.count({x, y}) ? inverted_stroke
                                                               : white();
                ASSERT_EQ(smearwell::read_pixel(canvas.get(), x, y), expected) << x << "," << y;
            }
        }
    });
}

// Every `c` of a batch convolves once and prints its 598 lines once.
TEST_F(Loop, TwoConvolutionsInOneBatchPrintTheirLinesTwice) {
    loop_flags flags;
    tap(SDLK_c, flags);
    tap(SDLK_c, flags);
    const std::string printed =
        test::captured(stdout, [&] { smearwell::run_pass(screen, canvas.get(), brush.get(), last, flags); });
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 2 * 598);
}

// SDL makes up a release of a key held when the keyboard focus leaves, after telling of the loss
// (classic SDL, which reports the real release too once the focus is back) or just before it
// (sdl12-compat, which also takes the key's repeat for a new press, before the focus is back or
// after, then reports the real release). One keystroke, one invert. Batches are split at `{}`.
TEST_F(Loop, OneKeystrokeActsOnceWhateverTheFocusDoesWhileTheKeyIsDown) {
    const SDL_Event down = key(SDL_KEYDOWN, SDLK_i), up = key(SDL_KEYUP, SDLK_i);
    const SDL_Event lost = window_state(0, SDL_APPINPUTFOCUS), back = window_state(1, SDL_APPINPUTFOCUS);
    const SDL_Event batch_ends{};
    const std::vector<std::pair<std::vector<SDL_Event>, std::size_t>> orders{
        {{down, lost, up, back, up}, 1},
        {{down, up, lost, back}, 1},
        {{down, up, lost, batch_ends, down, back, up}, 1},
        {{down, up, lost, back, batch_ends, down, batch_ends, up}, 1},
        // A key released in this window and pressed again after the focus came back: two keystrokes.
        {{down, lost, up, back, down, up}, 2},
        {{down, up, batch_ends, lost, back, down, up}, 2},
    };
    for (const auto& [events, inverts] : orders) {
        loop_flags flags;
        for (const SDL_Event& event : events) {
            if (event.type == batch_ends.type) {
                smearwell::drain_events(flags);
            } else {
                push(event);
            }
        }
        smearwell::drain_events(flags);
        EXPECT_EQ(flags.actions.size(), inverts) << events.size() << " events";
    }
}

}  // namespace
