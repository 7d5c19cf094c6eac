// The command line of the window programs (the Qt and the Windows window):
// one table of options for both (core/option_table.h), and the shapes given
// to open.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lodsmith {

struct WindowOptions {
  bool help = false;
  bool version = false;
  bool preview = false;             // open the preview (with --screenshot: picture it instead)
  std::string screenshot;           // save a picture of the window and quit
  std::string open;                 // with --screenshot: the shape opened first
  int page = 0;                     // with --screenshot: the page shown
  std::vector<std::string> shapes;  // given to open (a double-click, "Open with")
  // What made the command line unusable (an unknown option, a missing
  // value): the program prints its usage and ends with exit status 2.
  std::optional<std::string> wrong;

  // The shape the window opens at start: --open, else the first one given.
  std::string ShapeToOpen() const { return !open.empty() ? open : shapes.empty() ? std::string() : shapes.front(); }
};

inline constexpr int kWindowUsageExit = 2;

// Reads the arguments after the program's name.
WindowOptions ParseWindowOptions(const std::vector<std::string>& args);

}  // namespace lodsmith
