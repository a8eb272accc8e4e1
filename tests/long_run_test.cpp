// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// A long drag: 100,000 frames with the left button held while the pointer moves. Every record a
// frame allocates must be released in that frame, so the heap stays flat.
#include <gtest/gtest.h>

#include "app/frame.hpp"
#include "app/startup.hpp"
#include "platform.hpp"
#include "support.hpp"

namespace {

void drag_frames(SDL_Surface* screen, SDL_Surface* canvas, SDL_Surface* brush, SDL_Rect& last, int first, int count) {
    for (int i = first; i < first + count; ++i) {
        // A zigzag over the whole window, leaving it at the right and bottom edges now and then.
        test::set_pointer(i * 7 % 810, i * 3 % 610);
        smearwell::update_frame(screen, canvas, brush, last, 1, 0);
        test::clear_recordings();  // the seams' records are the test's, not the frame's
    }
}

TEST(LongRun, HundredThousandDrawingFramesKeepTheHeapFlat) {
    SDL_Surface* screen = SDL_SetVideoMode(800, 600, 32, SDL_SWSURFACE);
    ASSERT_NE(screen, nullptr);
    auto canvas = smearwell::create_canvas(screen);
    auto brush = smearwell::create_brush();
    SDL_Rect last{};
    drag_frames(screen, canvas.get(), brush.get(), last, 0, 1000);  // let SDL settle its own caches
    const size_t before = test::heap_in_use();
    if (before == 0) {
        GTEST_SKIP() << "this C library cannot count the bytes on its heap";
    }
    drag_frames(screen, canvas.get(), brush.get(), last, 1000, 100000);
    const size_t after = test::heap_in_use();
    EXPECT_LE(after, before + 4096) << "heap grew from " << before << " to " << after << " bytes";
}

}  // namespace
