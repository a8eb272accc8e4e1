// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Loading a BMP file onto a surface, and seeding the C library's random generator. Neither is
// wired to any input; both keep no state.
#pragma once

#include <cstddef>

#include <SDL.h>

namespace smearwell {

// Copies the BMP image at `path` onto `destination` with its top-left corner at (x, y), cut at the
// destination's clip rectangle. On a paletted destination, the entries 0 .. n-1 take the image's n
// declared colours first. Failures are one line on standard error and leave the destination (and
// its palette) untouched: "Couldn't load <path>: <reason>", or "BlitSurface error: ..." when SDL's
// blit itself fails. Paths that are not regular files are refused without blocking, and so are
// files whose header SDL's reader cannot be trusted with, and positions outside -32768 .. 32767.
// Does not refresh the display.
void load_image_at(const char* path, SDL_Surface* destination, int x, int y);

// The part of load_image_at after the file is open, for any stream: `header` holds the stream's
// first `header_length` bytes, `stream_size` is its length in bytes, and `name` names it in
// messages. The stream is closed on every path.
void load_bmp_stream_at(SDL_RWops* stream, const Uint8* header, std::size_t header_length, Sint64 stream_size,
                        const char* name, SDL_Surface* destination, int x, int y);

// Seeds rand() from the calendar time in seconds: two calls within one second give one sequence.
void seed_random();

}  // namespace smearwell
