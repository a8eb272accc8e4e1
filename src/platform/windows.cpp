// SPDX-FileCopyrightText: 2026 The Smearwell developers
// SPDX-License-Identifier: Zlib

// The platform seam on Windows.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdlib>

#include "platform/platform.hpp"

namespace smearwell::platform {

namespace {

const char* reason_for(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return "No such file or directory";
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return "Permission denied";
    default: return "cannot open the file";
    }
}

}  // namespace

// Device names (CON, NUL, COM1…) and pipes open as files on Windows; what the open handle is
// (GetFileType) tells them apart, and nothing is read before that. A folder does not open at all
// without FILE_FLAG_BACKUP_SEMANTICS, so it is recognised by its attributes first.
std::FILE* open_regular_file(const char* path, Sint64& size, const char*& reason) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        reason = "not a regular file";
        return nullptr;
    }
    HANDLE handle =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        reason = reason_for(GetLastError());
        return nullptr;
    }
    LARGE_INTEGER length{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &length)) {
        CloseHandle(handle);
        reason = "not a regular file";
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        reason = "cannot read the file";
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "rb");  // owns the descriptor, which owns the handle
    if (!file) {
        _close(fd);
        reason = "cannot read the file";
        return nullptr;
    }
    size = length.QuadPart;
    return file;
}

// _write translates line ends as the stream would on a descriptor opened in text mode.
void write_at_once(std::FILE* stream, const char* data, std::size_t size) {
    std::fflush(stream);
    const int fd = _fileno(stream);
    while (size > 0) {
        const int written = _write(fd, data, static_cast<unsigned>(size));
        if (written <= 0) {
            return;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void make_standard_streams_safe() {}

void set_environment_default(const char* name, const char* value) {
    if (!std::getenv(name)) {
        _putenv_s(name, value);
    }
}

}  // namespace smearwell::platform
