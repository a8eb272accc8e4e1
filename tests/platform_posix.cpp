// SPDX-FileCopyrightText: 2026 The Smearwell developers
// SPDX-License-Identifier: Zlib

#include <sys/stat.h>

#include <cstdlib>

#ifdef SMEARWELL_HAVE_MALLINFO2
#include <malloc.h>
#endif

#include "platform.hpp"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SMEARWELL_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define SMEARWELL_ASAN 1
#endif
#ifdef SMEARWELL_ASAN
extern "C" size_t __sanitizer_get_current_allocated_bytes();  // the sanitizer runtime's own count
#endif

namespace test {

// A FIFO with no writer (an ordinary open would wait for one forever), a folder, a device.
std::vector<std::string> not_regular_files(const std::filesystem::path& folder) {
    const std::string fifo = (folder / "fifo").string();
    mkfifo(fifo.c_str(), 0600);
    return {fifo, folder.string(), "/dev/zero"};
}

void use_dummy_video() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
}

std::FILE* scratch_file() {
    return std::tmpfile();
}

bool main_loop_returns() {
    return true;
}

std::size_t heap_in_use() {
#ifdef SMEARWELL_ASAN
    return __sanitizer_get_current_allocated_bytes();
#elif defined(SMEARWELL_HAVE_MALLINFO2)
    return mallinfo2().uordblks;
#else
    return 0;  // this C library cannot count its heap (musl, glibc before 2.33)
#endif
}

}  // namespace test
