// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Speed of the per-frame and per-filter work, on the 800x600 canvas and SDL's dummy video driver.
// Figures are meant to be read as ratios against BM_CanvasCopy, a plain memcpy of the canvas's
// pixels, measured in the same run.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <SDL.h>

#include "app/frame.hpp"
#include "app/startup.hpp"
#include "filters/convolve.hpp"
#include "filters/invert.hpp"
#include "raster/pixel.hpp"
#include "raster/stroke.hpp"
#include "raster/surface.hpp"

namespace {

using namespace smearwell;

// The program's own canvas: made, and kept, as the program makes and keeps it.
surface_ptr make_canvas() {
    return create_canvas(SDL_GetVideoSurface());
}

surface_ptr make_random_canvas() {
    auto canvas = make_canvas();
    std::mt19937 random(42);
    with_pixels(canvas.get(), [&] {
        for (int y = 0; y < canvas->h; ++y) {
            for (int x = 0; x < canvas->w; ++x) {
                write_pixel(canvas.get(), x, y, (random() & 0x00FFFFFF) | canvas->format->Amask);
            }
        }
    });
    return canvas;
}

SDL_Rect at(int x, int y) {
    SDL_Rect position{};
    position.x = static_cast<Sint16>(x);
    position.y = static_cast<Sint16>(y);
    return position;
}

void BM_CanvasCopy(benchmark::State& state) {
    const auto source = make_random_canvas();
    auto target = make_canvas();
    const size_t bytes = static_cast<size_t>(source->pitch) * static_cast<size_t>(source->h);
    with_pixels(source.get(), [&] {
        with_pixels(target.get(), [&] {
            for (auto _ : state) {
                std::memcpy(target->pixels, source->pixels, bytes);
                benchmark::ClobberMemory();
            }
        });
    });
}
BENCHMARK(BM_CanvasCopy);

void BM_Stroke800(benchmark::State& state) {
    auto canvas = make_canvas();
    const auto brush = create_brush();
    for (auto _ : state) {
        benchmark::DoNotOptimize(stamp_stroke(canvas.get(), brush.get(), at(0, 300), at(799, 300)));
    }
}
BENCHMARK(BM_Stroke800);

// The pointer is wherever the dummy driver has it; the stroke runs from 100 pixels to its left.
void BM_FrameUpdate(benchmark::State& state) {
    SDL_Surface* screen = SDL_GetVideoSurface();
    auto canvas = make_canvas();
    const auto brush = create_brush();
    int x = 0;
    int y = 0;
    SDL_GetMouseState(&x, &y);
    for (auto _ : state) {
        SDL_Rect last = at(x - 100, y);
        update_frame(screen, canvas.get(), brush.get(), last, 1, 0);
    }
}
BENCHMARK(BM_FrameUpdate);

void BM_Invert(benchmark::State& state) {
    auto canvas = make_random_canvas();
    for (auto _ : state) {
        invert_canvas(canvas.get());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Invert);

void BM_Convolve(benchmark::State& state) {
    auto canvas = make_random_canvas();
    // Its 598 lines per run go to /dev/null; the report, printed after the run, still gets through.
    std::fflush(stdout);
    const int report = dup(STDOUT_FILENO);
    const int null_output = open("/dev/null", O_WRONLY);
    dup2(null_output, STDOUT_FILENO);
    for (auto _ : state) {
        convolve_canvas(canvas.get());
    }
    std::fflush(stdout);
    dup2(report, STDOUT_FILENO);
    close(null_output);
    close(report);
}
BENCHMARK(BM_Convolve);

// The convolution's printed column alone: 598 lines formatted into one buffer.
void BM_ReportLines(benchmark::State& state) {
    std::mt19937 random(7);
    std::vector<unsigned> values(598 * 3);
    for (auto& value : values) {
        value = random() % 256;
    }
    std::string report;
    for (auto _ : state) {
        report.clear();
        for (std::size_t row = 0; row < values.size(); row += 3) {
            append_report_line(report, values[row], values[row + 1], values[row + 2]);
        }
        benchmark::DoNotOptimize(report.data());
    }
}
BENCHMARK(BM_ReportLines);

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || !SDL_SetVideoMode(screen_width, screen_height, screen_depth, SDL_SWSURFACE)) {
        std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SDL_Quit();
    return 0;
}
