#include "win32/smaller_fonts.h"

namespace lodsmith {

HFONT SmallerFonts::Get(HFONT base, int px) {
  auto it = fonts_.find(px);
  if (it != fonts_.end()) return it->second;
  LOGFONTW lf{};
  ::GetObjectW(base, sizeof lf, &lf);
  lf.lfHeight = -px;
  lf.lfWidth = 0;
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  HFONT f = ::CreateFontIndirectW(&lf);
  fonts_[px] = f;
  return f;
}

void SmallerFonts::Clear() {
  for (auto& [px, font] : fonts_) ::DeleteObject(font);
  fonts_.clear();
}

}  // namespace lodsmith
