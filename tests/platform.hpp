// SPDX-FileCopyrightText: 2026 The Smearwell developers
// SPDX-License-Identifier: Zlib

// What the tests need to know of the system they run on: platform_posix.cpp or platform_windows.cpp
// is built.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace test {

// Paths that name something other than a regular file, which the loader must refuse without
// blocking. What a path needs to exist (a FIFO, a named pipe) is made in `folder` or kept until the
// tests end.
std::vector<std::string> not_regular_files(const std::filesystem::path& folder);

// Bytes currently allocated on the heap, as the allocator in use counts them; 0 where it cannot.
std::size_t heap_in_use();

}  // namespace test
