// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Ownership of the software surfaces the program creates for itself.
#pragma once

#include <memory>

#include <SDL.h>

namespace smearwell {

// Frees the surface with SDL_FreeSurface; empty when SDL could not create it.
using surface_ptr = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

}  // namespace smearwell
