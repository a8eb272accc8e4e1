// SPDX-FileCopyrightText: 2026 The Smearwell developers
// SPDX-License-Identifier: Zlib

#include <fcntl.h>
#include <io.h>
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

// Named for this process, not by tmpfile(): under Wine, two processes calling tmpfile() at once now
// and then get one file between them, or none (seen: about 1 call in 300 with two programs calling
// it in a loop), and the captured text is then another test's, or there is nowhere to capture it.
// The file goes when it is closed, or when the process ends however it ends; a name can still be
// taken by a file of an ended process of the same id that the system has not deleted yet.
std::FILE* scratch_file() {
    constexpr unsigned names_to_try = 100;
    char folder[MAX_PATH];
    if (GetTempPathA(MAX_PATH, folder) == 0) {
        return nullptr;
    }
    for (unsigned attempt = 0; attempt < names_to_try; ++attempt) {
        const std::string path = std::string(folder) + "smearwell-capture-" + std::to_string(GetCurrentProcessId()) +
                                 "-" + std::to_string(attempt) + ".tmp";
        const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            continue;  // taken, or still being deleted
        }
        const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDWR | _O_BINARY);
        if (descriptor == -1) {
            CloseHandle(file);
            return nullptr;
        }
        std::FILE* stream = _fdopen(descriptor, "w+b");
        if (stream == nullptr) {
            _close(descriptor);  // closes the handle too
        }
        return stream;
    }
    return nullptr;
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
