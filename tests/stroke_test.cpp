// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Brush strokes: where the stamps land, in which order, and the dirty rectangle.
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "raster/stroke.hpp"
#include "support.hpp"

namespace {

using positions = std::vector<std::pair<int, int>>;

SDL_Rect at(int x, int y) {
    SDL_Rect position{};
    position.x = static_cast<Sint16>(x);
    position.y = static_cast<Sint16>(y);
    return position;
}

class Stroke : public testing::Test {
protected:
    smearwell::surface_ptr canvas = test::make_surface(800, 600, 32);
    smearwell::surface_ptr brush = test::make_surface(20, 20, 32);

    positions stamps(SDL_Rect start, SDL_Rect end) {
        test::clear_recordings();
        smearwell::stamp_stroke(canvas.get(), brush.get(), start, end);
        return test::blit_positions(brush.get(), canvas.get());
    }

    SDL_Rect dirty(SDL_Rect start, SDL_Rect end) {
        return *smearwell::stamp_stroke(canvas.get(), brush.get(), start, end);
    }
};

TEST_F(Stroke, StampsFollowTheLineInBothDirectionsAndOnBothAxes) {
    EXPECT_EQ(stamps(at(7, 7), at(7, 7)), (positions{{7, 7}}));
    EXPECT_EQ(stamps(at(0, 0), at(2, 1)), (positions{{0, 0}, {1, 0}, {2, 1}}));
    EXPECT_EQ(stamps(at(0, 0), at(10, 5)),
              (positions{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}, {6, 3}, {7, 3}, {8, 4}, {9, 4}, {10, 5}}));
    EXPECT_EQ(stamps(at(10, 10), at(0, 5)),
              (positions{{10, 10}, {9, 10}, {8, 9}, {7, 9}, {6, 8}, {5, 8}, {4, 7}, {3, 7}, {2, 6}, {1, 6}, {0, 5}}));
    EXPECT_EQ(stamps(at(0, 0), at(2, 5)), (positions{{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}}));
    EXPECT_EQ(stamps(at(2, 5), at(0, 0)), (positions{{2, 5}, {2, 4}, {1, 3}, {1, 2}, {0, 1}, {0, 0}}));
    EXPECT_EQ(stamps(at(0, 0), at(3, 3)), (positions{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
    EXPECT_EQ(stamps(at(3, 4), at(3, 9)), (positions{{3, 4}, {3, 5}, {3, 6}, {3, 7}, {3, 8}, {3, 9}}));
}

TEST_F(Stroke, FullWidthStrokeIsOneStampPerColumn) {
    const auto placed = stamps(at(0, 300), at(799, 300));
    ASSERT_EQ(placed.size(), 800u);
    for (int x = 0; x < 800; ++x) {
        EXPECT_EQ(placed[static_cast<size_t>(x)], std::make_pair(x, 300));
    }
}

TEST_F(Stroke, DirtyRectangleCoversTheEndpointsAndIsCutOnlyAtRightAndBottom) {
    auto expect_rect = [](SDL_Rect r, int x, int y, int w, int h) {
        EXPECT_EQ((std::vector<int>{r.x, r.y, r.w, r.h}), (std::vector<int>{x, y, w, h}));
    };
    expect_rect(dirty(at(7, 7), at(7, 7)), 7, 7, 20, 20);
    expect_rect(dirty(at(0, 0), at(10, 5)), 0, 0, 30, 25);
    expect_rect(dirty(at(10, 10), at(0, 5)), 0, 5, 30, 25);
    expect_rect(dirty(at(790, 100), at(795, 100)), 790, 100, 10, 20);
    expect_rect(dirty(at(790, 590), at(790, 590)), 790, 590, 10, 10);
    expect_rect(dirty(at(780, 580), at(780, 580)), 780, 580, 20, 20);
    expect_rect(dirty(at(-5, -5), at(-5, -5)), -5, -5, 20, 20);
    expect_rect(dirty(at(800, 600), at(800, 600)), 800, 600, 0, 0);
}

TEST_F(Stroke, OneByOneBrushShowsEveryStampAsOnePixel) {
    auto dot = test::make_surface(1, 1, 32);
    test::put_pixel(dot.get(), 0, 0, SDL_MapRGB(dot->format, 255, 255, 255));
    auto target = test::make_surface(40, 30, 32);
    const auto rect = smearwell::stamp_stroke(target.get(), dot.get(), at(10, 10), at(0, 5));
    EXPECT_EQ(
        test::pixels_not(target.get(), 0),
        (test::pixel_set{{10, 10}, {9, 10}, {8, 9}, {7, 9}, {6, 8}, {5, 8}, {4, 7}, {3, 7}, {2, 6}, {1, 6}, {0, 5}}));
    EXPECT_EQ((std::vector<int>{rect->x, rect->y, rect->w, rect->h}), (std::vector<int>{0, 5, 11, 6}));
}

// SDL moves a blit's destination rectangle when it clips at the left or top; the stroke must
// still follow its own line rather than restart from the clipped corner.
TEST_F(Stroke, StampsClippedAtTheTopLeftDoNotBendTheLine) {
    auto dot = test::make_surface(1, 1, 32);
    test::put_pixel(dot.get(), 0, 0, SDL_MapRGB(dot->format, 255, 255, 255));
    auto target = test::make_surface(40, 30, 32);
    smearwell::stamp_stroke(target.get(), dot.get(), at(-4, -4), at(4, 4));
    EXPECT_EQ(test::pixels_not(target.get(), 0), (test::pixel_set{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}));
}

}  // namespace
