// Reading and writing shape files: UTF-16LE text with a byte-order mark and
// CR LF line ends, kept in memory as UTF-8 lines. Every character of the
// file survives reading and writing, whatever its script.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/text.h"

namespace lodsmith {

// Longest later line stored whole; longer ones are wrapped after a blank.
constexpr int kWrapWidth = 210;

// Wraps a later line longer than kWrapWidth at the last blank among its
// first kWrapWidth characters; a remainder without such a blank is stored
// whole, so that no keyword or number is ever cut.
void AppendWrapped(Lines& out, std::string line);

struct DecodedShape {
  std::string bom;  // the first two bytes of the file (fewer if shorter)
  Lines lines;
};

// Decodes a whole file image. A file starting with the UTF-16LE mark FF FE
// is read by code units: the unit 000A ends a raw line, units 000D are
// dropped, a later raw line starting with 001A ends the file; a single byte
// left at the end is a unit of its own unless it is 00 (the high byte of the
// last LF). Any other file is read by bytes, as the same rules say for
// bytes, every second byte being a Latin-1 character. Later lines longer
// than kWrapWidth characters are wrapped. `progress` is called after every
// 1000th later raw line with the count so far.
DecodedShape DecodeShape(std::string_view bytes, const std::function<void(int)>& progress = {});

// Encodes lines with the given leading bytes: each line as UTF-16LE code
// units followed by CR LF (units 000D 000A). `progress` is called after each
// later line whose index is a multiple of 1000.
std::string EncodeShape(const Lines& lines, std::string_view bom, const std::function<void(int)>& progress = {});

}  // namespace lodsmith
