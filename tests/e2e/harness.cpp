// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Xvfb, the program under test, XTest input and XGetImage read-back.
#include "harness.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include "brush_shape.hpp"

namespace e2e {

namespace {

using clock = std::chrono::steady_clock;

void pause_briefly() {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

// X errors (a window that went away mid-request, say) are part of what the tests look at; they
// must not end the test process the way Xlib's default handler does.
int ignore_x_error(Display*, XErrorEvent*) {
    return 0;
}

// Whether a client (a window manager) redirects the root window's children. Read from the events
// all clients select on the root: trying to select the redirect ourselves, even for a moment,
// would make a window manager starting at that moment give up, finding another one running.
bool root_is_managed(Display* display) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, DefaultRootWindow(display), &attributes) &&
           (attributes.all_event_masks & SubstructureRedirectMask);
}

std::string read_line_with_timeout(int fd, double seconds) {
    std::string line;
    const auto deadline = clock::now() + std::chrono::duration<double>(seconds);
    while (clock::now() < deadline) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0) {
            continue;
        }
        char c;
        if (read(fd, &c, 1) != 1 || c == '\n') {
            break;
        }
        line.push_back(c);
    }
    return line;
}

void append_available(int fd, std::string& text) {
    char buffer[4096];
    for (ssize_t n; fd >= 0 && (n = read(fd, buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<size_t>(n));
    }
}

// Calls `visit` with every named window below `parent`, depth first, until it returns true;
// returns that window, or 0.
Window find_named(Display* display, Window parent,
                  const std::function<bool(const char* name, const XWindowAttributes&)>& visit) {
    Window root_return, parent_return, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root_return, &parent_return, &children, &count)) {
        return 0;
    }
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        XWindowAttributes attributes{};
        if (XFetchName(display, children[i], &name) && name &&
            XGetWindowAttributes(display, children[i], &attributes) && visit(name, attributes)) {
            found = children[i];
        }
        if (name) {
            XFree(name);
        }
        if (!found) {
            found = find_named(display, children[i], visit);
        }
    }
    if (children) {
        XFree(children);
    }
    return found;
}

bool is_viewable(Display* display, Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

KeyCode keycode(Display* display, const char* keysym_name) {
    return XKeysymToKeycode(display, XStringToKeysym(keysym_name));
}

// The states of this process and its children, what each waits in, and their stacks (gdb).
void say_where_the_test_is(double seconds) {
    std::fprintf(stderr, "\n== the test has run for %.0f s; where it and its programs are:\n", seconds);
    const std::string report = "test=" + std::to_string(getpid()) + R"sh(
        ps -o pid,stat,wchan:32,etime,args -p $test --ppid $test >&2
        for pid in $test $(ps -o pid= --ppid $test | awk -v shell=$$ '$1 != shell'); do
            timeout 20 gdb -q -batch -p $pid -ex 'thread apply all bt' >&2 2>/dev/null ||
                echo "no stack of $pid (is gdb installed?)" >&2
        done)sh";
    if (std::system(report.c_str()) != 0) {
        std::fprintf(stderr, "the report above is incomplete\n");
    }
}

// SIGTERM, then SIGKILL if the child has not ended within 10 s: a test never waits without end
// for a program it started, and says which one would not end.
void end_child(pid_t pid, const char* name) {
    kill(pid, SIGTERM);
    if (!wait_until([&] { return waitpid(pid, nullptr, WNOHANG) == pid; }, 10.0)) {
        std::fprintf(stderr, "%s did not end within 10 s of SIGTERM; killed\n", name);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

}  // namespace

void paint_brush(picture& canvas, int x, int y, std::uint32_t colour) {
    for (const auto& [row, first, last] : test::brush_rows) {
        for (int column = first; column <= last; ++column) {
            const int px = x + column;
            const int py = y + row;
            if (px >= 0 && px < width && py >= 0 && py < height) {
                canvas.at(px, py) = colour;
            }
        }
    }
}

std::string describe_difference(const picture& actual, const picture& expected) {
    std::ostringstream text;
    int count = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (actual.at(x, y) != expected.at(x, y) && ++count <= 5) {
                text << " (" << x << "," << y << "): " << std::hex << actual.at(x, y) << " not " << expected.at(x, y)
                     << std::dec << ";";
            }
        }
    }
    return std::to_string(count) + " pixels differ:" + text.str();
}

hang_reporter::hang_reporter(double seconds)
    : watcher([ended = test_ended.get_future(), seconds] {
          if (ended.wait_for(std::chrono::duration<double>(seconds)) == std::future_status::timeout) {
              say_where_the_test_is(seconds);
          }
      }) {}

hang_reporter::~hang_reporter() {
    test_ended.set_value();
    watcher.join();
}

x_server::x_server() {
    int ready[2];
    if (pipe(ready) != 0) {
        throw std::runtime_error("pipe");
    }
    pid = fork();
    if (pid == 0) {
        close(ready[0]);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        const std::string fd = std::to_string(ready[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    const std::string number = read_line_with_timeout(ready[0], 20.0);
    close(ready[0]);
    if (number.empty()) {
        throw std::runtime_error("Xvfb did not start (is the xvfb package installed?)");
    }
    display_name = ":" + number;
    XSetErrorHandler(ignore_x_error);
    connection = XOpenDisplay(display_name.c_str());
    if (!connection) {
        throw std::runtime_error("cannot connect to Xvfb on " + display_name);
    }
}

void x_server::start_window_manager() {
    window_manager_config = "/tmp/smearwell-twmrc-" + std::to_string(getpid());
    if (std::FILE* config = std::fopen(window_manager_config.c_str(), "w")) {
        std::fputs("RandomPlacement\nNoGrabServer\n", config);  // no placing by hand
        std::fclose(config);
    }
    window_manager = fork();
    if (window_manager == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        // In a UTF-8 locale twm asks for a font set that only xfonts-base has, and gives up
        // without it; its menus and titles need nothing beyond the server's own fixed font.
        setenv("LC_ALL", "C", 1);
        execlp("twm", "twm", "-display", display_name.c_str(), "-f", window_manager_config.c_str(),
               static_cast<char*>(nullptr));
        _exit(127);
    }
    // A window mapped while the manager is still starting may never be managed, nor shown.
    if (!wait_until([&] { return root_is_managed(connection); }, 20.0)) {
        throw std::runtime_error("twm did not start (is the twm package installed?)");
    }
}

x_server::~x_server() {
    if (window_manager > 0) {
        end_child(window_manager, "twm");
        std::remove(window_manager_config.c_str());
    }
    if (connection) {
        XCloseDisplay(connection);
    }
    if (pid > 0) {
        end_child(pid, "Xvfb");
    }
}

namespace {

// The built program, unless SMEARWELL_PROGRAM names another (an installed one, say).
std::string program_path() {
    const char* path = std::getenv("SMEARWELL_PROGRAM");
    return path && *path ? path : SMEARWELL_PROGRAM;
}

// A Windows build runs under Wine. SDL's entry there sends standard output and standard error to
// stdout.txt and stderr.txt beside the program (in text mode, so lines end in CR LF), and the
// Windows counterpart of SDL's x11 driver is windib. Returns the folder of those files, or "".
std::string windows_output_folder(const std::string& path) {
    const auto dot = path.rfind(".exe");
    return dot != std::string::npos && dot + 4 == path.size() ? path.substr(0, path.find_last_of('/') + 1) : "";
}

// What a Windows program wrote to `name`, lines ending in LF; "" when the file is not there.
std::string read_output_file(const std::string& path) {
    std::string text;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        for (int c; (c = std::fgetc(file)) != EOF;) {
            if (c != '\r') {
                text.push_back(static_cast<char>(c));
            }
        }
        std::fclose(file);
    }
    return text;
}

// What starts the program: SMEARWELL_LAUNCHER's words when set (a build for another processor runs
// under qemu-user, say "qemu-aarch64 -L /its/system"), else `standard` (Wine for a Windows build).
std::vector<std::string> launcher(const std::string& standard) {
    const char* chosen = std::getenv("SMEARWELL_LAUNCHER");
    std::istringstream words(chosen && *chosen ? chosen : standard);
    std::vector<std::string> command;
    for (std::string word; words >> word;) {
        command.push_back(word);
    }
    return command;
}

}  // namespace

// sdl12-compat calls itself 1.2.50 and later; classic SDL 1.2 ended at 1.2.15.
bool program_on_sdl12_compat() {
    int major = 0, minor = 0, patch = 0;
    std::sscanf(SMEARWELL_SDL_VERSION, "%d.%d.%d", &major, &minor, &patch);
    return windows_output_folder(program_path()).empty() && patch >= 50;
}

program::program(const std::vector<std::pair<std::string, std::string>>& environment, output_to output) {
    const std::string path = program_path();
    windows_folder = windows_output_folder(path);
    for (const char* name : {"stdout.txt", "stderr.txt"}) {
        std::remove((windows_folder + name).c_str());  // what an earlier run left
    }
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) {
        throw std::runtime_error("pipe");
    }
    pid = fork();
    if (pid == 0) {
        const int nothing = open("/dev/null", O_RDONLY);
        dup2(nothing, STDIN_FILENO);
        if (output == output_to::pipe) {
            dup2(out[1], STDOUT_FILENO);
        } else if (output == output_to::full_device) {
            dup2(open("/dev/full", O_WRONLY), STDOUT_FILENO);
        } else {
            close(STDOUT_FILENO);
        }
        dup2(err[1], STDERR_FILENO);
        for (const int fd : {out[0], out[1], err[0], err[1]}) {
            close(fd);
        }
        for (const auto& [name, value] : environment) {
            const bool windib = !windows_folder.empty() && name == "SDL_VIDEODRIVER" && value == "x11";
            value.empty() ? unsetenv(name.c_str()) : setenv(name.c_str(), windib ? "windib" : value.c_str(), 1);
        }
        std::vector<std::string> command = launcher(windows_folder.empty() ? "" : "wine");
        command.push_back(path);
        std::vector<char*> arguments;
        for (std::string& word : command) {
            arguments.push_back(word.data());
        }
        arguments.push_back(nullptr);
        execvp(arguments[0], arguments.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    out_fd = out[0];
    err_fd = err[0];
    fcntl(out_fd, F_SETFL, O_NONBLOCK);
    fcntl(err_fd, F_SETFL, O_NONBLOCK);
}

program::~program() {
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    drain_pipes();
    if (wine_messages_wanted && !err_text.empty()) {  // Wine's own messages, as WINEDEBUG lets them out
        std::fprintf(stderr, "Wine said:\n%s\n", err_text.c_str());
    }
    if (!windows_folder.empty()) {
        // A Wine session stays bound to the X server it started on, and outlives its last program
        // by a few seconds: the next test's program, on a new server, would join it and find no
        // display to open a window on.
        if (std::system("wineserver -k 2>/dev/null; wineserver -w") != 0) {
            std::fprintf(stderr, "the Wine session did not end\n");
        }
    }
    close(out_fd);
    close(err_fd);
}

void program::stop() {
    kill(pid, SIGSTOP);
}

void program::resume() {
    kill(pid, SIGCONT);
}

void program::close_output_reader() {
    drain_pipes();
    close(out_fd);
    out_fd = -1;
}

void program::drain_pipes() {
    append_available(out_fd, out_text);
    append_available(err_fd, err_text);
}

std::string program::standard_output() {
    drain_pipes();
    return windows_folder.empty() ? out_text : read_output_file(windows_folder + "stdout.txt");
}

// On Windows, SDL deletes stderr.txt at exit when nothing was written to it: an empty one left
// behind after the program ended is a fault of its own.
std::string program::standard_error() {
    drain_pipes();
    if (windows_folder.empty()) {
        return err_text;
    }
    const std::string file = windows_folder + "stderr.txt";
    const std::string text = read_output_file(file);
    return text.empty() && pid < 0 && access(file.c_str(), F_OK) == 0 ? "(an empty stderr.txt was left behind)" : text;
}

exit_result program::wait_for_exit(double seconds) {
    exit_result result;
    int status = 0;
    const bool ended = pid > 0 && wait_until(
                                      [&] {
                                          drain_pipes();  // a full pipe would keep the program from finishing
                                          return waitpid(pid, &status, WNOHANG) == pid;
                                      },
                                      seconds);
    if (ended) {
        result.exited = true;
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        pid = -1;
        drain_pipes();
    }
    return result;
}

std::string program::state() {
    if (pid < 0) {
        return "ended";
    }
    const exit_result result = wait_for_exit(0.0);
    return result.exited ? "ended with status " + std::to_string(result.status) : "still running";
}

bool wait_until(const std::function<bool()>& condition, double seconds) {
    const auto deadline = clock::now() + std::chrono::duration<double>(seconds);
    while (!condition()) {
        if (clock::now() > deadline) {
            return false;
        }
        pause_briefly();
    }
    return true;
}

Window find_window(Display* display, double seconds) {
    Window window = 0;
    const auto ours = [](const char* name, const XWindowAttributes& attributes) {
        return std::strcmp(name, "Smearwell") == 0 && attributes.map_state == IsViewable && attributes.width == width &&
               attributes.height == height;
    };
    wait_until([&] { return (window = find_named(display, DefaultRootWindow(display), ours)) != 0; }, seconds);
    return window;
}

std::string describe_windows(Display* display) {
    std::string text;
    find_named(display, DefaultRootWindow(display), [&](const char* name, const XWindowAttributes& attributes) {
        text += " \"" + std::string(name) + "\" " + std::to_string(attributes.width) + "x" +
                std::to_string(attributes.height) + (attributes.map_state == IsViewable ? " shown;" : " not shown;");
        return false;
    });
    return text.empty() ? " none" : text;
}

std::vector<std::pair<std::string, std::string>> on_display(const x_server& server) {
    return {{"DISPLAY", server.name()}, {"SDL_VIDEODRIVER", "x11"}, {"WAYLAND_DISPLAY", ""}};
}

Window focused_window(Display* display) {
    const Window window = find_window(display, 15.0);
    if (window) {
        give_focus(display, window);
    } else {
        std::fprintf(stderr, "no window appeared\n");
    }
    return window;
}

void give_focus(Display* display, Window window) {
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
}

void move_pointer(Display* display, Window window, int x, int y) {
    int root_x = 0, root_y = 0;
    Window child;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &root_x, &root_y, &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), root_x, root_y, CurrentTime);
    XSync(display, False);
}

void press_button(Display* display, int button) {
    XTestFakeButtonEvent(display, static_cast<unsigned>(button), True, CurrentTime);
    XSync(display, False);
}

void release_button(Display* display, int button) {
    XTestFakeButtonEvent(display, static_cast<unsigned>(button), False, CurrentTime);
    XSync(display, False);
}

void press_key(Display* display, const char* keysym_name) {
    XTestFakeKeyEvent(display, keycode(display, keysym_name), True, CurrentTime);
    XSync(display, False);
}

void release_key(Display* display, const char* keysym_name) {
    XTestFakeKeyEvent(display, keycode(display, keysym_name), False, CurrentTime);
    XSync(display, False);
}

void tap_key(Display* display, const char* keysym_name) {
    press_key(display, keysym_name);
    release_key(display, keysym_name);
}

void request_close(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
}

void iconify(Display* display, Window window) {
    XIconifyWindow(display, window, DefaultScreen(display));
    XSync(display, False);
    wait_until([&] { return !is_viewable(display, window); }, 5.0);
}

void unmap(Display* display, Window window) {
    XUnmapWindow(display, window);
    XSync(display, False);
    wait_until([&] { return !is_viewable(display, window); }, 5.0);
}

// A window manager takes the map request of an iconified window as one to show it again.
void restore(Display* display, Window window) {
    XMapWindow(display, window);
    XSync(display, False);
    wait_until([&] { return is_viewable(display, window); }, 5.0);
    give_focus(display, window);
}

void focus_elsewhere(Display* display) {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    const int screen = DefaultScreen(display);
    const Window other = XCreateWindow(display, DefaultRootWindow(display), DisplayWidth(display, screen) - 10,
                                       DisplayHeight(display, screen) - 10, 10, 10, 0, CopyFromParent, InputOutput,
                                       CopyFromParent, CWOverrideRedirect, &attributes);
    XMapRaised(display, other);
    XSync(display, False);
    wait_until([&] { return is_viewable(display, other); }, 5.0);
    XSetInputFocus(display, other, RevertToParent, CurrentTime);
    XSync(display, False);
}

void cover_and_uncover(Display* display, int x, int y, int w, int h) {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = WhitePixel(display, DefaultScreen(display));
    const Window cover =
        XCreateWindow(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), 0,
                      CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(display, cover);
    XSync(display, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // shown for a while, as a real one would be
    XDestroyWindow(display, cover);
    XSync(display, False);
}

picture grab(Display* display, Window window) {
    picture shot;
    XImage* image = XGetImage(display, window, 0, 0, width, height, AllPlanes, ZPixmap);
    if (!image) {
        std::fill(shot.pixels.begin(), shot.pixels.end(), 0xFFFFFFFFu);  // matches no expected picture
        return shot;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            shot.at(x, y) = static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF;  // 24-bit TrueColor
        }
    }
    XDestroyImage(image);
    return shot;
}

picture wait_for_picture(Display* display, Window window, const picture& expected, double seconds) {
    picture last;
    wait_until(
        [&] {
            last = grab(display, window);
            return last.pixels == expected.pixels;
        },
        seconds);
    return last;
}

picture steady_picture(Display* display, Window window, double seconds) {
    picture shot;
    wait_until(
        [&] {
            const picture first = grab(display, window);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            shot = grab(display, window);
            return first.pixels == shot.pixels;
        },
        seconds);
    return shot;
}

}  // namespace e2e
