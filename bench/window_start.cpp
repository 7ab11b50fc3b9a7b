// SPDX-License-Identifier: GPL-3.0-or-later
// Measures how long a window program takes from being started until its first top-level window
// is mapped (shown) on an X display: listens on the root window for MapNotify, starts the program,
// and stops the clock at the first map. Run it on a display without a window manager (Xvfb), so
// that top-level windows are children of the root window. The program is then ended (SIGTERM).
//
// Usage: window_start RUNS PROGRAM [ARGS...]   (prints one line per run and the median, in ms)

#include <X11/Xlib.h>
#include <signal.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kGiveUpSeconds = 20.0;

// A window that is more than a toolkit's helper: at least 16 by 16 pixels.
bool IsRealWindow(Display* display, Window window) {
  XWindowAttributes attributes;
  return XGetWindowAttributes(display, window, &attributes) != 0 && attributes.width >= 16 &&
         attributes.height >= 16;
}

// Waits until a real window is mapped as a child of the root window and returns its title;
// false when none came in time.
bool WaitForMap(Display* display, Clock::time_point started, std::string& title) {
  const int fd = ConnectionNumber(display);
  while (std::chrono::duration<double>(Clock::now() - started).count() < kGiveUpSeconds) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && IsRealWindow(display, event.xmap.window)) {
        char* name = nullptr;
        if (XFetchName(display, event.xmap.window, &name) != 0 && name != nullptr) {
          title = name;
          XFree(name);
        }
        return true;
      }
    }
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(fd, &readable);
    timeval wait{0, 100000};
    select(fd + 1, &readable, nullptr, nullptr, &wait);
  }
  return false;
}

// Starts the program, returns milliseconds until its window was mapped (negative: never).
double TimeOneStart(Display* display, char** command, std::string& title) {
  XSync(display, True);  // drop events of earlier runs
  const Clock::time_point started = Clock::now();
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    execvp(command[0], command);
    _exit(127);
  }
  const bool mapped = WaitForMap(display, started, title);
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
  kill(child, SIGTERM);
  int status = 0;
  waitpid(child, &status, 0);
  return mapped ? ms : -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: window_start RUNS PROGRAM [ARGS...]\n";
    return 2;
  }
  const int runs = std::atoi(argv[1]);
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::cerr << "window_start: no X display (run it under xvfb-run)\n";
    return 1;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    std::string title;
    const double ms = TimeOneStart(display, argv + 2, title);
    if (ms < 0) {
      std::cerr << "window_start: the window was not shown within " << kGiveUpSeconds << " s\n";
      return 1;
    }
    std::cout << "run " << run + 1 << ": " << ms << " ms (\"" << title << "\")\n";
    times.push_back(ms);
  }
  XCloseDisplay(display);
  std::sort(times.begin(), times.end());
  std::cout << "median " << times[times.size() / 2] << " ms, min " << times.front() << " ms, max "
            << times.back() << " ms over " << times.size() << " runs\n";
  return 0;
}
