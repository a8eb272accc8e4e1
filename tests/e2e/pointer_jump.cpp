// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Measures how soon the brush shows where the pointer jumped to (./scripts/bench): the program in a
// private Xvfb server, the pointer moved by XTest between two far places, and the brush's centre
// pixel there read back until it is the stroke colour. Prints the median and the 90th percentile.
// The program under test is SMEARWELL_PROGRAM's, else the one built beside this.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include <X11/Xutil.h>

#include "harness.hpp"

namespace {

using clock = std::chrono::steady_clock;

std::uint32_t pixel_at(Display* display, Window window, int x, int y) {
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) {
        return 0;
    }
    const auto pixel = static_cast<std::uint32_t>(XGetPixel(image, 0, 0) & 0xFFFFFF);
    XDestroyImage(image);
    return pixel;
}

}  // namespace

int main() {
    e2e::x_server server;
    e2e::program smearwell(e2e::on_display(server));
    Display* display = server.display();
    const Window window = e2e::focused_window(display);
    if (!window) {
        return 1;
    }
    constexpr int centre = 10;  // of the brush, from its corner at the pointer
    std::vector<double> milliseconds;
    for (int jump = 0; jump <= 100; ++jump) {
        const int x = jump % 2 ? 600 : 150;
        const int y = jump % 2 ? 400 : 150;
        if (pixel_at(display, window, x + centre, y + centre) == e2e::purple) {  // it would count as shown at once
            std::fprintf(stderr, "the brush's last picture at (%d, %d) is still there\n", x, y);
            return 1;
        }
        const auto start = clock::now();
        e2e::move_pointer(display, window, x, y);
        while (pixel_at(display, window, x + centre, y + centre) != e2e::purple) {  // asked without a pause
            if (clock::now() - start > std::chrono::seconds(5)) {
                std::fprintf(stderr, "the brush did not come to (%d, %d)\n", x, y);
                return 1;
            }
        }
        if (jump > 0) {  // the first shows the brush for the first time
            milliseconds.push_back(std::chrono::duration<double, std::milli>(clock::now() - start).count());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(30));  // a hand's pace
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf("%.1f ms median, %.1f ms 90th percentile (of %zu jumps)\n", milliseconds[milliseconds.size() / 2],
                milliseconds[milliseconds.size() * 9 / 10], milliseconds.size());
}
