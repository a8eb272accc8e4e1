// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Whole-surface invert: every pixel becomes white minus its pixel value.
#pragma once

#include <SDL.h>

namespace smearwell {

// In place; white is mapped on the surface's own format. On the canvas a pixel whose top byte is 0
// gets each channel complemented; a nonzero top byte t becomes (256 - t) mod 256. Inverting twice
// restores every pixel at every pixel size.
void invert_canvas(SDL_Surface* surface);

}  // namespace smearwell
