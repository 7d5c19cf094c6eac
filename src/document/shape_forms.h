// The forms a shape file comes in, and the conversions between them.
//
// The window reads and writes Unicode text (UTF-16LE with the byte-order
// mark, CR LF; shape_file.h). Routes ship shapes compressed or binary, and
// some tools write 8-bit text or UTF-16 without the mark. Every form is
// turned into Unicode text bytes here before the text reader sees it, and
// Unicode text bytes are turned into the binary or compressed form when the
// user saves in one of those.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/text.h"

namespace lodsmith {

enum class ShapeForm {
  UnicodeText,       // FF FE, UTF-16LE "SIMISA@@@@@@@@@@JINX0s1t______"
  UnicodeTextNoBom,  // UTF-16LE "SIMISA@@..." without the mark
  EightBitText,      // "SIMISA@@@@@@@@@@JINX0s1t______" in ASCII/Latin-1 (CR LF may come first)
  Binary,            // "SIMISA@@@@@@@@@@JINX0s1b______" CR LF, then binary blocks
  Compressed,        // "SIMISA@F", u32 inflated length, "@@@@", zlib stream
};

// The form of a file from its first bytes; nothing when it is none of the
// forms above (the reader then asks the byte-order question).
std::optional<ShapeForm> DetectShapeForm(std::string_view bytes);

// How floats of binary blocks are written as text: as the simulator's
// utility writes them (6 significant digits, the default), or with as many
// digits as give the same float32 back (up to 9).
enum class FloatText { Utility, Lossless };

// The file's bytes as Unicode text bytes, ready for DecodeShape:
// - UnicodeText: returned as it is;
// - UnicodeTextNoBom / EightBitText: line for line as they stand, each code
//   unit or byte one character, with FF FE put in front; nothing re-laid-out,
//   but the empty lines some tools write before the 8-bit header are dropped
//   (the header is the first line that holds text);
// - Binary / Compressed: the text the utility writes for it, byte for byte,
//   with two additions that keep every block as it was: a quoted string
//   doubles a backslash that stands before a quote, before another backslash
//   or at its end (a path's other backslashes stay single), and a block
//   whose flags word is not zero ends with the comment
//   "skip ( block_attr XXXX )" (four hex digits), which the encoder below
//   gives back to the block.
// A file that claims a form and breaks it (truncated, a length that does not
// match, a bad zlib stream, a block running past its parent, an unknown
// token, nesting deeper than any shape) raises Error with a DocumentMsg
// naming the fault; nothing is read outside `bytes`, and no more memory is
// taken than the data can justify.
std::string ShapeFormToUnicodeText(std::string_view bytes, ShapeForm form, FloatText floats = FloatText::Utility);

// Unicode text bytes of a shape (FF FE ..., as EncodeShape writes them) in
// the given form: Binary or Compressed (plain zlib, what the utility itself
// writes); UnicodeText returns them as they are. The header is looked for on
// the first line that holds text; inside quotes \\ reads as one backslash
// and \" as a quote. Text that cannot be encoded
// (an unknown block name, a value that does not fit its layout) raises Error
// with a DocumentMsg naming the line.
std::string UnicodeTextToShapeForm(std::string_view unicodeText, ShapeForm form);

// The same bytes as UnicodeTextToShapeForm(EncodeShape(lines, bom,
// progress), form), for the Binary and Compressed forms without the Unicode
// text in between; `progress` is called as EncodeShape calls it.
std::string LinesToShapeForm(const Lines& lines, std::string_view bom, ShapeForm form,
                             const std::function<void(int)>& progress = {});

// The binary blocks of a Binary or Compressed file as they stand after its
// header (inflated for Compressed), the body that UnicodeTextToShapeForm
// writes again; for comparing forms without their compression. Raises
// Error as ShapeFormToUnicodeText does for a broken header or stream.
std::string ShapeFormBlocks(std::string_view bytes, ShapeForm form);

}  // namespace lodsmith
