#include "document/shape_forms.h"

#include <string>

#include "core/message.h"
#include "document/document_messages.h"
#include "document/shape_file.h"
#include "document/shape_form_common.h"

// The text forms are converted here; the binary and the compressed form have
// files of their own (shape_form_*.cpp).

namespace lodsmith {

using shape_form::BlocksToText;
using shape_form::Deflate;
using shape_form::InflateFile;
using shape_form::kBinaryHeader;
using shape_form::kCompressedMagic;
using shape_form::kInflatedBinaryHeader;
using shape_form::kTextHeader;
using shape_form::LinesToBlocks;
using shape_form::StartsWith;

namespace {

std::string WidenBytes(std::string_view bytes) {
  std::string out;
  out.reserve(2 + bytes.size() * 2);
  out += "\xFF\xFE";
  for (char c : bytes) {
    out += c;
    out += '\0';
  }
  return out;
}

// 8-bit text from the first line that holds text on: the empty lines (CR,
// blanks and tabs only) some tools write before the header are dropped.
std::string_view FromFirstTextLine(std::string_view bytes) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\n')
      start = i + 1;
    else if (c != '\r' && c != ' ' && c != '\t')
      break;
  }
  return bytes.substr(start);
}

}  // namespace

std::optional<ShapeForm> DetectShapeForm(std::string_view bytes) {
  if (StartsWith(bytes, "\xFF\xFE")) return ShapeForm::UnicodeText;
  if (StartsWith(bytes, std::string_view("S\0I\0M\0I\0S\0A\0", 12))) return ShapeForm::UnicodeTextNoBom;
  if (StartsWith(bytes, kCompressedMagic)) return ShapeForm::Compressed;
  if (StartsWith(bytes, kBinaryHeader.substr(0, 24))) return ShapeForm::Binary;
  if (StartsWith(FromFirstTextLine(bytes), "SIMISA@@")) return ShapeForm::EightBitText;
  return std::nullopt;
}

std::string ShapeFormToUnicodeText(std::string_view bytes, ShapeForm form, FloatText floats) {
  switch (form) {
    case ShapeForm::UnicodeText: return std::string(bytes);
    case ShapeForm::UnicodeTextNoBom: return "\xFF\xFE" + std::string(bytes);
    case ShapeForm::EightBitText: return WidenBytes(FromFirstTextLine(bytes));
    case ShapeForm::Binary:
      if (!StartsWith(bytes, kBinaryHeader)) throw Error(DocumentMsg::FormNotThisForm);
      return BlocksToText(bytes, kBinaryHeader.size(), 0, floats);
    case ShapeForm::Compressed: {
      const std::string inflated = InflateFile(bytes);
      if (StartsWith(inflated, kInflatedBinaryHeader))
        return BlocksToText(inflated, kInflatedBinaryHeader.size(), 0, floats);
      // A compressed text body reads as the text form it is in.
      if (StartsWith(inflated, std::string_view("J\0I\0N\0X\0", 8)))
        return WidenBytes(kTextHeader.substr(0, 16)) + inflated;
      if (StartsWith(inflated, "JINX0s1t")) return WidenBytes(std::string(kTextHeader.substr(0, 16)) + inflated);
      throw Error(DocumentMsg::FormNotThisForm);
    }
  }
  throw Error(DocumentMsg::FormNotThisForm);
}

std::string ShapeFormBlocks(std::string_view bytes, ShapeForm form) {
  if (form == ShapeForm::Binary) {
    if (!StartsWith(bytes, kBinaryHeader)) throw Error(DocumentMsg::FormNotThisForm);
    return std::string(bytes.substr(kBinaryHeader.size()));
  }
  if (form != ShapeForm::Compressed) throw Error(DocumentMsg::FormNotThisForm);
  std::string inflated = InflateFile(bytes);
  if (!StartsWith(inflated, kInflatedBinaryHeader)) throw Error(DocumentMsg::FormNotThisForm);
  return inflated.substr(kInflatedBinaryHeader.size());
}

std::string UnicodeTextToShapeForm(std::string_view unicodeText, ShapeForm form) {
  if (form == ShapeForm::UnicodeText) return std::string(unicodeText);
  std::string blocks = shape_form::TextToBlocks(unicodeText);
  if (form == ShapeForm::Compressed) return Deflate(blocks);
  if (form == ShapeForm::Binary) return std::string(kBinaryHeader.substr(0, 16)) + blocks;
  // The text forms are the window's own business; this program writes
  // Unicode text for them.
  return std::string(unicodeText);
}

std::string LinesToShapeForm(const Lines& lines, std::string_view bom, ShapeForm form,
                             const std::function<void(int)>& progress) {
  // The lines are encoded as they stand only behind the mark every form is
  // read with; anything else goes the long way.
  if ((form != ShapeForm::Compressed && form != ShapeForm::Binary) || bom != "\xFF\xFE")
    return UnicodeTextToShapeForm(EncodeShape(lines, bom, progress), form);
  std::string blocks = LinesToBlocks(lines, progress);
  if (form == ShapeForm::Compressed) return Deflate(blocks);
  return std::string(kBinaryHeader.substr(0, 16)) + blocks;
}

}  // namespace lodsmith
