// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Makes docs/screenshot.png: the real program in a private Xvfb server, a few strokes drawn with
// real input, an invert, more strokes, and the window read back.
// Usage: smearwell_screenshot OUTPUT.png
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include <zlib.h>

#include "harness.hpp"

namespace {

void put_be32(std::vector<unsigned char>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<unsigned char>(value >> shift));
    }
}

void put_chunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data) {
    put_be32(out, static_cast<std::uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put_be32(out, static_cast<std::uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

bool write_png(const char* path, const e2e::picture& shot) {
    std::vector<unsigned char> rows;  // each row: filter type 0, then RGB
    for (int y = 0; y < e2e::height; ++y) {
        rows.push_back(0);
        for (int x = 0; x < e2e::width; ++x) {
            const std::uint32_t v = shot.at(x, y);
            rows.insert(rows.end(), {static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 8),
                                     static_cast<unsigned char>(v)});
        }
    }
    uLongf packed_size = compressBound(static_cast<uLong>(rows.size()));
    std::vector<unsigned char> packed(packed_size);
    if (compress2(packed.data(), &packed_size, rows.data(), static_cast<uLong>(rows.size()), 9) != Z_OK) {
        return false;
    }
    packed.resize(packed_size);
    std::vector<unsigned char> header;
    put_be32(header, e2e::width);
    put_be32(header, e2e::height);
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits per channel, RGB, no interlace
    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    put_chunk(png, "IHDR", header);
    put_chunk(png, "IDAT", packed);
    put_chunk(png, "IEND", {});
    std::FILE* file = std::fopen(path, "wb");
    const bool written = file && std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return file && std::fclose(file) == 0 && written;
}

void pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Drags along points of `path(t)` for t from 0 to 1, slowly enough that the stroke follows it.
template <typename Path>
void stroke(Display* display, Window window, Path path) {
    const auto [x0, y0] = path(0.0);
    e2e::move_pointer(display, window, x0, y0);
    pause(50);
    e2e::press_button(display, 1);
    for (int step = 1; step <= 120; ++step) {
        const auto [x, y] = path(step / 120.0);
        e2e::move_pointer(display, window, x, y);
        pause(4);
    }
    pause(50);
    e2e::release_button(display, 1);
    pause(50);
}

std::pair<int, int> wave(double t, int top, double phase) {
    return {static_cast<int>(60 + 660 * t), static_cast<int>(top + 60 * std::sin(phase + 9.0 * t))};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    e2e::x_server server;
    e2e::program smearwell(e2e::on_display(server));
    Display* display = server.display();
    const Window window = e2e::focused_window(display);
    if (!window) {
        return 1;
    }
    stroke(display, window, [](double t) { return wave(t, 150, 0.0); });
    stroke(display, window, [](double t) { return wave(t, 300, 2.0); });
    e2e::tap_key(display, "i");
    pause(200);
    stroke(display, window, [](double t) { return wave(t, 450, 4.0); });
    stroke(display, window, [](double t) {
        return std::pair{static_cast<int>(400 + 120 * std::cos(6.3 * t)),
                         static_cast<int>(300 + 120 * std::sin(6.3 * t))};
    });
    e2e::move_pointer(display, window, 660, 520);  // the cursor, on top of the canvas
    const e2e::picture shot = e2e::steady_picture(display, window);
    e2e::tap_key(display, "Escape");
    smearwell.wait_for_exit(5.0);
    if (!write_png(argv[1], shot)) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    std::printf("wrote %s\n", argv[1]);
    return 0;
}
