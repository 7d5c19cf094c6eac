// The forms of a shape file: detection, the utility's text of compressed and
// binary shapes byte for byte, the way back, and broken files.
#include "document/shape_forms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/message.h"
#include "document/document_messages.h"
#include "document/float_text.h"
#include "document/shape_file.h"
#include "test_env.h"

namespace lodsmith {
namespace {

using test::CorpusDir;
using test::CorpusTsmDir;
using test::NoCorpusShapes;
using test::ReadBytes;

std::string Wide(std::string_view ascii) {
  std::string out;
  for (char c : ascii) {
    out += c;
    out += '\0';
  }
  return out;
}

std::string U32(std::uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
  return s;
}
std::string U16(std::uint32_t v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }

// A block of the binary form: id, flags, byte count, empty label, body.
std::string BinBlock(int id, const std::string& body) { return U16(id) + U16(0) + U32(body.size() + 1) + '\0' + body; }

std::string BinaryFile(const std::string& blocks) { return "SIMISA@@@@@@@@@@JINX0s1b______\r\n" + blocks; }

// The manifest's files of the given encodings.
std::vector<std::string> CorpusFiles(const std::vector<std::string>& encodings) {
  std::vector<std::string> files;
  const std::string dir = CorpusDir();
  if (dir.empty()) return files;
  std::ifstream manifest(dir + "/MANIFEST.tsv");
  std::string line;
  std::getline(manifest, line);
  while (std::getline(manifest, line)) {
    std::vector<std::string> cells;
    std::stringstream ss(line);
    for (std::string cell; std::getline(ss, cell, '\t');) cells.push_back(cell);
    if (cells.size() > 5)
      for (const std::string& e : encodings)
        if (cells[5] == e) files.push_back(cells[0]);
  }
  return files;
}

TEST(ShapeForms, DetectsEachFormByItsFirstBytes) {
  struct Case {
    std::string bytes;
    std::optional<ShapeForm> form;
  } cases[] = {
      {"\xFF\xFE" + Wide("SIMISA@@@@@@@@@@JINX0s1t______"), ShapeForm::UnicodeText},
      {Wide("SIMISA@@@@@@@@@@JINX0s1t______"), ShapeForm::UnicodeTextNoBom},
      {"SIMISA@@@@@@@@@@JINX0s1t______\r\n", ShapeForm::EightBitText},
      {"\r\nSIMISA@@@@@@@@@@JINX0s1t______\r\n", ShapeForm::EightBitText},
      {BinaryFile(""), ShapeForm::Binary},
      {"SIMISA@F" + U32(0) + "@@@@", ShapeForm::Compressed},
      {"shape ( )", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(DetectShapeForm(c.bytes), c.form) << c.bytes;
}

TEST(ShapeForms, TextFormsBecomeUnicodeTextCharacterForCharacter) {
  const std::string body = "SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\nimage ( \xE9t\xE9 )\n";
  std::string expected = "\xFF\xFE";
  for (char c : body) expected += std::string{c, '\0'};
  // The header is the first line that holds text: empty lines before it go.
  for (const char* before : {"", "\r\n", "\r\n\r\n", "\n", " \t\r\n"}) {
    SCOPED_TRACE(before);
    EXPECT_EQ(DetectShapeForm(before + body), ShapeForm::EightBitText);
    EXPECT_EQ(ShapeFormToUnicodeText(before + body, ShapeForm::EightBitText), expected);
  }
  const std::string noBom = Wide("SIMISA@@@@@@@@@@JINX0s1t______\r\n");
  EXPECT_EQ(ShapeFormToUnicodeText(noBom, ShapeForm::UnicodeTextNoBom), "\xFF\xFE" + noBom);
}

TEST(ShapeForms, WritesValuesAsTheUtilityDoes) {
  // point: floats of every spelling; shape_header: dwords; a labelled matrix.
  auto f = [](float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return U32(bits);
  };
  const std::string point = BinBlock(2, f(-0.0f) + f(1e-5f) + f(2.5e10f));
  const std::string nan = BinBlock(2, U32(0x7FC00000) + U32(0x7F800000) + U32(0xFF800000));
  std::string matrixBody;
  for (int i = 0; i < 12; ++i) matrixBody += f(static_cast<float>(i) / 4);
  std::string matrix = U16(65) + U16(0) + U32(1 + 2 * 4 + matrixBody.size()) + '\x04' + Wide("a b\"") + matrixBody;
  const std::string text =
      ShapeFormToUnicodeText(BinaryFile(point + nan + BinBlock(70, U32(0xAB) + U32(1)) + matrix), ShapeForm::Binary);
  EXPECT_EQ(text, "\xFF\xFE" + Wide("SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\n"
                                    "point ( 0 1e-005 2.5e+010 )\r\n"
                                    "point ( 1.#QNAN 1.#INF -1.#INF )\r\n"
                                    "shape_header ( 000000ab 00000001 )\r\n"
                                    "matrix \"a b\\\"\" ( 0 0.25 0.5 0.75 1 1.25 1.5 1.75 2 2.25 2.5 2.75 )\r\n"));
  // The way back gives the same blocks, but for -0, which the utility's text
  // does not keep.
  EXPECT_EQ(UnicodeTextToShapeForm(text, ShapeForm::Binary),
            BinaryFile(BinBlock(2, f(0.0f) + f(1e-5f) + f(2.5e10f)) + nan + BinBlock(70, U32(0xAB) + U32(1)) + matrix));
}

// printf's "%g" with the exponent widened to three digits: what the
// utility writes for a finite float.
std::string PrintfFloat(float v, int precision = 6) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*g", precision, static_cast<double>(v));
  std::string s = buffer;
  const std::size_t e = s.find('e');
  if (e != std::string::npos && s.size() - (e + 2) == 2) s.insert(e + 2, "0");
  return s;
}

std::string Utility(float v) {
  char buffer[kFloatTextMax];
  return std::string(buffer, FormatUtilityFloat(v, buffer));
}

std::string Lossless(float v) {
  char buffer[kFloatTextMax];
  return std::string(buffer, FormatLosslessFloat(v, buffer));
}

TEST(ShapeForms, FloatsAreSpelledAsPrintfWithThreeExponentDigits) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    float v;
    const char* utility;  // nullptr: as printf spells it
  } cases[] = {
      {0.0f, "0"},
      {-0.0f, "0"},
      {nan, "1.#QNAN"},
      {-nan, "1.#QNAN"},
      {inf, "1.#INF"},
      {-inf, "-1.#INF"},
      {1e-5f, "1e-005"},
      {1e+10f, "1e+010"},
      {123456.5f, "123456"},
      {999999.5f, "1e+006"},
      {1e6f, "1e+006"},
      {100000.0f, "100000"},
      {0.0001f, "0.0001"},
      {static_cast<float>(1e-310), "0"},  // no float that small: it is zero
      {1e-40f, nullptr},                  // denormals
      {std::numeric_limits<float>::denorm_min(), nullptr},
      {-std::numeric_limits<float>::denorm_min(), nullptr},
      {std::numeric_limits<float>::min(), nullptr},
      {std::numeric_limits<float>::max(), nullptr},
      {-std::numeric_limits<float>::max(), nullptr},
      {0.00009999995f, nullptr},
      {0.000099999f, nullptr},
      {0.5f, "0.5"},
      {-2.25f, "-2.25"},
      {1.0f, "1"},
      {10.0f, "10"},
      {0.1f, "0.1"},
      {0.123457f, "0.123457"},
      {99999.95f, nullptr},
      {9.999995f, nullptr},
      {0.3333333f, "0.333333"},
      {1234.5625f, "1234.56"},
      {1234.565f, nullptr},
      {2.5e10f, "2.5e+010"},
      {1.5e-7f, "1.5e-007"},
      {3.4e38f, "3.4e+038"},
  };
  for (const Case& c : cases) {
    if (std::isfinite(c.v) && c.v != 0) {
      EXPECT_EQ(Utility(c.v), PrintfFloat(c.v)) << c.v;
    }
    if (c.utility) {
      EXPECT_EQ(Utility(c.v), c.utility) << c.v;
    }
  }
  EXPECT_EQ(Lossless(-0.0f), "-0");
  EXPECT_EQ(Lossless(0.1234567f), "0.1234567");
  EXPECT_EQ(Lossless(16777215.0f), "16777215");
  EXPECT_EQ(Lossless(1e-40f), "9.99995e-041");  // a denormal has fewer digits to keep
}

// Every float of a sweep across the range that real shapes use, and ties at
// the sixth digit, spelled as printf spells them.
TEST(ShapeForms, FloatSweepMatchesPrintf) {
  int differences = 0;
  auto check = [&](float v) {
    for (const float x : {v, -v}) {
      if (Utility(x) == PrintfFloat(x)) continue;
      if (++differences <= 10) ADD_FAILURE() << x << ": " << Utility(x) << " for " << PrintfFloat(x);
    }
  };
  std::uint32_t bits = 0x38000000u;  // about 3e-5
  while (bits < 0x4A000000u) {       // about 2e6
    float v;
    std::memcpy(&v, &bits, 4);
    check(v);
    bits += 2311;
  }
  for (int i = 0; i < 200000; ++i) check(static_cast<float>(i) + 0.5f);
  for (int i = 1; i < 20000; ++i) check(static_cast<float>(i) / 1024.0f);
  EXPECT_EQ(differences, 0);
}

TEST(ShapeForms, LosslessFloatsKeepEveryBit) {
  const float v = 0.1234567f;
  std::uint32_t bits;
  std::memcpy(&bits, &v, 4);
  const std::string file = BinaryFile(BinBlock(35, U32(bits)));
  const std::string utility = ShapeFormToUnicodeText(file, ShapeForm::Binary);
  const std::string lossless = ShapeFormToUnicodeText(file, ShapeForm::Binary, FloatText::Lossless);
  EXPECT_NE(utility.find(Wide("( 0.123457 )")), std::string::npos);
  EXPECT_NE(lossless.find(Wide("( 0.1234567 )")), std::string::npos);
  EXPECT_EQ(UnicodeTextToShapeForm(lossless, ShapeForm::Binary), file);
}

// Unicode text whose header is not on the first line (what earlier versions
// saved from 8-bit text with CR LF first) still encodes.
TEST(ShapeForms, HeaderIsTheFirstLineThatHoldsText) {
  const std::string text = "\xFF\xFE" + Wide("\r\n\r\nSIMISA@@@@@@@@@@JINX0s1t______\r\n\r\npoint ( 0 0 0 )\r\n");
  const std::string point = BinBlock(2, U32(0) + U32(0) + U32(0));
  EXPECT_EQ(UnicodeTextToShapeForm(text, ShapeForm::Binary), BinaryFile(point));
  const std::string compressed = UnicodeTextToShapeForm(text, ShapeForm::Compressed);
  EXPECT_EQ(ShapeFormBlocks(compressed, ShapeForm::Compressed), point);
}

// Strings of every kind come back from their text unchanged, and the
// text of a path is the utility's own (its backslashes single).
TEST(ShapeForms, StringsSurviveTheirText) {
  struct Case {
    const char* value;
    const char* text;  // as the text writes it
  } cases[] = {
      {"my tex\\", "\"my tex\\\\\""},
      {"..\\textures\\a b.ace", "\"..\\textures\\a b.ace\""},
      {"..\\textures\\ab.ace", "..\\textures\\ab.ace"},
      {"tex\\", "tex\\"},
      {"a \"q\"", "\"a \\\"q\\\"\""},
      {"a\\\" b", "\"a\\\\\\\" b\""},
      {"a\\\\b c", "\"a\\\\\\b c\""},
      {"", "\"\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    const std::string value = c.value;
    const std::string binary = BinaryFile(BinBlock(14, U32(1) + BinBlock(13, U16(value.size()) + Wide(value))));
    const std::string text = ShapeFormToUnicodeText(binary, ShapeForm::Binary);
    EXPECT_NE(text.find(Wide(std::string("image ( ") + c.text + " )")), std::string::npos);
    EXPECT_EQ(UnicodeTextToShapeForm(text, ShapeForm::Binary), binary);
    const std::string compressed = UnicodeTextToShapeForm(text, ShapeForm::Compressed);
    EXPECT_EQ(ShapeFormToUnicodeText(compressed, ShapeForm::Compressed), text);
  }
}

// The flags word of a block is kept through the text, at any depth, for
// blocks with and without nested blocks; a block without flags reads as
// the utility writes it.
TEST(ShapeForms, BlockFlagsSurviveTheirText) {
  auto flagged = [](int id, std::uint16_t flags, const std::string& body) {
    std::string b = BinBlock(id, body);
    b.replace(2, 2, U16(flags));
    return b;
  };
  const std::string point = BinBlock(2, U32(0) + U32(0) + U32(0));
  const std::string points = flagged(7, 0x8001, U32(2) + flagged(2, 0x0010, U32(0) + U32(0) + U32(0)) + point);
  const std::string binary = BinaryFile(points + flagged(13, 0xffff, U16(1) + Wide("a")));
  const std::string text = ShapeFormToUnicodeText(binary, ShapeForm::Binary);
  EXPECT_EQ(text, "\xFF\xFE" + Wide("SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\n"
                                    "points ( 2\r\n"
                                    "\tpoint ( 0 0 0 skip ( block_attr 0010 ) )\r\n"
                                    "\tpoint ( 0 0 0 )\r\n"
                                    "\tskip ( block_attr 8001 )\r\n"
                                    ")\r\n"
                                    "image ( a skip ( block_attr ffff ) )\r\n"));
  EXPECT_EQ(UnicodeTextToShapeForm(text, ShapeForm::Binary), binary);
  const std::string compressed = UnicodeTextToShapeForm(text, ShapeForm::Compressed);
  EXPECT_EQ(ShapeFormBlocks(compressed, ShapeForm::Compressed), binary.substr(32));
  EXPECT_EQ(ShapeFormToUnicodeText(compressed, ShapeForm::Compressed, FloatText::Lossless), text);
  // Other comments still carry nothing.
  const std::string other = "\xFF\xFE" + Wide(
                                             "SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\n"
                                             "point ( 0 0 0 skip ( block_attr 12345 ) skip ( other 0001 ) )\r\n");
  EXPECT_EQ(UnicodeTextToShapeForm(other, ShapeForm::Binary), BinaryFile(point));
}

TEST(ShapeForms, CommentsCarryNoData) {
  const std::string text = "\xFF\xFE" + Wide(
                                            "SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\n"
                                            "comment ( made by hand )\r\n"
                                            "dlevel_selection ( skip ( x ) 100 )\r\n");
  const float v = 100;
  std::uint32_t bits;
  std::memcpy(&bits, &v, 4);
  EXPECT_EQ(UnicodeTextToShapeForm(text, ShapeForm::Binary), BinaryFile(BinBlock(35, U32(bits))));
}

// The utility's own text of the same shapes, byte for byte.
TEST(ShapeForms, CompressedPairsGiveTheUtilitysText) {
  const std::string dir = CorpusDir();
  if (dir.empty()) GTEST_SKIP() << NoCorpusShapes("corpus");
  const std::pair<const char*, const char*> pairs[] = {
      {"pgroenbaek__shapeio__DK10f_A1tPnt5dLft_compressed.s", "pgroenbaek__shapeio__DK10f_A1tPnt5dLft.s"},
      {"pgroenbaek__trackshape-utils__DB1z_a1t10mStrt__compressed.s",
       "pgroenbaek__trackshape-utils__DB1z_a1t10mStrt.s"},
  };
  for (const auto& [compressed, text] : pairs) {
    const std::string bytes = ReadBytes(dir + "/" + compressed);
    ASSERT_EQ(DetectShapeForm(bytes), ShapeForm::Compressed) << compressed;
    const std::string decoded = ShapeFormToUnicodeText(bytes, ShapeForm::Compressed);
    const std::string expected = ReadBytes(dir + "/" + text);
    if (decoded != expected) {
      std::size_t at = 0;
      while (at < decoded.size() && at < expected.size() && decoded[at] == expected[at]) ++at;
      const std::size_t from = at > 200 ? at - 200 : 0;
      ADD_FAILURE() << compressed << ": first difference at byte " << at << " of " << expected.size()
                    << "\nours:   " << decoded.substr(from, 400) << "\ntheirs: " << expected.substr(from, 400);
    }
  }
}

// Every compressed and binary shape decodes, encodes back to the same
// blocks with lossless floats, and with the utility's six digits loses
// nothing but the floats' digits beyond the six shown: what is written
// reads back, to the last bit, as the text that was shown.
TEST(ShapeForms, CorpusRoundTrips) {
  const std::vector<std::string> files = CorpusFiles({"compressed(binary)", "binary"});
  if (files.empty()) GTEST_SKIP() << NoCorpusShapes("corpus") << " in compressed or binary form";
  for (const std::string& name : files) {
    SCOPED_TRACE(name);
    const std::string bytes = ReadBytes(CorpusDir() + "/" + name);
    const std::optional<ShapeForm> form = DetectShapeForm(bytes);
    ASSERT_TRUE(form == ShapeForm::Compressed || form == ShapeForm::Binary);
    const std::string blocks = ShapeFormBlocks(bytes, *form);

    const std::string lossless = ShapeFormToUnicodeText(bytes, *form, FloatText::Lossless);
    EXPECT_TRUE(ShapeFormBlocks(UnicodeTextToShapeForm(lossless, *form), *form) == blocks);

    const std::string text = ShapeFormToUnicodeText(bytes, *form);
    const std::string again = UnicodeTextToShapeForm(text, *form);
    EXPECT_TRUE(ShapeFormToUnicodeText(again, *form, FloatText::Lossless) == text);
  }
}

// Text written by other tools: into the compressed form and back, the
// blocks stay the same and the text reads the same again.
TEST(ShapeForms, TsmTextsSurviveCompression) {
  const std::vector<std::string> files = test::FilesEndingWith(CorpusTsmDir(), ".s");
  if (files.empty()) GTEST_SKIP() << NoCorpusShapes("corpus-tsm");
  for (const std::string& path : files) {
    SCOPED_TRACE(path);
    const std::string compressed = UnicodeTextToShapeForm(ReadBytes(path), ShapeForm::Compressed);
    const std::string text = ShapeFormToUnicodeText(compressed, ShapeForm::Compressed, FloatText::Lossless);
    const std::string again = UnicodeTextToShapeForm(text, ShapeForm::Compressed);
    EXPECT_TRUE(ShapeFormBlocks(again, ShapeForm::Compressed) == ShapeFormBlocks(compressed, ShapeForm::Compressed));
    EXPECT_TRUE(ShapeFormToUnicodeText(again, ShapeForm::Compressed, FloatText::Lossless) == text);
  }
}

TEST(ShapeForms, BrokenFilesNameTheirFault) {
  const std::string point = BinBlock(2, U32(0) + U32(0) + U32(0));
  const std::string points = BinBlock(7, U32(1) + point);
  std::string deep = BinBlock(35, U32(0));
  for (int i = 0; i < 100; ++i) deep = BinBlock(81, U32(1) + deep);  // uv_ops take any block
  const std::string compressedOk = UnicodeTextToShapeForm(
      "\xFF\xFE" + Wide("SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\npoint ( 1 2 3 )\r\n"), ShapeForm::Compressed);
  std::string bigLength = compressedOk;
  bigLength.replace(8, 4, U32(0xFFFFFFF0));
  std::string smallLength = compressedOk;
  smallLength.replace(8, 4, U32(20));
  std::string badStream = compressedOk;
  badStream[18] = static_cast<char>(badStream[18] ^ 0x55);
  struct Case {
    const char* what;
    std::string bytes;
    ShapeForm form;
    DocumentMsg fault;
  } cases[] = {
      {"truncated header", "SIMISA@F12", ShapeForm::Compressed, DocumentMsg::FormTruncated},
      {"truncated stream", compressedOk.substr(0, compressedOk.size() - 6), ShapeForm::Compressed,
       DocumentMsg::FormTruncated},
      {"length far too large", bigLength, ShapeForm::Compressed, DocumentMsg::FormLengthMismatch},
      {"length too small", smallLength, ShapeForm::Compressed, DocumentMsg::FormLengthMismatch},
      {"damaged stream", badStream, ShapeForm::Compressed, DocumentMsg::FormBadStream},
      {"not binary", "SIMISA@@@@@@@@@@JINX0s1t______\r\n", ShapeForm::Binary, DocumentMsg::FormNotThisForm},
      {"truncated block", BinaryFile(points.substr(0, 20)), ShapeForm::Binary, DocumentMsg::FormBlockPastParent},
      {"block header cut", BinaryFile(points.substr(0, 5)), ShapeForm::Binary, DocumentMsg::FormTruncated},
      {"child past parent", BinaryFile(BinBlock(7, U32(1) + point.substr(0, 4) + U32(200) + point.substr(8))),
       ShapeForm::Binary, DocumentMsg::FormBlockPastParent},
      {"count exceeds block", BinaryFile(BinBlock(7, U32(5) + point)), ShapeForm::Binary,
       DocumentMsg::FormCountExceedsBlock},
      {"values do not fit", BinaryFile(BinBlock(2, U32(0) + U32(0))), ShapeForm::Binary,
       DocumentMsg::FormValuesDoNotFit},
      {"unknown token", BinaryFile(BinBlock(4000, "")), ShapeForm::Binary, DocumentMsg::FormUnknownToken},
      {"token without layout", BinaryFile(BinBlock(4, "")), ShapeForm::Binary, DocumentMsg::FormUnknownToken},
      {"wrong child", BinaryFile(BinBlock(7, U32(1) + BinBlock(3, U32(0) + U32(0) + U32(0)) + U32(0))),
       ShapeForm::Binary, DocumentMsg::FormUnexpectedBlock},
      {"too deep", BinaryFile(BinBlock(80, U32(0) + deep)), ShapeForm::Binary, DocumentMsg::FormTooDeep},
  };
  for (const Case& c : cases) {
    try {
      ShapeFormToUnicodeText(c.bytes, c.form);
      ADD_FAILURE() << c.what << ": no fault";
    } catch (const Error& e) {
      EXPECT_EQ(e.id(), static_cast<int>(c.fault)) << c.what << ": " << e.what();
    }
  }
}

TEST(ShapeForms, TextThatCannotBeEncodedNamesTheLine) {
  const std::string header = "SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\n";
  struct Case {
    const char* text;
    DocumentMsg fault;
  } cases[] = {
      {"point ( 1 2 3 )\r\nfrobnicate ( 1 )", DocumentMsg::TextUnknownBlock},
      {"point ( 1 2 x )", DocumentMsg::TextBadValue},
      {"points ( 1 vector ( 1 2 3 ) )", DocumentMsg::TextUnexpected},
      {"point ( 1 2 )", DocumentMsg::TextMissingValue},
      {"point ( 1 2 3 ) )", DocumentMsg::TextUnbalanced},
      {"point ( 1 2 3", DocumentMsg::TextUnbalanced},
      {"shape_header ( 1ffffffff )", DocumentMsg::TextBadValue},
      {"vertex_idxs ( 1 99999999999 )", DocumentMsg::TextBadValue},
  };
  for (const Case& c : cases) {
    try {
      UnicodeTextToShapeForm("\xFF\xFE" + Wide(header + c.text), ShapeForm::Binary);
      ADD_FAILURE() << c.text << ": no fault";
    } catch (const Error& e) {
      EXPECT_EQ(e.id(), static_cast<int>(c.fault)) << c.text << ": " << e.what();
    }
  }
}

// The line a fault names is counted from the start of the text, a quoted
// string's line ends included, whichever way the text comes; a block name
// looked up before answers for no other name of its length and ends.
TEST(ShapeForms, FaultsNameTheirLine) {
  struct Case {
    std::vector<std::string> body;  // from line 3, after the header and an empty line
    DocumentMsg fault;
    std::size_t lineArg;  // the argument that names the line
    const char* line;
  } cases[] = {
      {{"point ( 1 2 3 )", "paint ( 1 )"}, DocumentMsg::TextUnknownBlock, 1, "4"},
      {{"images ( 1", "image ( \"two", "lines\" )", ")", "point ( 1 2 x )"}, DocumentMsg::TextBadValue, 2, "7"},
      {{"point ( 1 2 3 )", "", "point ( 1 2 3 ) )"}, DocumentMsg::TextUnbalanced, 0, "5"},
      {{"", "points ( 1", "point ( 1 2 3 )"}, DocumentMsg::TextUnbalanced, 0, "4"},
      {{"point ( 1 2 3 )", "image ( \"open", "", ""}, DocumentMsg::TextUnbalanced, 0, "4"},
  };
  for (const Case& c : cases) {
    Lines lines = {"SIMISA@@@@@@@@@@JINX0s1t______", ""};
    lines.insert(lines.end(), c.body.begin(), c.body.end());
    SCOPED_TRACE(c.body.back());
    for (int way = 0; way < 2; ++way) {
      try {
        if (way == 0)
          UnicodeTextToShapeForm(EncodeShape(lines, "\xFF\xFE"), ShapeForm::Binary);
        else
          LinesToShapeForm(lines, "\xFF\xFE", ShapeForm::Binary);
        ADD_FAILURE() << "no fault";
      } catch (const Error& e) {
        EXPECT_EQ(e.id(), static_cast<int>(c.fault)) << e.what();
        ASSERT_GT(e.message().args.size(), c.lineArg) << e.what();
        EXPECT_EQ(e.message().args[c.lineArg], c.line) << e.what();
      }
    }
  }
}

// A document's lines are saved in a binary form without their Unicode text
// in between: the bytes, and the fault of lines that cannot be encoded, are
// those of the text. Characters beyond ASCII are counted in UTF-16 units
// (a label of 200 two-byte characters fits, one of 128 four-byte ones does
// not); a quoted string may run over a line end.
TEST(ShapeForms, LinesGiveTheFormOfTheirText) {
  auto repeat = [](const std::string& c, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += c;
    return s;
  };
  struct Case {
    std::vector<std::string> body;
    bool encodes;
  };
  const std::vector<Case> cases = {
      {{"\tmatrices ( 1", "\t\tmatrix Kolo_\xC5\xBD\xD0\x9A ( 1 0 0 0 1 0 0 0 1 0 0 0 )", "\t)"}, true},
      {{"\timages ( 2", "\t\timage ( \"\xF0\x9F\x98\x80 a\\\\\" )", "\t\timage ( \xED\xA0\x80\xC3\x28x )", "\t)"},
       false},
      {{"\timages ( 2", "\t\timage ( \"\xF0\x9F\x98\x80 a\\\\\" )", "\t\timage ( \xED\xA0\x80\xC3x )", "\t)"}, true},
      {{"\timages ( 1", "\t\timage ( \"two", "lines\" )", "\t)"}, true},
      {{"\timages ( 1", "\t\timage ( \xFF\xC3 )", "\t)"}, true},
      {{"\tmatrices ( 1", "\t\tmatrix " + repeat("\xC3\xA9", 200) + " ( 1 0 0 0 1 0 0 0 1 0 0 0 )", "\t)"}, true},
      {{"\tmatrices ( 1", "\t\tmatrix " + repeat("\xF0\x9F\x98\x80", 128) + " ( 1 0 0 0 1 0 0 0 1 0 0 0 )", "\t)"},
       false},
      {{"\tpoints ( 1", "\t\tpoint ( 1 2 \xC3\xA9 )", "\t)"}, false},
      {{"\tpoint ( 1 2 3 ) skip ( block_attr 0001 )", "\tpoint ( 1 2 3 ) skip ( block_attr \xC3\xA9\xC3\xA9 )"}, true},
      {{"\tfrobnicate\xC3\xA9 ( 1 )"}, false},
  };
  for (const Case& c : cases) {
    Lines lines = {"SIMISA@@@@@@@@@@JINX0s1t______", ""};
    lines.insert(lines.end(), c.body.begin(), c.body.end());
    SCOPED_TRACE(c.body[1 % c.body.size()]);
    for (ShapeForm form : {ShapeForm::Binary, ShapeForm::Compressed}) {
      auto encode = [&](auto&& f) {
        try {
          return f();
        } catch (const Error& e) {
          return std::string("fault: ") + e.what();
        }
      };
      const std::string viaText = encode([&] { return UnicodeTextToShapeForm(EncodeShape(lines, "\xFF\xFE"), form); });
      EXPECT_EQ(viaText.rfind("fault: ", 0) != 0, c.encodes) << viaText;
      EXPECT_EQ(encode([&] { return LinesToShapeForm(lines, "\xFF\xFE", form); }), viaText);
    }
  }
}

}  // namespace
}  // namespace lodsmith
