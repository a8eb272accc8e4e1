// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// One frame: paint the stroke segment while drawing, recompose the screen from the canvas with the
// brush on top as the pointer image (the system cursor is hidden) where something changed, and
// refresh just that.
#pragma once

#include <memory>
#include <span>

#include <SDL.h>

#include "app/events.hpp"

namespace smearwell {

// Asks SDL to refresh the part of (x, y, w, h) that lies on the screen, and nothing when no part
// does: SDL reads a width or height of 0 as "the whole screen", and classic SDL 1.2 drops any
// rectangle that reaches past the screen.
void refresh_clipped(SDL_Surface* screen, int x, int y, int w, int h);

// Positions are the brush's top-left corner, not its centre.

// What a pass's replay of its batch leaves for the frame.
struct replayed_batch {
    // Where the stroke still held goes on from: the batch's last press, where a filter found it
    // (`reach`), or else `last_position`, where the pointer was in the previous frame.
    SDL_Rect stroke_start{};
    std::unique_ptr<SDL_Rect> painted;  // what the batch's strokes cover; nullptr if nothing
    Uint8 filtered = 0;                 // a filter ran
};

// One stroke segment onto the canvas, its end stamped once more as a frame's stroke always is;
// `dirty` grows to hold it (or is made, if it was nullptr).
void paint_segment(SDL_Surface* canvas, SDL_Surface* brush, const SDL_Rect& from, const SDL_Rect& to,
                   std::unique_ptr<SDL_Rect>& dirty);

// `drawing` is the left button's state after the batch; the stroke it holds runs from the batch's
// `stroke_start` (or from `last_position` without a batch) to the pointer. `last_position`'s x and
// y are rewritten on every call, and its w and h to the pointer image's size when the frame shows
// it, or 0 when it does not: the screen holds the pointer image there. `full_refresh` (a filter ran this pass) wins over drawing: the
// whole screen is copied and refreshed. A frame that neither paints nor filters, with the pointer
// where it was, copies and refreshes nothing. Without `pointer_shown` (the pointer is outside and
// no stroke is held) the screen shows the canvas alone where it changed.
void update_frame(SDL_Surface* screen, SDL_Surface* canvas, SDL_Surface* brush, SDL_Rect& last_position, Uint8 drawing,
                  Uint8 full_refresh, const replayed_batch* batch = nullptr, Uint8 pointer_shown = 1);

}  // namespace smearwell
