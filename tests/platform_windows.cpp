// SPDX-FileCopyrightText: 2026 The Smearwell developers
// SPDX-License-Identifier: Zlib

#include <malloc.h>
#include <windows.h>

#include <SDL.h>

#include "platform.hpp"

namespace test {

// A folder, the console, the null device, a serial port, and a named pipe with a server waiting
// for a client (its handle stays open until the tests end).
std::vector<std::string> not_regular_files(const std::filesystem::path& folder) {
    const std::string pipe = "\\\\.\\pipe\\smearwell-test-" + std::to_string(GetCurrentProcessId());
    CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0,
                     nullptr);
    return {folder.string(), "CON", "NUL", "COM1", pipe};
}

// SDL's own environment call: SDL.dll and the tests may not share a C runtime.
void use_dummy_video() {
    SDL_putenv(const_cast<char*>("SDL_VIDEODRIVER=dummy"));
}

std::FILE* scratch_file() {
    return std::tmpfile();
}

bool main_loop_returns() {
    return true;
}

// The C runtime's heap, block by block.
std::size_t heap_in_use() {
    std::size_t used = 0;
    _HEAPINFO block{};
    while (_heapwalk(&block) == _HEAPOK) {
        used += block._useflag == _USEDENTRY ? block._size : 0;
    }
    return used;
}

}  // namespace test
