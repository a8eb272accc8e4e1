// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// One frame: paint the stroke segment while drawing, recompose the screen from the canvas with the
// brush on top as the pointer image (the system cursor is hidden), and refresh what changed.
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

// Positions are the brush's top-left corner, not its centre. A stroke runs from where the left
// button went down (or from `last_position`, where the pointer was in the previous frame, if it was
// down already) to where it came up, or to the pointer while it is still down.

// Paints the strokes that ended among `button_changes`, the presses and releases since the
// previous frame. Returns what they cover, or nullptr if none ended. A pass paints them before the
// filters its batch asked for, which came after them.
std::unique_ptr<SDL_Rect> paint_finished_strokes(SDL_Surface* canvas, SDL_Surface* brush, const SDL_Rect& last_position,
                                                 std::span<const button_change> button_changes);

// `drawing` is the left button's state after `button_changes`; `finished_strokes` is what
// paint_finished_strokes covered. `last_position`'s x and y are rewritten on every call.
// `full_refresh` (a filter ran this pass) wins over drawing: the whole screen is refreshed. A frame
// that neither paints nor filters, with the pointer where it was, refreshes nothing.
void update_frame(SDL_Surface* screen, SDL_Surface* canvas, SDL_Surface* brush, SDL_Rect& last_position, Uint8 drawing,
                  Uint8 full_refresh, std::span<const button_change> button_changes = {},
                  const SDL_Rect* finished_strokes = nullptr);

}  // namespace smearwell
