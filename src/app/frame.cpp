// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// The per-pass redraw. Every call copies the whole canvas to the screen, but only the stroke's
// dirty rectangle, or the old and new pointer images, are refreshed on the display.
#include "app/frame.hpp"

#include <algorithm>
#include <memory>

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

void refresh_changes(SDL_Surface* screen, const SDL_Surface* brush, const SDL_Rect& current,
                     const SDL_Rect& last_position, const SDL_Rect* dirty, Uint8 full_refresh) {
    if (full_refresh) {
        SDL_UpdateRect(screen, 0, 0, 0, 0);
    } else if (dirty) {
        // Spans the whole segment plus the brush, so it covers the old and the new pointer image.
        refresh_clipped(screen, dirty->x, dirty->y, dirty->w, dirty->h);
    } else {
        refresh_clipped(screen, current.x, current.y, brush->w, brush->h);
        refresh_clipped(screen, last_position.x, last_position.y, brush->w, brush->h);
    }
}

}  // namespace

void update_frame(SDL_Surface* screen, SDL_Surface* canvas, SDL_Surface* brush, SDL_Rect& last_position, Uint8 drawing,
                  Uint8 full_refresh) {
    const auto current = read_pointer_position();
    std::unique_ptr<SDL_Rect> dirty;
    if (drawing) {
        dirty = stamp_stroke(canvas, brush, last_position, *current);
        blit_whole_at(brush, canvas, *current);
    }
    SDL_BlitSurface(canvas, nullptr, screen, nullptr);
    // The pointer image reaches the screen only; the next frame's canvas copy covers it again.
    blit_whole_at(brush, screen, *current);
    refresh_changes(screen, brush, *current, last_position, dirty.get(), full_refresh);
    last_position.x = current->x;
    last_position.y = current->y;
}

}  // namespace smearwell
