// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Plays a script of user input to the real desktop program in a private Xvfb server, and writes
// what it shows and prints: the pictures the web tests expect the browser to show for the same
// input. Usage: smearwell_replay SCRIPT OUTPUT-PREFIX. Script lines, in window coordinates:
//   move X Y | down | up | key NAME | press NAME | release NAME | pause MILLISECONDS | shot
// Each `shot` waits for the window to settle and writes PREFIX-N.ppm (N from 1); at the end
// PREFIX.out holds standard output and PREFIX.status the exit status (or "running").
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "harness.hpp"

namespace {

void pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool write_ppm(const std::string& path, const e2e::picture& shot) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << e2e::width << ' ' << e2e::height << "\n255\n";
    for (const std::uint32_t v : shot.pixels) {
        out.put(static_cast<char>(v >> 16)).put(static_cast<char>(v >> 8)).put(static_cast<char>(v));
    }
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SCRIPT OUTPUT-PREFIX\n", argv[0]);
        return 2;
    }
    std::ifstream script(argv[1]);
    const std::string prefix = argv[2];
    e2e::x_server server;
    e2e::program smearwell(e2e::on_display(server));
    Display* display = server.display();
    const Window window = e2e::focused_window(display);
    if (!window) {
        return 1;
    }
    int shots = 0;
    std::string line;
    while (std::getline(script, line)) {
        std::istringstream words(line);
        std::string command;
        std::string name;
        words >> command;
        if (command == "move") {
            int x = 0;
            int y = 0;
            words >> x >> y;
            e2e::move_pointer(display, window, x, y);
        } else if (command == "down" || command == "up") {
            (command == "down" ? e2e::press_button : e2e::release_button)(display, 1);
        } else if (command == "key" || command == "press" || command == "release") {
            words >> name;
            (command == "key"     ? e2e::tap_key
             : command == "press" ? e2e::press_key
                                  : e2e::release_key)(display, name.c_str());
        } else if (command == "pause") {
            int milliseconds = 0;
            words >> milliseconds;
            pause(milliseconds);
        } else if (command == "shot") {
            if (!write_ppm(prefix + "-" + std::to_string(++shots) + ".ppm", e2e::steady_picture(display, window))) {
                return 1;
            }
        } else if (!command.empty()) {
            std::fprintf(stderr, "not a script command: %s\n", line.c_str());
            return 2;
        }
    }
    const e2e::exit_result result = smearwell.wait_for_exit(2.0);
    std::ofstream(prefix + ".out", std::ios::binary) << smearwell.standard_output();
    std::ofstream(prefix + ".status") << (result.exited ? std::to_string(result.status) : "running") << '\n';
    return 0;
}
