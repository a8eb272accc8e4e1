// SPDX-FileCopyrightText: 2026 The Smearwell developers
// SPDX-License-Identifier: Zlib

// What the tests need to know of the system they run on: platform_posix.cpp, platform_windows.cpp
// or platform_web.cpp is built.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace test {

// Paths that name something other than a regular file, which the loader must refuse without
// blocking. What a path needs to exist (a FIFO, a named pipe) is made in `folder` or kept until the
// tests end.
std::vector<std::string> not_regular_files(const std::filesystem::path& folder);

// Asks SDL, before it starts, for its dummy video driver: software surfaces, no display needed.
void use_dummy_video();

// Whether the program's main loop returns to its caller once a quit is read (not in a web page).
bool main_loop_returns();

// An empty file, open for reading and writing, deleted when closed or at exit where the system can.
std::FILE* scratch_file();

// Bytes currently allocated on the heap, as the allocator in use counts them; 0 where it cannot.
std::size_t heap_in_use();

}  // namespace test
