// Reading a shape file image and writing it again: the input is the file.
//
// Decoding what was encoded gives the same lines, whenever the leading
// bytes can stand in front of line 0 again (two bytes, neither a line end
// nor the end-of-file mark). A plain UTF-16 text file (PlainTextImage) is
// written again byte for byte, whatever its characters.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "document/shape_file.h"
#include "fuzz_harness.h"

using namespace lodsmith;
using namespace lodsmith::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes = AsText(data, size);
  int lastProgress = 0;
  DecodedShape first = DecodeShape(bytes, [&](int count) {
    Require(count > lastProgress, "decode progress went backwards");
    lastProgress = count;
  });
  Require(first.bom == bytes.substr(0, std::min<std::size_t>(2, size)), "decode: the leading bytes are not the file's");

  const std::string image = EncodeShape(first.lines, first.bom);
  if (PlainTextImage(bytes) && image != bytes)
    Violated("a plain UTF-16 text file is not written back byte for byte",
             "written " + std::to_string(image.size()) + " bytes of " + std::to_string(size) +
                 ", first difference at byte " +
                 std::to_string(std::mismatch(image.begin(), image.end(), bytes.begin(), bytes.end()).first -
                                image.begin()));
  Require(image.compare(0, first.bom.size(), first.bom) == 0, "encode: the leading bytes are not the given ones");
  const bool bomStands = first.bom.size() == 2 && first.bom.find_first_of("\r\n\x1A") == std::string::npos;
  if (!bomStands) return 0;

  DecodedShape second = DecodeShape(image);
  if (second.lines != first.lines)
    Violated("decode, encode, decode: the lines differ", FirstDifference(first.lines, second.lines));
  // The image of the same lines is the same image.
  Require(EncodeShape(second.lines, second.bom) == image, "encode of the decoded image differs");
  return 0;
}
