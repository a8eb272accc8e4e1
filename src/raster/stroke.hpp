// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Stamping the brush along a digital straight line, so that a pointer that jumped many pixels
// between two frames still leaves an unbroken trail. Drawing is all blits (platform::blit_whole_at);
// the brush's transparency keeps the surround of its disc out.
#pragma once

#include <memory>

#include <SDL.h>

namespace smearwell {

// Stamps the whole brush at max(|dx|, |dy|) + 1 positions from start to end (top-left corners),
// Bresenham-style along the driving axis; a decision value of exactly 0 takes the straight step.
// Returns the dirty rectangle: the endpoints' bounding box grown by the brush's size, clipped at
// the destination's right and bottom edges only. The caller owns it.
std::unique_ptr<SDL_Rect> stamp_stroke(SDL_Surface* destination, SDL_Surface* brush, const SDL_Rect& start,
                                       const SDL_Rect& end);

}  // namespace smearwell
