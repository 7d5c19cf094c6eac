// Shape text read and written piece by piece, so that a large shape never
// stands in memory as a whole file image beside its lines.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "core/text.h"

namespace lodsmith {

// Reads UTF-16LE shape text (the file from its mark FF FE on) handed over in
// pieces of any size, cut anywhere, even inside a code unit or a surrogate
// pair: the lines come out as DecodeShape gives them for the whole image.
// The unit 000A ends a raw line, units 000D are dropped, a later raw line
// whose first unit is 001A ends the file; a single byte left at the end is a
// unit of its own unless it is 00 (the high byte of the last LF). Later lines
// longer than kWrapWidth characters are wrapped. Lines are appended to `out`
// as soon as they end; `progress` is called after every 1000th later raw
// line with the count so far.
class Utf16ShapeReader {
public:
  explicit Utf16ShapeReader(Lines& out, std::function<void(int)> progress = {});
  // The next bytes of the file; the first two are the mark.
  void Feed(std::string_view bytes);
  // The end of the file: the last line, if the file has one after its last
  // line end.
  void Finish();

private:
  void Unit(char16_t u);
  void FlushWide();
  void EndLine();

  Lines& out_;
  std::function<void(int)> progress_;
  std::size_t markLeft_ = 2;
  int oddByte_ = -1;          // the low byte of a unit cut between two pieces
  std::string line_;          // the raw line so far, as UTF-8
  std::u16string wide_;       // its last units above ASCII, not yet converted
  bool anyUnit_ = false;      // a unit came since the last LF, 000D included
  bool lineHasText_ = false;  // a unit other than 000D came since the last LF
  int raw_ = 0;               // raw lines ended so far
  bool stopped_ = false;      // a Ctrl-Z line ended the file
};

// Writes lines as UTF-16LE code units, each line followed by CR LF, after
// the given leading bytes: the bytes EncodeShape returns, handed to `write`
// in order in pieces of at most about `piece` bytes. `progress` is called
// after each later line whose index is a multiple of 1000.
void WriteShapeText(const Lines& lines, std::string_view bom, const std::function<void(std::string_view)>& write,
                    const std::function<void(int)>& progress = {}, std::size_t piece = 1 << 18);

}  // namespace lodsmith
