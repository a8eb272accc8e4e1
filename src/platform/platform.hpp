// SPDX-FileCopyrightText: 2026 The Smearwell developers
// SPDX-License-Identifier: Zlib

// What differs between POSIX systems, Windows and the browser, behind one interface. CMake builds,
// as it finds the target, posix.cpp or windows.cpp (files and standard streams) and desktop.cpp or
// web.cpp (the main loop and the brush's transparency; the browser takes posix.cpp's files and
// streams). Nothing else in the program asks which system it is on.
#pragma once

#include <cstddef>
#include <cstdio>

#include <SDL.h>

namespace smearwell::platform {

// Opens `path` for reading when it names a regular file, and never blocks doing so: a FIFO, a
// named pipe, a terminal, a serial port or a device name such as CON or NUL is refused with the
// reason "not a regular file". Returns the open file and its size in bytes, or nullptr and the
// reason (a static string).
std::FILE* open_regular_file(const char* path, Sint64& size, const char*& reason);

// Sets the environment variable `name` to `value` for SDL (or a library below it) to read, unless
// the user set it.
void set_environment_default(const char* name, const char* value);

// Called first thing, before anything is printed or SDL starts. Output that cannot be written is
// dropped and the program goes on painting: on POSIX systems a write to a pipe whose reader left
// fails (EPIPE) instead of killing the program with SIGPIPE, and any of descriptors 0-2 that is
// closed is opened on the null device, so that no descriptor SDL opens later (its X connection)
// becomes standard output. On Windows neither can happen: there is no SIGPIPE, and SDL's entry
// has already pointed standard output and standard error at stdout.txt and stderr.txt.
void make_standard_streams_safe();

// Writes `size` bytes to `stream` in one system write (more only if the system takes less): what
// the stream holds is flushed first, then the bytes go straight to its file descriptor. A
// line-buffered stream would otherwise make a write of every line.
void write_at_once(std::FILE* stream, const char* data, std::size_t size);

// The pointer position is read from SDL once a pass, never from motion events. Left switched on,
// motion events would fill SDL's queue (128 events in both desktop libraries, the rest dropped
// silently) whenever the program falls behind, and a button release or Escape behind them would be
// lost. The browser's SDL cannot switch them off; its queue holds 10,000 events, and one pass an
// animation frame reads them all: there a held stroke is painted through each motion's position,
// as many as the browser reports between two frames (handle_event).
void ignore_motion_events();

// From now on the pixels of `surface`, one the program draws on itself (the canvas, the brush), stay
// where the program reads and writes them, and nothing but the program changes them. On the
// desktop they always do. The browser's SDL keeps every surface in a canvas element as well, and
// copies the whole element into memory at each lock and back at each unlock (a filter's 800x600
// pixels read back from the page and written to it again): there the surface stays locked from
// here on, so that every later lock and unlock of it (SDL counts them) copies nothing, and what is
// drawn on it goes to memory alone (see blit_whole_at and copy_to_screen). Its canvas element keeps
// what it holds now.
void keep_in_memory(SDL_Surface* surface);

// All of `source` blitted with its top-left corner at `position` of `destination`; the caller's
// position stays as it was (SDL moves a rectangle's x and y when it clips). SDL's blit; in the
// browser, onto a surface kept in memory, a copy in memory of the source's opaque pixels (the
// source's pixels are each opaque or transparent, see make_transparent), which is what SDL's
// drawImage gives; onto the screen, the drawing that SDL's blit does.
void blit_whole_at(SDL_Surface* source, SDL_Surface* destination, const SDL_Rect& position);

// The pixels of `area` of `source`, a surface as large as the screen, copied to the same place on
// the screen, exactly; `area` lies on both. Only what changed is copied: an idle frame copies
// nothing. SDL's blit; in the browser, from a surface kept in memory, that area of its memory put
// straight on the page's canvas (putImageData), without going through its own canvas element.
void copy_to_screen(SDL_Surface* source, SDL_Surface* screen, const SDL_Rect& area);

// Whether the pointer is over the window, as the system last said: SDL's own state on the desktop.
// The browser's SDL does not follow the pointer in and out of the canvas; the page does.
bool pointer_over_window();

// Whether `event`, one that SDL 1.2 does not define, says that the window can no longer get the
// button's release. The browser's SDL reports the page losing the focus or being hidden as SDL 2's
// window events; the desktop libraries report that as SDL_ACTIVEEVENT and send no such events.
bool window_lost_input(const SDL_Event& event);

// Pixels of `surface` whose colour is `key` are left out when it is blitted. The colour key does it
// where SDL honours one; run-length encoded (SDL_RLEACCEL), it blits exactly the same pixels, and
// classic SDL then copies only the brush's disc instead of testing every pixel of every stamp. The
// browser's SDL ignores colour keys: there the surface's own alpha does it, and every other pixel
// is made opaque. Called with the pixels locked (see with_pixels): that SDL keeps pixels in a
// canvas element, which rounds the colour of a pixel that is not opaque at every unlock.
void make_transparent(SDL_Surface* surface, Uint32 key);

// The main loop: `pass(state)` again and again while it returns true. On the desktop it runs them
// one after another, with a millisecond's pause between two (desktop.cpp), and returns when done.
// A web page may not spin: there a pass runs in an animation frame, and none at all after one that
// left no event queued until SDL hears one (the page at rest costs its browser nothing); `pass`,
// which reads the queue and then draws, must then have nothing left to do. Once done the program
// ends, status 0, without returning here.
void repeat_passes(bool (*pass)(void* state), void* state);

}  // namespace smearwell::platform
