// A face in sizes smaller than its own, for captions that are set smaller
// rather than cut: each size is made once, on first use, and kept until the
// face changes.
#pragma once

#include <windows.h>

#include <map>

namespace lodsmith {

class SmallerFonts {
public:
  SmallerFonts() = default;
  SmallerFonts(const SmallerFonts&) = delete;
  SmallerFonts& operator=(const SmallerFonts&) = delete;
  ~SmallerFonts() { Clear(); }

  // `base` at a height of `px` pixels. A bitmap face has no size between
  // its steps and would be drawn wider than asked for, so the sizes come
  // from an outline face. The font stays owned here.
  HFONT Get(HFONT base, int px);

  // Deletes the fonts made; to be called when the base face changes.
  void Clear();

private:
  std::map<int, HFONT> fonts_;  // by pixel height
};

}  // namespace lodsmith
