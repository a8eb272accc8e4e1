// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// The 3x3 convolution, computed row by row so that memory is walked in order. Formats whose
// channels are whole bytes of a 4-byte pixel (the canvas's) are filtered on the bytes as they lie,
// in place, with the source rows still needed kept aside; every other format is taken apart into
// channel planes once per row, its results going to a temporary surface copied back in one blit.
// Either way no result feeds into another pixel's neighbourhood. The printed column is gathered in
// one buffer and leaves in one write.
#include "filters/convolve.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "filters/hot_loop.hpp"
#include "platform/platform.hpp"
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

// The byte-lane path sums the whole 3x3 box once and corrects the centre, which needs one weight
// shared by all eight neighbours.
constexpr int neighbour_weight = kernel[0][0];
constexpr int centre_correction = kernel[1][1] - neighbour_weight;  // -17
constexpr bool neighbours_share_one_weight() {
    for (int dx = 0; dx < 3; ++dx) {
        for (int dy = 0; dy < 3; ++dy) {
            if ((dx != 1 || dy != 1) && kernel[dx][dy] != neighbour_weight) {
                return false;
            }
        }
    }
    return true;
}
static_assert(neighbours_share_one_weight(), "the byte-lane path assumes one weight for all neighbours");

constexpr int report_column = 20;  // its results are printed, one line per row
constexpr int channels = 3;        // red, green, blue, in that order
constexpr int result_slot = 3;     // slots 0..2 hold three source rows in rotation
constexpr int row_slots = result_slot + 1;

// One colour channel, 0..255 in the source. The weighted sums stay within 255 times the negative
// and the positive weights (-3825 .. 4080), so 16 bits hold every intermediate value, and twice as
// many fit in a vector register as with int.
using channel_value = Sint16;
static_assert(255 * kernel_sum(+1) <= INT16_MAX && 255 * kernel_sum(-1) >= INT16_MIN);
static_assert(255 * 9 * neighbour_weight <= INT16_MAX && 255 * centre_correction >= INT16_MIN);

constexpr int pixel_bytes = 4;  // the byte-lane path's pixel size

// Four bytes per pixel, and red, green and blue each a whole, separate byte of it: then a byte of
// a pixel is a channel wherever it lies, whatever the machine's byte order, and a channel value
// put back in its byte is what SDL_MapRGB puts there.
// Where a channel starts, from its mask: the browser's SDL leaves the format's shifts at 0.
int mask_shift(Uint32 mask) {
    return mask ? std::countr_zero(mask) : 0;
}

bool is_byte_mask(Uint32 mask) {
    const int shift = mask_shift(mask);
    return shift % 8 == 0 && mask == 0xFFu << shift;
}
bool has_byte_channels(const SDL_PixelFormat* format) {
    return format->BytesPerPixel == pixel_bytes && format->palette == nullptr && is_byte_mask(format->Rmask) &&
           is_byte_mask(format->Gmask) && is_byte_mask(format->Bmask) && format->Rmask != format->Gmask &&
           format->Gmask != format->Bmask && format->Rmask != format->Bmask;
}

// Pixels [first, end) of one result row. Each byte comes from the same byte of its own pixel and of
// the pixels to the left and right, in the rows above, at and below: first the three rows are summed
// into `column_sums`, then three of those sums and the centre. Bytes that hold no colour channel
// (pad or alpha) are computed too, then replaced: `keep` has 0xFF in the channel bytes, `fixed`
// what SDL_MapRGB puts in the others. 16-bit lanes: the sums stay within -4335 .. 4590.
SMEARWELL_HOT_LOOP
void convolve_bytes(const Uint8* above, const Uint8* centre, const Uint8* below, Uint16* column_sums, Uint8* out,
                    int first, int end, const Uint8 (&keep)[pixel_bytes], const Uint8 (&fixed)[pixel_bytes]) {
    for (int i = (first - 1) * pixel_bytes; i < (end + 1) * pixel_bytes; ++i) {
        column_sums[i] = static_cast<Uint16>(above[i] + centre[i] + below[i]);
    }
    const Uint8 keep_bytes[pixel_bytes] = {keep[0], keep[1], keep[2], keep[3]};  // locals: out may alias
    const Uint8 fixed_bytes[pixel_bytes] = {fixed[0], fixed[1], fixed[2], fixed[3]};
    for (int x = first; x < end; ++x) {
        for (int byte = 0; byte < pixel_bytes; ++byte) {
            const int i = x * pixel_bytes + byte;
            const auto box =
                static_cast<Sint16>(column_sums[i - pixel_bytes] + column_sums[i] + column_sums[i + pixel_bytes]);
            const auto sum = static_cast<Sint16>(neighbour_weight * box + centre_correction * centre[i]);
            const auto value = static_cast<Uint8>(std::clamp<Sint16>(static_cast<Sint16>(sum / divisor), 0, 255));
            out[i] = static_cast<Uint8>((value & keep_bytes[byte]) | fixed_bytes[byte]);
        }
    }
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
    for (int x = 1; x < width - 1; ++x) {
        write_pixel(
            result, x, y,
            SDL_MapRGB(format, static_cast<Uint8>(red[x]), static_cast<Uint8>(green[x]), static_cast<Uint8>(blue[x])));
    }
}

// Same size and format as `surface`, black (opaque where the format has alpha), copied back
// without blending or colour key.
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
    SDL_FillRect(result.get(), nullptr, SDL_MapRGB(result->format, 0, 0, 0));
    return result;
}

// Pixels from `first` to before `last` set to the pixel value held in `value`.
void fill_pixels(Uint8* first, const Uint8* last, const Uint8* value) {
    for (; first < last; first += pixel_bytes) {
        std::memcpy(first, value, pixel_bytes);
    }
}

// The byte-lane path, in place: each result row is written over its source row, so the two source
// rows above it that are still needed are kept in a copy of their own. No temporary surface is
// made, cleared or copied back, which would cost three passes over the canvas. The frame is black,
// opaque where the format has alpha: it is blitted onto the screen, and must hide what is there.
void convolve_byte_rows_in_place(SDL_Surface* surface, std::string& report) {
    const SDL_PixelFormat* format = surface->format;
    Uint8 keep[pixel_bytes];
    Uint8 fixed[pixel_bytes];
    store_pixel<4>(keep, format->Rmask | format->Gmask | format->Bmask);  // in the machine's byte order
    store_pixel<4>(fixed, format->Amask);                                 // SDL_MapRGB makes pixels opaque
    const int width = surface->w;
    const int height = surface->h;
    const auto row_bytes = static_cast<std::size_t>(width) * pixel_bytes;
    if (width < 3 || height < 3) {  // no pixel has all its neighbours: all of it is frame
        for (int y = 0; y < height; ++y) {
            fill_pixels(pixel_row(surface, y), pixel_row(surface, y) + row_bytes, fixed);
        }
        return;
    }
    std::vector<Uint16> column_sums(row_bytes);
    std::vector<Uint8> saved_rows(2 * row_bytes);  // the source rows y-1 and y, by the parity of the row
    const auto saved = [&](int y) { return saved_rows.data() + static_cast<std::size_t>(y % 2) * row_bytes; };
    std::memcpy(saved(0), pixel_row(surface, 0), row_bytes);
    for (int y = 1; y < height - 1; ++y) {
        Uint8* out = pixel_row(surface, y);
        std::memcpy(saved(y), out, row_bytes);
        convolve_bytes(saved(y - 1), saved(y), pixel_row(surface, y + 1), column_sums.data(), out, 1, width - 1, keep,
                       fixed);
        std::memcpy(out, fixed, pixel_bytes);  // the frame's left and right pixels
        std::memcpy(out + row_bytes - pixel_bytes, fixed, pixel_bytes);
        if (report_column < width - 1) {
            const Uint32 value = load_pixel<4>(out + report_column * pixel_bytes);
            append_report_line(report, value >> mask_shift(format->Rmask) & 0xFF,
                               value >> mask_shift(format->Gmask) & 0xFF, value >> mask_shift(format->Bmask) & 0xFF);
        }
    }
    for (const int y : {0, height - 1}) {  // the frame's top and bottom rows
        fill_pixels(pixel_row(surface, y), pixel_row(surface, y) + row_bytes, fixed);
    }
}

// Every other format: each source row taken apart into channel planes once, through SDL_GetRGB,
// and each result put together with SDL_MapRGB.
void convolve_plane_rows(const SDL_Surface* surface, SDL_Surface* result, std::string& report) {
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
            append_report_line(report, results[0][report_column], results[1][report_column], results[2][report_column]);
        }
        pack_row(result, surface->format, y, results[0], results[1], results[2]);
    }
}

}  // namespace

void append_report_line(std::string& report, unsigned red, unsigned green, unsigned blue) {
    char line[report_line_capacity];
    std::size_t length = 0;
    for (const unsigned value : {red, green, blue}) {
        line[length++] = ' ';
        if (value >= 100) {
            line[length++] = static_cast<char>('0' + value / 100);
        }
        if (value >= 10) {
            line[length++] = static_cast<char>('0' + value / 10 % 10);
        }
        line[length++] = static_cast<char>('0' + value % 10);
    }
    line[length++] = '\n';
    report.append(line, length);
}

void convolve_canvas(SDL_Surface* surface) {
    std::string report;
    report.reserve(static_cast<std::size_t>(std::max(surface->h - 2, 0)) * report_line_capacity);
    if (has_byte_channels(surface->format)) {
        with_pixels(surface, [&] { convolve_byte_rows_in_place(surface, report); });
    } else {
        const surface_ptr result = create_result_surface(surface);
        if (!result) {
            std::fprintf(stderr, "Couldn't create the convolution's result surface: %s\n", SDL_GetError());
            return;  // the surface is left as it was
        }
        with_pixels(surface,
                    [&] { with_pixels(result.get(), [&] { convolve_plane_rows(surface, result.get(), report); }); });
        SDL_UpdateRect(result.get(), 0, 0, 0, 0);
        SDL_Rect origin{};
        SDL_BlitSurface(result.get(), nullptr, surface, &origin);
    }
    platform::write_at_once(stdout, report.data(), report.size());
}

}  // namespace smearwell
