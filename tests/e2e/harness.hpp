// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Real-window test harness: a private Xvfb server, the built program started in it with real
// input sent through XTest, and the window read back with XGetImage.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <X11/Xlib.h>

namespace e2e {

constexpr int width = 800;
constexpr int height = 600;
constexpr std::uint32_t black = 0x000000;
constexpr std::uint32_t purple = 0x8F37CD;  // the stroke colour as the X server shows it

// 0xRRGGBB per pixel, row by row.
struct picture {
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(width * height, black);
    std::uint32_t& at(int x, int y) { return pixels[static_cast<size_t>(y * width + x)]; }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

// The brush's disc with its top-left corner at (x, y), cut at the window's edges.
void paint_brush(picture& canvas, int x, int y, std::uint32_t colour = purple);
// How many pixels differ, and a few of them described.
std::string describe_difference(const picture& actual, const picture& expected);

// CTest ends a test that hangs after 120 s without a word. Unless destroyed first, this says after
// `seconds` where the test process and the programs it started are: their states, what each waits
// in, and their stacks where gdb is installed.
class hang_reporter {
public:
    explicit hang_reporter(double seconds);
    ~hang_reporter();
    hang_reporter(const hang_reporter&) = delete;
    hang_reporter& operator=(const hang_reporter&) = delete;

private:
    std::promise<void> test_ended;
    std::thread watcher;
};

class x_server {
public:
    x_server();  // starts Xvfb on a free display; throws if it cannot
    ~x_server();
    x_server(const x_server&) = delete;
    x_server& operator=(const x_server&) = delete;
    const std::string& name() const { return display_name; }
    Display* display() const { return connection; }
    // A window manager (twm) from now on: it frames, places and stacks new windows.
    void start_window_manager();

private:
    pid_t pid = -1;
    pid_t window_manager = -1;
    std::string window_manager_config;
    std::string display_name;
    Display* connection = nullptr;
};

struct exit_result {
    bool exited = false;  // within the time allowed
    int status = -1;
};

// Where the program's standard output goes: a pipe the test reads, the full device, or nowhere
// (the descriptor closed).
enum class output_to { pipe, full_device, closed };

class program {
public:
    // Starts the built program with `environment` added to (or, with an empty value, removed from)
    // the test's own environment. A Windows build (SMEARWELL_PROGRAM=….exe) runs under Wine.
    explicit program(const std::vector<std::pair<std::string, std::string>>& environment,
                     output_to output = output_to::pipe);
    ~program();
    program(const program&) = delete;
    program& operator=(const program&) = delete;

    std::string standard_output();  // everything printed so far
    std::string standard_error();   // also what a Windows build left in stderr.txt
    exit_result wait_for_exit(double seconds);
    void stop();                 // SIGSTOP: the program falls behind its input, which piles up
    void resume();               // SIGCONT
    void close_output_reader();  // the reader of its standard output goes away
    // "still running", or how it ended: for a test that waited in vain for its window.
    std::string state();
    // Under Wine: what Wine said on the error channel is printed when the program ends (the
    // tests ask for it once they have failed).
    void tell_wine_messages() { wine_messages_wanted = true; }

private:
    void drain_pipes();
    pid_t pid = -1;
    int out_fd = -1;
    int err_fd = -1;
    std::string out_text;
    std::string err_text;
    std::string windows_folder;  // where a Windows build run under Wine writes its output files
    bool wine_messages_wanted = false;
};

// Whether the program under test runs on sdl12-compat: a Windows build has SDL 1.2.15 beside it;
// any other, the SDL 1.2 these tests were built with.
bool program_on_sdl12_compat();

// The program's window on `server`, once mapped and 800x600; 0 if none appears in time.
Window find_window(Display* display, double seconds);
// Every window on the display with a name: its name, size and whether it is shown.
std::string describe_windows(Display* display);
// The environment that starts the program in a window on `server`, with SDL's X11 driver (so
// that a missing server fails loudly instead of falling back).
std::vector<std::pair<std::string, std::string>> on_display(const x_server& server);
// For the tools that drive the program: its window found and given the keyboard focus; 0, said
// on standard error, if none appears.
Window focused_window(Display* display);

// What a window manager does for a newly mapped window: keys go to it wherever the pointer is.
void give_focus(Display* display, Window window);
void move_pointer(Display* display, Window window, int x, int y);  // window coordinates
void press_button(Display* display, int button);
void release_button(Display* display, int button);
void tap_key(Display* display, const char* keysym_name);
void press_key(Display* display, const char* keysym_name);
void release_key(Display* display, const char* keysym_name);
void request_close(Display* display, Window window);  // what a window manager's close button sends
// What the window goes through: minimised (a window manager's iconify), unmapped (without a
// window manager), mapped again and given the focus; the keyboard focus given to a small window of
// another client, in the screen's bottom right corner.
void iconify(Display* display, Window window);
void unmap(Display* display, Window window);
void restore(Display* display, Window window);
void focus_elsewhere(Display* display);

// An unmanaged white window over (x, y, w, h) of the screen, mapped, then taken away again: what
// the window under it must draw anew.
void cover_and_uncover(Display* display, int x, int y, int w, int h);

picture grab(Display* display, Window window);
// Polls the window until it shows `expected` or `seconds` pass; returns the last picture seen.
picture wait_for_picture(Display* display, Window window, const picture& expected, double seconds = 5.0);
bool wait_until(const std::function<bool()>& condition, double seconds);
// The window once it has shown the same for 300 ms (or the last look, after `seconds`).
picture steady_picture(Display* display, Window window, double seconds = 10.0);

}  // namespace e2e
