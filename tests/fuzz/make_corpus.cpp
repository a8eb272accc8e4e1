// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Writes the tests' BMP files, each behind a 4-byte position, as the fuzzer's seed corpus.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <SDL.h>

#include "bmp_files.hpp"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_Init(SDL_INIT_VIDEO);
    auto files = test::sample_files();
    const auto bad = test::malformed_files();
    files.insert(files.end(), bad.begin(), bad.end());
    int written = 0;
    for (const auto& [name, content] : files) {
        // At the origin, and partly off the destination's top-left corner.
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{-3, 7}}) {
            test::bytes input = {static_cast<Uint8>(x), static_cast<Uint8>(x >> 8), static_cast<Uint8>(y),
                                 static_cast<Uint8>(y >> 8)};
            input.insert(input.end(), content.begin(), content.end());
            std::string file_name = name + "@" + std::to_string(x) + "," + std::to_string(y);
            for (char& c : file_name) {
                c = c == ' ' ? '-' : c;
            }
            written += test::write_file(std::string(argv[1]) + "/" + file_name, input) ? 1 : 0;
        }
    }
    SDL_Quit();
    std::printf("%d seed files in %s\n", written, argv[1]);
    return 0;
}
