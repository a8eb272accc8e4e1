// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// The frame update on a dummy-driver screen: what is painted, and exactly what is refreshed.
#include <array>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "app/frame.hpp"
#include "app/startup.hpp"
#include "raster/pixel.hpp"
#include "raster/surface.hpp"
#include "support.hpp"

namespace {

using test::update_call;

class Frame : public testing::Test {
protected:
    SDL_Surface* screen = SDL_SetVideoMode(800, 600, 32, SDL_SWSURFACE);
    Uint32 stroke = SDL_MapRGB(screen->format, 143, 55, 205);  // opaque on the canvas
    Uint32 black = SDL_MapRGB(screen->format, 0, 0, 0);
    smearwell::surface_ptr canvas = smearwell::create_canvas(screen);
    smearwell::surface_ptr brush = smearwell::create_brush();
    SDL_Rect last{};

    void SetUp() override {
        ASSERT_NE(screen, nullptr);
        ASSERT_TRUE(canvas && brush);
        SDL_FillRect(screen, nullptr, black);  // frames copy only what changes: none left by a test before
    }

    std::vector<update_call> frame(int x, int y, Uint8 drawing, Uint8 full_refresh = 0, Uint8 pointer_shown = 1) {
        test::set_pointer(x, y);
        test::clear_recordings();
        smearwell::update_frame(screen, canvas.get(), brush.get(), last, drawing, full_refresh, nullptr,
                                pointer_shown);
        return test::updates_of(screen);
    }

    void start_at(int x, int y) {
        last.x = static_cast<Sint16>(x);
        last.y = static_cast<Sint16>(y);
    }

    update_call rect(int x, int y, int w, int h) const {
        return {screen, x, y, static_cast<Uint32>(w), static_cast<Uint32>(h)};
    }
};

TEST_F(Frame, NotDrawingRefreshesTheNewThenTheOldPointerImageAndNothingWhenThePointerStandsStill) {
    EXPECT_EQ(frame(100, 50, 0), (std::vector{rect(100, 50, 20, 20), rect(0, 0, 20, 20)}));
    EXPECT_TRUE(frame(100, 50, 0).empty());  // the display already shows exactly this
    EXPECT_EQ(frame(101, 50, 0), (std::vector{rect(101, 50, 20, 20), rect(100, 50, 20, 20)}));
    EXPECT_TRUE(test::pixels_not(canvas.get(), black).empty());
}

TEST_F(Frame, CopiesToTheScreenOnlyWhatItRefreshes) {
    frame(100, 50, 0);
    test::put_pixel(screen, 400, 300, stroke);  // where no frame below refreshes
    frame(101, 50, 0);
    frame(101, 50, 0);
    auto expected = test::shifted(test::brush_disc(), 101, 50);
    expected.insert({400, 300});
    EXPECT_EQ(test::pixels_not(screen, black), expected);
}

TEST_F(Frame, PointerImageGoingWhereItStandsIsErasedThere) {
    frame(100, 50, 0);
    EXPECT_EQ(frame(100, 50, 0, 0, 0), (std::vector{rect(100, 50, 20, 20)}));
    EXPECT_TRUE(test::pixels_not(screen, black).empty());
    EXPECT_TRUE(frame(100, 50, 0, 0, 0).empty());
}

TEST_F(Frame, PointerImageIsTheDiscWithItsTopLeftCornerAtThePointer) {
    frame(300, 200, 0);
    EXPECT_EQ(test::pixels_not(screen, black), test::shifted(test::brush_disc(), 300, 200));
    smearwell::with_pixels(screen, [&] {
        for (const auto& [x, y] : test::shifted(test::brush_disc(), 300, 200)) {
            ASSERT_EQ(smearwell::read_pixel(screen, x, y), stroke);
        }
    });
}

TEST_F(Frame, PointerRefreshesAreClippedToTheScreen) {
    EXPECT_EQ(frame(790, 590, 0), (std::vector{rect(790, 590, 10, 10), rect(0, 0, 20, 20)}));
    EXPECT_EQ(frame(800, 600, 0), (std::vector{rect(790, 590, 10, 10)}));  // nothing at (800,600) shows
}

TEST_F(Frame, DrawingRefreshesOnlyTheStrokesDirtyRectangle) {
    start_at(100, 100);
    EXPECT_EQ(frame(300, 150, 1), (std::vector{rect(100, 100, 220, 70)}));
    const auto painted = test::pixels_not(canvas.get(), black);
    EXPECT_TRUE(painted.count({110, 110}) && painted.count({310, 160}) && painted.count({210, 135}));
    EXPECT_EQ(last.x, 300);
    EXPECT_EQ(last.y, 150);
}

TEST_F(Frame, PressWithoutMovingStampsOnceAtThePointer) {
    start_at(40, 30);
    EXPECT_EQ(frame(40, 30, 1), (std::vector{rect(40, 30, 20, 20)}));
    EXPECT_EQ(test::pixels_not(canvas.get(), black), test::shifted(test::brush_disc(), 40, 30));
}

TEST_F(Frame, DirtyRectangleIsClippedAndAnEmptyOneIsSkipped) {
    start_at(790, 300);
    EXPECT_EQ(frame(800, 300, 1), (std::vector{rect(790, 300, 10, 20)}));
    // Dragged out along the right edge: SDL reports x = 800, and nothing of the stroke is on screen.
    EXPECT_TRUE(frame(800, 600, 1).empty());
    EXPECT_EQ(frame(790, 590, 1), (std::vector{rect(790, 590, 10, 10)}));
    for (const auto& call : test::update_calls()) {
        EXPECT_TRUE(call.w > 0 && call.h > 0);
    }
}

TEST_F(Frame, FullRefreshWinsOverDrawingButTheStrokeIsStillPainted) {
    start_at(10, 10);
    EXPECT_EQ(frame(60, 10, 1, 1), (std::vector{rect(0, 0, 0, 0)}));
    EXPECT_EQ(test::pixels_not(canvas.get(), black).size(), 204u + 50u * 17u);
}

// The brush's colour is mapped on its own layout, not the screen's: the two differ on a display
// whose channels lie in another order (blue in the high byte here).
TEST(Brush, HoldsTheStrokeColourInItsOwnLayoutWhateverTheScreens) {
    ASSERT_NE(SDL_SetVideoMode(800, 600, 32, SDL_SWSURFACE), nullptr);
    const smearwell::surface_ptr bgr_screen(
        SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 4, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0), SDL_FreeSurface);
    if (SDL_MapRGB(bgr_screen->format, 143, 55, 205) == SDL_MapRGB(smearwell::create_brush()->format, 143, 55, 205)) {
        GTEST_SKIP() << "this SDL keeps every surface in one layout, whatever masks are asked for";
    }
    const auto brush = smearwell::create_brush();
    Uint8 red = 0, green = 0, blue = 0;
    SDL_GetRGB(test::pixel_at(brush.get(), 10, 10), brush->format, &red, &green, &blue);
    EXPECT_EQ((std::array{red, green, blue}), (std::array<Uint8, 3>{143, 55, 205}));
}

TEST_F(Frame, LastPointerPositionIsRewrittenEveryCall) {
    for (const auto& [x, y, drawing] : {std::array{5, 6, 0}, std::array{700, 500, 1}, std::array{12, 34, 0}}) {
        frame(x, y, static_cast<Uint8>(drawing));
        EXPECT_EQ(last.x, x);
        EXPECT_EQ(last.y, y);
    }
}

}  // namespace
