// SPDX-FileCopyrightText: 2026 The Smearwell developers
// SPDX-License-Identifier: Zlib

// The platform seam on POSIX systems (Linux and the like).
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/platform.hpp"

namespace smearwell::platform {

// O_NONBLOCK: a FIFO with no writer would block an ordinary open forever. The same open file is
// then checked and read, so nothing can be swapped in between.
std::FILE* open_regular_file(const char* path, Sint64& size, const char*& reason) {
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = std::strerror(errno);
        return nullptr;
    }
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        reason = "not a regular file";
        return nullptr;
    }
    size = status.st_size;
    std::FILE* file = fdopen(fd, "rb");
    if (!file) {
        close(fd);
        reason = "cannot read the file";
    }
    return file;
}

void write_at_once(std::FILE* stream, const char* data, std::size_t size) {
    std::fflush(stream);
    const int fd = fileno(stream);
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;  // the stream's reader went away: nothing more to do, as with stdio
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void make_standard_streams_safe() {
    signal(SIGPIPE, SIG_IGN);
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
            // open() takes the lowest free descriptor: this one, as those below it are open.
            open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        }
    }
}

void set_environment_default(const char* name, const char* value) {
    setenv(name, value, 0);
}

}  // namespace smearwell::platform
