// Shape text read and written in pieces: whatever the cut, the lines and
// the bytes are those of the whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include "core/core_messages.h"
#include "core/file_io.h"
#include "core/message.h"
#include "document/shape_file.h"
#include "document/shape_stream.h"
#include "session/session.h"
#include "test_env.h"

using namespace lodsmith;
using namespace lodsmith::test;

namespace {

std::string Units(std::initializer_list<int> units) {
  std::string s;
  for (int u : units) {
    s.push_back(static_cast<char>(u & 0xFF));
    s.push_back(static_cast<char>(u >> 8));
  }
  return s;
}

const std::string kMark = "\xFF\xFE";

Lines ReadInPieces(std::string_view file, std::size_t size) {
  Lines lines;
  Utf16ShapeReader reader(lines);
  for (std::size_t at = 0; at < file.size(); at += size) reader.Feed(file.substr(at, size));
  reader.Finish();
  return lines;
}

std::string LongestLine() {
  // Far beyond any wrap, no blank to wrap at, a character outside the BMP
  // in the middle.
  return std::string(70000, '9') + "\xF0\x9F\x9A\x82" + std::string(70000, '8');
}

// Lines whose plain ASCII is broken at every place of a run of eight units
// and more: by a character above ASCII (one, two and four bytes of
// UTF-16), by a tab (which stays in the run) and by a control character.
Lines EveryPlaceInARun() {
  Lines lines;
  for (const char* odd : {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x9A\x82", "\t", "\x01", "\x7F"})
    for (int at = 0; at <= 33; ++at) lines.push_back(std::string(at, 'a') + odd + std::string(at % 17 + 1, 'z'));
  return lines;
}

}  // namespace

TEST(ShapeStream, ReaderGivesTheWholeFilesLinesWhereverThePiecesAreCut) {
  struct Case {
    const char* what;
    std::string file;
    Lines lines;  // as read whole
  };
  const std::string longest = LongestLine();
  const std::string wrapped = std::string(99, 'a') + " " + std::string(110, 'b') + "\xC4\x8D";
  const Case cases[] = {
      {"pair outside the BMP",
       kMark + Units({'s', 0x0A, 'x', 0xD83D, 0xDE82, 'y', 0x0D, 0x0A}),
       {"s", "x\xF0\x9F\x9A\x82y"}},
      {"CR between the halves of a pair", kMark + Units({'s', 0x0A, 0xD83D, 0x0D, 0xDE82}), {"s", "\xF0\x9F\x9A\x82"}},
      {"lone high surrogate at the line end",
       kMark + Units({'s', 0x0A, 0xD800, 0x0A, 'e'}),
       {"s", "\xED\xA0\x80", "e"}},
      {"odd byte at the end", kMark + Units({'a', 0x0D, 0x0A}) + "b", {"a", "b"}},
      {"lone 00 at the end", kMark + Units({'a', 0x0D, 0x0A}) + std::string(1, '\0'), {"a"}},
      {"Ctrl-Z line", kMark + Units({'a', 0x0A, 0x0D, 0x1A, 'b', 0x0A, 'c'}), {"a"}},
      {"CR alone after the last LF", kMark + Units({'a', 0x0A, 0x0D}), {"a", ""}},
      {"mark only", kMark, {""}},
      {"wrapped line",
       kMark + Units({'s', 0x0A}) + Utf16Shape({wrapped}).substr(2),
       {"s", std::string(99, 'a') + " ", std::string(110, 'b') + "\xC4\x8D"}},
      {"the longest lines", Utf16Shape({longest, longest}), {longest, longest}},
      {"a character above ASCII, a tab or a control at every place of a run", Utf16Shape(EveryPlaceInARun()),
       EveryPlaceInARun()},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(DecodeShape(c.file).lines, c.lines) << c.what;
    for (std::size_t size : {1u, 2u, 3u, 5u, 7u, 64u, 4099u})
      EXPECT_EQ(ReadInPieces(c.file, size), c.lines) << c.what << ", pieces of " << size;
  }
}

TEST(ShapeStream, WriterPiecesJoinToTheWholeText) {
  const Lines lines = {"SIMISA@@@@@@@@@@JINX0s1t______",
                       "",
                       "\timage ( \xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD.ace )",
                       "\tmatrix \xD0\x9A\xD0\xBE\xD0\xBB\xD0\xB5\xD1\x81\xD0\xBE ( 1 0 )",
                       "x\xF0\x9F\x9A\x82y",
                       LongestLine()};
  const std::string whole = EncodeShape(lines, kMark);
  for (std::size_t size : {1u, 16u, 100u, 1u << 18}) {
    std::string joined;
    int pieces = 0;
    WriteShapeText(
        lines, kMark,
        [&](std::string_view p) {
          joined.append(p);
          ++pieces;
        },
        {}, size);
    EXPECT_EQ(joined, whole) << size;
    EXPECT_EQ(DecodeShape(joined).lines, lines) << size;
    if (size == 1) {
      EXPECT_EQ(pieces, static_cast<int>(lines.size()));  // a piece a line
    }
  }
}

TEST(ShapeStream, FileReadInPiecesIsTheFile) {
  TempDir dir;
  std::string bytes;
  for (int i = 0; i < 3000; ++i) bytes += static_cast<char>(i * 7);
  WriteBytes(dir.File("f.bin"), bytes);
  std::string joined;
  ReadFilePieces(dir.File("f.bin"), 1000, [&](std::string_view p, unsigned long long size) {
    EXPECT_LE(p.size(), 1000u);
    EXPECT_EQ(size, 3000u);
    joined.append(p);
  });
  EXPECT_EQ(joined, bytes);
  try {
    ReadFilePieces(dir.File("missing.bin"), 1000, [](std::string_view, unsigned long long) {});
    FAIL() << "a missing file was read";
  } catch (const Error& e) {
    EXPECT_TRUE(e.Is(CoreMsg::CannotReadFile));
  }
}

// A failure while the bytes are made leaves the file and its backup as they
// were, and no temporary file behind.
TEST(ShapeStream, FailureWhileWritingKeepsFileAndBackup) {
  TempDir dir;
  const std::string path = dir.File("shape.s"), backup = dir.File("shape.BAK");
  WriteBytes(path, "current");
  WriteBytes(backup, "previous");
  EXPECT_THROW(WriteFileAtomicStream(
                   path,
                   [](const ByteWriter& write) {
                     write("half of ");
                     throw Error(CoreMsg::ReadFailed, "x");
                   },
                   backup),
               Error);
  EXPECT_EQ(ReadFileBytes(path), "current");
  EXPECT_EQ(ReadFileBytes(backup), "previous");
  const auto entries = std::filesystem::directory_iterator(dir.path());
  EXPECT_EQ(std::distance(begin(entries), end(entries)), 2);
}

// Lines across the pieces the session reads: the lines of the whole file,
// and the same bytes written back; the undo copy only where it is kept.
TEST(ShapeStream, SessionOpensAndSavesAShapeLargerThanAReadPiece) {
  Lines lines = {"SIMISA@@@@@@@@@@JINX0s1t______", ""};
  for (int i = 0; i < 12000; ++i) lines.push_back("\t\tpoint ( " + std::to_string(i) + " 0.5 -1.25 )");
  lines.insert(lines.begin() + 6000, LongestLine());  // from about 250 kB to 530 kB
  lines.insert(lines.begin() + 9000, "\t\tprim_state \xD0\x9A\xF0\x9F\x9A\x82 ( 0 )");
  const std::string bytes = Utf16Shape(lines);
  for (const bool keep : {true, false}) {
    TempDir dir;
    WriteBytes(dir.File("big.s"), bytes);
    FakePlatform platform;
    Session session(platform);
    session.keepUndoCopy = keep;
    struct NoQuestions : Questions {
      bool Ask(const Question&) override { return false; }
    } questions;
    session.Open(dir.File("big.s"), questions, "", 1);
    EXPECT_EQ(session.lines, DecodeShape(bytes).lines);
    EXPECT_EQ(session.CanUndo(), keep);
    EXPECT_EQ(session.Save().status, SaveResult::Status::Written);
    EXPECT_EQ(ReadBytes(dir.File("big.s")), bytes);
  }
}
