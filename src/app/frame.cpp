// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// The per-pass redraw. The screen is recomposed, and refreshed on the display, only where something
// changed: the strokes' dirty rectangle, or the old and new pointer images; the whole window after a
// filter. A frame in which nothing changed copies nothing and refreshes nothing. Everywhere else
// the screen already holds the canvas with the pointer image at its last place.
#include "app/frame.hpp"

#include <algorithm>
#include <memory>

#include "platform/platform.hpp"
#include "raster/stroke.hpp"

namespace smearwell {

namespace {

// The part of (x, y, w, h) that lies on the screen; false when no part does.
bool clip_to_screen(const SDL_Surface* screen, int x, int y, int w, int h, SDL_Rect& clipped) {
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min(x + w, screen->w);
    const int bottom = std::min(y + h, screen->h);
    if (right <= left || bottom <= top) {
        return false;
    }
    clipped = {static_cast<Sint16>(left), static_cast<Sint16>(top), static_cast<Uint16>(right - left),
               static_cast<Uint16>(bottom - top)};
    return true;
}

}  // namespace

void refresh_clipped(SDL_Surface* screen, int x, int y, int w, int h) {
    SDL_Rect area{};
    if (clip_to_screen(screen, x, y, w, h, area)) {
        SDL_UpdateRect(screen, area.x, area.y, area.w, area.h);
    }
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

// The areas of the screen that change this frame, on the screen and in the order they are
// refreshed; none when nothing changed.
struct changed_areas {
    SDL_Rect area[2]{};
    int count = 0;
    Uint8 whole = 0;  // the whole screen, refreshed as SDL's (0, 0, 0, 0)
};

void add_area(changed_areas& changes, const SDL_Surface* screen, int x, int y, int w, int h) {
    if (clip_to_screen(screen, x, y, w, h, changes.area[changes.count])) {
        ++changes.count;
    }
}

changed_areas find_changes(const SDL_Surface* screen, const SDL_Surface* brush, const SDL_Rect& current,
                           const SDL_Rect& last_position, SDL_Rect* dirty, Uint8 full_refresh, Uint8 pointer_shown) {
    changed_areas changes;
    if (full_refresh) {
        changes.whole = 1;
        add_area(changes, screen, 0, 0, screen->w, screen->h);
    } else if (dirty) {
        // The strokes, and the old and the new pointer image. A stroke that starts at the last
        // position and ends at the pointer already holds both, and that is every stroke while the
        // loop keeps up with its events.
        grow_to_hold(*dirty, current.x, current.y, brush->w, brush->h);
        grow_to_hold(*dirty, last_position.x, last_position.y, brush->w, brush->h);
        add_area(changes, screen, dirty->x, dirty->y, dirty->w, dirty->h);
    } else if (current.x != last_position.x || current.y != last_position.y) {
        add_area(changes, screen, current.x, current.y, brush->w, brush->h);
        add_area(changes, screen, last_position.x, last_position.y, brush->w, brush->h);
    } else if (pointer_shown != (last_position.w != 0)) {
        // The pointer image comes or goes where it stands: a stroke held outside the window ended
        // without a release, as when the focus left.
        add_area(changes, screen, current.x, current.y, brush->w, brush->h);
    }
    // else nothing changed: the display already shows these very pixels, and copying or showing
    // them again would keep the browser, the display server (and any compositor) busy for nothing.
    return changes;
}

// The canvas copied to the screen where it changed, the pointer image on top, then those areas
// refreshed. The pointer image always lies inside them: they hold its new place.
void show_changes(SDL_Surface* screen, SDL_Surface* canvas, SDL_Surface* brush, const SDL_Rect& current,
                  const changed_areas& changes, Uint8 pointer_shown) {
    for (int i = 0; i < changes.count; ++i) {
        platform::copy_to_screen(canvas, screen, changes.area[i]);
    }
    if (pointer_shown && changes.count > 0) {
        platform::blit_whole_at(brush, screen, current);
    }
    if (changes.whole) {
        SDL_UpdateRect(screen, 0, 0, 0, 0);
        return;
    }
    for (int i = 0; i < changes.count; ++i) {
        SDL_UpdateRect(screen, changes.area[i].x, changes.area[i].y, changes.area[i].w, changes.area[i].h);
    }
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
    // The pointer image reaches the screen only; the canvas copied over its old place covers it
    // again when it moves.
    show_changes(screen, canvas, brush, *current,
                 find_changes(screen, brush, *current, last_position, dirty.get(), full_refresh, pointer_shown),
                 pointer_shown);
    last_position.x = current->x;
    last_position.y = current->y;
    last_position.w = static_cast<Uint16>(pointer_shown ? brush->w : 0);
    last_position.h = static_cast<Uint16>(pointer_shown ? brush->h : 0);
}

}  // namespace smearwell
