// The 3x3 convolution, computed row by row so that memory is walked in order: each source row is
// taken apart into its channels once and kept while the three output rows that need it are made.
// Results go to a temporary surface of the same format, copied back in one blit at the end, so no
// result feeds into another pixel's neighbourhood.
#include "filters/convolve.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "raster/pixel.hpp"
#include "raster/surface.hpp"

namespace smearwell {

namespace {

// Indexed [column offset + 1][row offset + 1]; symmetric, so the orientation changes nothing.
constexpr int kernel[3][3] = {{2, 2, 2}, {2, -15, 2}, {2, 2, 2}};

// Sum of the kernel's weights of one sign (`sign` +1 or -1), or of all of them (0).
constexpr int kernel_sum(int sign) {
    int sum = 0;
    for (const auto& column : kernel) {
        for (const int weight : column) {
            sum += sign == 0 || weight * sign > 0 ? weight : 0;
        }
    }
    return sum;
}
constexpr int divisor = kernel_sum(0);  // 8 * 2 - 15 = 1
static_assert(divisor != 0, "the kernel's weights must not sum to zero");

constexpr int report_column = 20;  // its results are printed, one line per row
constexpr int channels = 3;        // red, green, blue, in that order
constexpr int result_slot = 3;     // slots 0..2 hold three source rows in rotation
constexpr int row_slots = result_slot + 1;

// One colour channel, 0..255 in the source. The weighted sums stay within 255 times the negative
// and the positive weights (-3825 .. 4080), so 16 bits hold every intermediate value, and twice as
// many fit in a vector register as with int.
using channel_value = Sint16;
static_assert(255 * kernel_sum(+1) <= INT16_MAX && 255 * kernel_sum(-1) >= INT16_MIN);

// Four 8-bit channels in a 4-byte pixel: channels are taken apart and put together from the
// format's shifts, which gives exactly what SDL_GetRGB and SDL_MapRGB give for such a format.
bool has_byte_channels(const SDL_PixelFormat* format) {
    return format->BytesPerPixel == 4 && format->palette == nullptr && format->Rmask == 0xFFu << format->Rshift &&
           format->Gmask == 0xFFu << format->Gshift && format->Bmask == 0xFFu << format->Bshift;
}

// Channel plane `channel` of row slot `slot` in the scratch buffer; each plane holds `width` values.
channel_value* plane(std::vector<channel_value>& scratch, int width, int slot, int channel) {
    return scratch.data() + static_cast<std::ptrdiff_t>(slot * channels + channel) * width;
}

void unpack_row(const SDL_Surface* surface, int y, std::vector<channel_value>& scratch, int slot) {
    const SDL_PixelFormat* format = surface->format;
    const int width = surface->w;
    channel_value* red = plane(scratch, width, slot, 0);
    channel_value* green = plane(scratch, width, slot, 1);
    channel_value* blue = plane(scratch, width, slot, 2);
    if (has_byte_channels(format)) {
        const Uint8* row = pixel_row(surface, y);
        const int rs = format->Rshift, gs = format->Gshift, bs = format->Bshift;
        for (int x = 0; x < width; ++x) {
            const Uint32 value = load_pixel<4>(row + 4 * x);
            red[x] = static_cast<channel_value>(value >> rs & 0xFF);
            green[x] = static_cast<channel_value>(value >> gs & 0xFF);
            blue[x] = static_cast<channel_value>(value >> bs & 0xFF);
        }
        return;
    }
    for (int x = 0; x < width; ++x) {
        Uint8 r, g, b;
        SDL_GetRGB(read_pixel(surface, x, y), format, &r, &g, &b);
        red[x] = r;
        green[x] = g;
        blue[x] = b;
    }
}

// Results for columns 1 .. width-2 of one channel, from the rows above, at and below.
void convolve_channel(const channel_value* above, const channel_value* centre, const channel_value* below,
                      channel_value* result, int width) {
    const channel_value* rows[3] = {above, centre, below};
    for (int x = 1; x < width - 1; ++x) {
        channel_value sum = 0;
        for (int dx = -1; dx <= 1; ++dx) {
            for (int dy = -1; dy <= 1; ++dy) {
                sum = static_cast<channel_value>(sum + kernel[dx + 1][dy + 1] * rows[dy + 1][x + dx]);
            }
        }
        result[x] = std::clamp<channel_value>(static_cast<channel_value>(sum / divisor), 0, 255);
    }
}

void pack_row(SDL_Surface* result, const SDL_PixelFormat* format, int y, const channel_value* red,
              const channel_value* green, const channel_value* blue) {
    const int width = result->w;
    if (has_byte_channels(format)) {
        Uint8* row = pixel_row(result, y);
        const int rs = format->Rshift, gs = format->Gshift, bs = format->Bshift;
        const Uint32 alpha = format->Amask;  // SDL_MapRGB makes every pixel opaque
        for (int x = 1; x < width - 1; ++x) {
            const Uint32 value = static_cast<Uint32>(red[x]) << rs | static_cast<Uint32>(green[x]) << gs |
                                 static_cast<Uint32>(blue[x]) << bs | alpha;
            store_pixel<4>(row + 4 * x, value);
        }
        return;
    }
    for (int x = 1; x < width - 1; ++x) {
        write_pixel(
            result, x, y,
            SDL_MapRGB(format, static_cast<Uint8>(red[x]), static_cast<Uint8>(green[x]), static_cast<Uint8>(blue[x])));
    }
}

// Same size and format as `surface`, all pixels 0, copied back without blending or colour key.
surface_ptr create_result_surface(const SDL_Surface* surface) {
    const SDL_PixelFormat* format = surface->format;
    surface_ptr result(SDL_CreateRGBSurface(SDL_SWSURFACE, surface->w, surface->h, format->BitsPerPixel, format->Rmask,
                                            format->Gmask, format->Bmask, format->Amask),
                       SDL_FreeSurface);
    if (!result) {
        return result;
    }
    SDL_SetAlpha(result.get(), 0, SDL_ALPHA_OPAQUE);
    if (format->palette && result->format->palette) {
        SDL_SetColors(result.get(), format->palette->colors, 0, format->palette->ncolors);
    }
    return result;
}

void convolve_rows(SDL_Surface* surface, SDL_Surface* result) {
    const int width = surface->w;
    const int height = surface->h;
    std::vector<channel_value> scratch(static_cast<std::size_t>(row_slots * channels) *
                                       static_cast<std::size_t>(width));
    if (height >= 3) {
        unpack_row(surface, 0, scratch, 0);
        unpack_row(surface, 1, scratch, 1);
    }
    for (int y = 1; y < height - 1; ++y) {
        unpack_row(surface, y + 1, scratch, (y + 1) % 3);
        channel_value* results[channels];
        for (int c = 0; c < channels; ++c) {
            results[c] = plane(scratch, width, result_slot, c);
            convolve_channel(plane(scratch, width, (y - 1) % 3, c), plane(scratch, width, y % 3, c),
                             plane(scratch, width, (y + 1) % 3, c), results[c], width);
        }
        if (report_column < width - 1) {
            std::printf(" %d %d %d\n", results[0][report_column], results[1][report_column], results[2][report_column]);
        }
        pack_row(result, surface->format, y, results[0], results[1], results[2]);
    }
}

}  // namespace

void convolve_canvas(SDL_Surface* surface) {
    const surface_ptr result = create_result_surface(surface);
    if (!result) {
        std::fprintf(stderr, "Couldn't create the convolution's result surface: %s\n", SDL_GetError());
        return;  // the surface is left as it was
    }
    convolve_rows(surface, result.get());
    std::fflush(stdout);
    SDL_UpdateRect(result.get(), 0, 0, 0, 0);
    SDL_Rect origin{};
    SDL_BlitSurface(result.get(), nullptr, surface, &origin);
}

}  // namespace smearwell
