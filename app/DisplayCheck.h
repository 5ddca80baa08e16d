#pragma once
// Without a display Qt ends the program with abort() (exit code 134, maybe
// a core file) from inside the application object's construction. The
// program says instead, in one line on standard error, that there is no
// display and how to run it on a virtual X server, and ends with 1 before
// anything is touched.

#include <optional>
#include <string>

// The line to print when the environment plainly offers no display: the
// window system Qt would pick (xcb or wayland, by QT_QPA_PLATFORM or a
// -platform argument) has no address to connect to. nullopt when there may
// be one, or when another platform (offscreen, say) was asked for.
std::optional<std::string> MissingDisplayMessage(int argc, char** argv);

// While one lives, a failure of Qt to reach the display (a DISPLAY that
// names no running server) prints the line and ends the process with 1
// instead of aborting; Qt's own complaints about the platform are held back
// and passed on only when the construction succeeds.
class DisplayFailureExit {
 public:
  DisplayFailureExit();
  ~DisplayFailureExit();

  DisplayFailureExit(const DisplayFailureExit&) = delete;
  DisplayFailureExit& operator=(const DisplayFailureExit&) = delete;
};
