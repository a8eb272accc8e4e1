// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// The per-pass redraw. Every call copies the whole canvas to the screen, but only the strokes'
// dirty rectangle, or the old and new pointer images, are refreshed on the display, and nothing
// when nothing changed.
#include "app/frame.hpp"

#include <algorithm>
#include <memory>

#include "platform/platform.hpp"
#include "raster/stroke.hpp"

namespace smearwell {

void refresh_clipped(SDL_Surface* screen, int x, int y, int w, int h) {
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min(x + w, screen->w);
    const int bottom = std::min(y + h, screen->h);
    if (right <= left || bottom <= top) {
        return;
    }
    SDL_UpdateRect(screen, left, top, static_cast<Uint32>(right - left), static_cast<Uint32>(bottom - top));
}

namespace {

// Only x and y of the result mean anything; blits may fill in w and h.
std::unique_ptr<SDL_Rect> read_pointer_position() {
    auto cell_x = std::make_unique<int>(0);
    auto cell_y = std::make_unique<int>(0);
    SDL_GetMouseState(cell_x.get(), cell_y.get());  // the button state is followed through events
    auto position = std::make_unique<SDL_Rect>();
    position->x = static_cast<Sint16>(*cell_x);
    position->y = static_cast<Sint16>(*cell_y);
    return position;
}

// The smallest rectangle holding `rect` and (x, y, w, h).
void grow_to_hold(SDL_Rect& rect, int x, int y, int w, int h) {
    const int left = std::min<int>(rect.x, x);
    const int top = std::min<int>(rect.y, y);
    const int right = std::max(rect.x + rect.w, x + w);
    const int bottom = std::max(rect.y + rect.h, y + h);
    rect = {static_cast<Sint16>(left), static_cast<Sint16>(top), static_cast<Uint16>(right - left),
            static_cast<Uint16>(bottom - top)};
}

void refresh_changes(SDL_Surface* screen, const SDL_Surface* brush, const SDL_Rect& current,
                     const SDL_Rect& last_position, SDL_Rect* dirty, Uint8 full_refresh) {
    if (full_refresh) {
        SDL_UpdateRect(screen, 0, 0, 0, 0);
    } else if (dirty) {
        // The strokes, and the old and the new pointer image. A stroke that starts at the last
        // position and ends at the pointer already holds both, and that is every stroke while the
        // loop keeps up with its events.
        grow_to_hold(*dirty, current.x, current.y, brush->w, brush->h);
        grow_to_hold(*dirty, last_position.x, last_position.y, brush->w, brush->h);
        refresh_clipped(screen, dirty->x, dirty->y, dirty->w, dirty->h);
    } else if (current.x != last_position.x || current.y != last_position.y) {
        refresh_clipped(screen, current.x, current.y, brush->w, brush->h);
        refresh_clipped(screen, last_position.x, last_position.y, brush->w, brush->h);
    }
    // else nothing changed: the display already shows these very pixels, and asking it to show
    // them again would keep the display server (and any compositor) busy for nothing.
}

}  // namespace

void paint_segment(SDL_Surface* canvas, SDL_Surface* brush, const SDL_Rect& from, const SDL_Rect& to,
                   std::unique_ptr<SDL_Rect>& dirty) {
    const auto segment = stamp_stroke(canvas, brush, from, to);
    platform::blit_whole_at(brush, canvas, to);
    if (!dirty) {
        dirty = std::make_unique<SDL_Rect>(*segment);
    } else {
        grow_to_hold(*dirty, segment->x, segment->y, segment->w, segment->h);
    }
}

void update_frame(SDL_Surface* screen, SDL_Surface* canvas, SDL_Surface* brush, SDL_Rect& last_position, Uint8 drawing,
                  Uint8 full_refresh, const replayed_batch* batch, Uint8 pointer_shown) {
    const auto current = read_pointer_position();
    auto dirty = batch && batch->painted ? std::make_unique<SDL_Rect>(*batch->painted) : nullptr;
    if (drawing) {
        paint_segment(canvas, brush, batch ? batch->stroke_start : last_position, *current, dirty);
    }
    SDL_BlitSurface(canvas, nullptr, screen, nullptr);
    if (pointer_shown) {
        // The pointer image reaches the screen only; the next frame's canvas copy covers it again.
        platform::blit_whole_at(brush, screen, *current);
    }
    refresh_changes(screen, brush, *current, last_position, dirty.get(), full_refresh);
    last_position.x = current->x;
    last_position.y = current->y;
}

}  // namespace smearwell
