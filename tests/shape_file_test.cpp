#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/core_messages.h"
#include "core/file_io.h"
#include "core/file_system.h"
#include "core/message.h"
#include "document/shape_file.h"
#include "faulty_file_system.h"
#include "test_env.h"
#include "ui/texts/messages.h"

using namespace lodsmith;
using namespace lodsmith::test;

namespace {

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int c : b) s.push_back(static_cast<char>(c));
  return s;
}

}  // namespace

TEST(ShapeCodec, WorkedExampleReadsTwoLinesAndWritesBackIdentically) {
  std::string file = Bytes({0xFF, 0xFE, 0x61, 0, 0x62, 0, 0x0D, 0, 0x0A, 0, 0x63, 0, 0x0D, 0, 0x0A, 0});
  auto d = DecodeShape(file);
  EXPECT_EQ(d.lines, (Lines{"ab", "c"}));
  EXPECT_EQ(d.bom, "\xFF\xFE");
  EXPECT_EQ(EncodeShape(d.lines, d.bom), file);
}

TEST(ShapeCodec, OldOddLengthFormAndMissingFinalLineEnd) {
  // Written without the final high byte: the same two lines.
  std::string odd = Bytes({0xFF, 0xFE, 0x61, 0, 0x62, 0, 0x0D, 0, 0x0A, 0, 0x63, 0, 0x0D, 0, 0x0A});
  EXPECT_EQ(DecodeShape(odd).lines, (Lines{"ab", "c"}));
  // No line end after the last line: its characters are kept.
  std::string open = Bytes({0xFF, 0xFE, 0x61, 0, 0x62, 0, 0x0D, 0, 0x0A, 0, 0x63, 0, 0x64, 0});
  EXPECT_EQ(DecodeShape(open).lines, (Lines{"ab", "cd"}));
  // A file that really ends with an empty line keeps it.
  std::string emptyLast = Utf16Shape({"ab", ""});
  EXPECT_EQ(DecodeShape(emptyLast).lines, (Lines{"ab", ""}));
  EXPECT_EQ(EncodeShape({"ab", ""}, "\xFF\xFE"), emptyLast);
}

TEST(ShapeCodec, EmptyLinesAndLatin1Characters) {
  // An empty later line is 00 0D 00 0A, an empty first line 0D 00 0A.
  EXPECT_EQ(EncodeShape({"", ""}, "\xFF\xFE"), Bytes({0xFF, 0xFE, 0x0D, 0, 0x0A, 0, 0x0D, 0, 0x0A, 0}));
  // Latin-1 characters are held as UTF-8 and written back as they were.
  const std::string file = Bytes({0xFF, 0xFE, 0x78, 0, 0x0D, 0, 0x0A, 0, 0xE4, 0, 0xF6, 0, 0xFC, 0, 0x0D, 0, 0x0A, 0});
  const auto d = DecodeShape(file);
  EXPECT_EQ(d.lines, (Lines{"x", "\xC3\xA4\xC3\xB6\xC3\xBC"}));
  EXPECT_EQ(EncodeShape(d.lines, d.bom), file);
}

// Characters of any script keep every code unit: a low byte that looks like
// CR or LF is no line break, and the line after stays whole.
TEST(ShapeCodec, EveryCodeUnitSurvivesOpenAndSave) {
  struct Case {
    const char* what;
    std::vector<int> units;  // of the second line
    std::string utf8;
  };
  const Case cases[] = {
      {"L with stroke (low byte 41)", {0x141, 'x'}, "\xC5\x81x"},
      {"c with caron (low byte 0D)", {'K', 'o', 0x10D, 'k', 'a', ' ', '('}, "Ko\xC4\x8Dka ("},
      {"C with dot (low byte 0A)",
       {0x10A, 'b'},
       "\xC4\x8A"
       "b"},
      {"Cyrillic", {0x414, 0x43E, 0x43C}, "\xD0\x94\xD0\xBE\xD0\xBC"},
      {"U+0A0D (both bytes line-end-like)", {0xA0D, 'z'}, "\xE0\xA8\x8Dz"},
      {"surrogate pair", {0xD83D, 0xDE82}, "\xF0\x9F\x9A\x82"},
      {"lone surrogate",
       {'a', 0xDC00, 'b'},
       "a\xED\xB0\x80"
       "b"},
      {"NUL inside a line", {'a', 0, 'b'}, std::string("a\0b", 3)},
  };
  for (const Case& c : cases) {
    std::string file = Bytes({0xFF, 0xFE, 's', 0, 0x0D, 0, 0x0A, 0});
    for (int u : c.units) file += Bytes({u & 0xFF, u >> 8});
    file += Bytes({0x0D, 0, 0x0A, 0, 'e', 0, 0x0D, 0, 0x0A, 0});
    const auto d = DecodeShape(file);
    EXPECT_EQ(d.lines, (Lines{"s", c.utf8, "e"})) << c.what;
    EXPECT_EQ(EncodeShape(d.lines, d.bom), file) << c.what;
  }
  // A CR code unit inside a line is dropped as every CR is; the line stays
  // one line.
  EXPECT_EQ(DecodeShape(Bytes({0xFF, 0xFE, 's', 0, 0x0A, 0, 'a', 0, 0x0D, 0, 'b', 0})).lines, (Lines{"s", "ab"}));
  // Bytes that are no UTF-8 (a line built from a cell typed elsewhere) are
  // written as the code units of the same value.
  EXPECT_EQ(EncodeShape({"\xE4"}, "\xFF\xFE"), Bytes({0xFF, 0xFE, 0xE4, 0, 0x0D, 0, 0x0A, 0}));
}

TEST(ShapeCodec, FileWithoutMarkIsReadByBytesAsLatin1) {
  // An 8-bit file read on at the user's wish: garbled, but every byte a
  // character, and written back as UTF-16 after the two leading bytes.
  const std::string file =
      "ab\xE4"
      "c\r\nxyz\r\n";
  const auto d = DecodeShape(file);
  EXPECT_EQ(d.bom, "ab");
  EXPECT_EQ(d.lines, (Lines{"\xC3\xA4", "y"}));
  EXPECT_EQ(EncodeShape(d.lines, d.bom), Bytes({'a', 'b', 0xE4, 0, 0x0D, 0, 0x0A, 0, 'y', 0, 0x0D, 0, 0x0A, 0}));
}

TEST(ShapeCodec, CtrlZLineEndsTheFileAndEmptyFileHasNoLines) {
  // A later line that starts with the code unit 001A ends the reading.
  std::string file = Bytes({0xFF, 0xFE, 0x61, 0, 0x0A, 0, 0x1A, 0, 0x62, 0, 0x0A, 0, 0x63, 0});
  EXPECT_EQ(DecodeShape(file).lines, (Lines{"a"}));
  // In an 8-bit file, a raw line starting with the byte 1A.
  EXPECT_EQ(DecodeShape(Bytes({'x', 'y', 'a', 0x0A, 0x1A, 'b'})).lines, (Lines{""}));
  EXPECT_TRUE(DecodeShape("").lines.empty());
  EXPECT_EQ(DecodeShape("").bom, "");
  // The mark alone is one empty line.
  EXPECT_EQ(DecodeShape("\xFF\xFE").lines, (Lines{""}));
}

TEST(ShapeCodec, LongLinesWrapAtTheLastBlankWithin210) {
  // The wrap counts characters: 105 two-byte characters, a blank, 105
  // more make 211 characters.
  std::string wide;
  for (int i = 0; i < 105; ++i) wide += "\xC4\x8D";
  Lines out;
  AppendWrapped(out, wide + " " + wide);
  EXPECT_EQ(out, (Lines{wide + " ", wide}));
  out.clear();
  AppendWrapped(out, wide + wide);  // 210 characters in 420 bytes: whole
  EXPECT_EQ(out.size(), 1u);

  std::string first(300, 'h');
  std::string later = std::string(99, 'a') + " " + std::string(111, 'b');  // 211 chars, blank at 100
  auto d = DecodeShape(Utf16Shape({first, later, std::string(210, 'c')}));
  ASSERT_EQ(d.lines.size(), 4u);
  EXPECT_EQ(d.lines[0], first);  // the first line is never wrapped
  EXPECT_EQ(d.lines[1], std::string(99, 'a') + " ");
  EXPECT_EQ(d.lines[2], std::string(111, 'b'));
  EXPECT_EQ(d.lines[3], std::string(210, 'c'));  // exactly 210: whole
}

TEST(ShapeCodec, LongLinesWithoutBlankLoseNothing) {
  std::string noBlank(500, '7');
  std::string mixed = std::string(300, 'x') + " " + std::string(50, 'y');
  Lines out;
  AppendWrapped(out, noBlank);
  AppendWrapped(out, mixed);
  EXPECT_EQ(out, (Lines{noBlank, mixed}));
  // A long index list is cut only between tokens, and every piece fits.
  std::string list = "vertex_idxs ( 900";
  for (int i = 0; i < 900; ++i) list += " " + std::to_string(i * 7);
  list += " )";
  Lines pieces;
  AppendWrapped(pieces, list);
  std::string joined;
  for (const auto& p : pieces) {
    EXPECT_LE(p.size(), 210u);
    joined += p;
  }
  EXPECT_EQ(joined, list);
  for (std::size_t i = 0; i + 1 < pieces.size(); ++i) EXPECT_EQ(pieces[i].back(), ' ');
}

TEST(ShapeFiles, PathHelpers) {
  EXPECT_EQ(ChangeExtension("/a/wagon.s", ".BAK"), "/a/wagon.BAK");
  EXPECT_EQ(ChangeExtension("/a.b/wagon", ".BAK"), "/a.b/wagon.BAK");
  EXPECT_EQ(ChangeExtension("C:\\x.y\\wagon.s", ".Lodsmith"), "C:\\x.y\\wagon.Lodsmith");
  EXPECT_EQ(ExtractFileDir("/a/b/c.s"), "/a/b/");
  EXPECT_EQ(ExtractFileName("/a/b/c.s"), "c.s");
}

TEST(ShapeFiles, AtomicWriteKeepsBackupAndNeverHalfWrites) {
  TempDir dir;
  std::string target = dir.File("m.s"), bak = dir.File("m.BAK");
  WriteFileAtomic(target, "one", bak);
  EXPECT_EQ(ReadBytes(target), "one");
  EXPECT_FALSE(FileExists(bak));  // nothing to back up the first time
  WriteFileAtomic(target, "two", bak);
  EXPECT_EQ(ReadBytes(bak), "one");
  WriteFileAtomic(target, "three", bak);
  EXPECT_EQ(ReadBytes(bak), "two");
  EXPECT_EQ(ReadBytes(target), "three");

  // A folder that cannot take the temporary file: nothing changes.
  EXPECT_THROW(WriteFileAtomic(dir.File("missing/m.s"), "x", dir.File("missing/m.BAK")), Error);
  // The backup cannot be made (a folder stands in its place): the target
  // keeps its content and no temporary file is left behind.
  std::filesystem::create_directory(dir.File("n.BAK"));
  std::filesystem::create_directory(dir.File("n.BAK/keep"));
  WriteFileAtomic(dir.File("n.s"), "old", "");
  EXPECT_THROW(WriteFileAtomic(dir.File("n.s"), "new", dir.File("n.BAK")), Error);
  EXPECT_EQ(ReadBytes(dir.File("n.s")), "old");
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file();
  EXPECT_EQ(files, 3);  // m.s, m.BAK, n.s

  // A folder without write permission (refused by the test's file system,
  // so that it binds root as well): nothing changes.
  FaultyFileSystem readOnly;
  readOnly.RefuseWritesIn(dir.path());
  {
    FileSystemOverride refusing(readOnly);
    EXPECT_THROW(WriteFileAtomic(target, "four", bak), Error);
  }
  EXPECT_EQ(ReadBytes(target), "three");
  EXPECT_EQ(ReadBytes(bak), "two");
}

namespace {

// The names in a folder, sorted.
std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  for (auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

// Whatever step of a save fails, the user hears why, the file and its
// previous backup keep their content, and no temporary file stays behind.
TEST(ShapeFiles, AtomicWriteUnderEachFaultKeepsTargetAndBackup) {
  const std::string bytes(200000, 'n');  // more than one buffer of the C library
  struct Case {
    const char* what;
    std::vector<FileFault> faults;  // "<dir>/" is the test's folder
    int error;
    bool backupMessage;  // the backup could not be made (else: the file cannot be written)
  };
  const Case cases[] = {
      {"temporary file refused", {{FileCall::OpenWrite, "<dir>/", EACCES}}, EACCES, false},
      {"write stops half-way", {{FileCall::Write, "<dir>/", EIO, bytes.size() / 2}}, EIO, false},
      {"disk full", {{FileCall::Write, "<dir>/", ENOSPC, 4096}}, ENOSPC, false},
      {"disk full at once", {{FileCall::Write, "<dir>/", ENOSPC, 0}}, ENOSPC, false},
      {"sync fails", {{FileCall::Sync, "<dir>/", EIO}}, EIO, false},
      {"close fails", {{FileCall::Close, "<dir>/", ENOSPC}}, ENOSPC, false},
      {"rename onto the file fails", {{FileCall::Rename, "<dir>/m.s", EACCES}}, EACCES, false},
      {"no backup by rename or copy",
       {{FileCall::Rename, "<dir>/m.BAK", EXDEV, 0, 1}, {FileCall::Copy, "<dir>/m.BAK", ENOSPC}},
       EXDEV,
       true},
      {"every rename refused", {{FileCall::Rename, "<dir>/", EACCES}}, EACCES, true},
      {"backup copied, then the rename onto the file fails",
       {{FileCall::Rename, "<dir>/m.BAK", EXDEV, 0, 1}, {FileCall::Rename, "<dir>/m.s", EIO}},
       EIO,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string target = dir.File("m.s"), bak = dir.File("m.BAK");
    WriteBytes(target, "current");
    WriteBytes(bak, "previous");
    FaultyFileSystem faulty;
    for (FileFault f : c.faults) {
      f.path.replace(0, 5, dir.path());
      faulty.faults.push_back(f);
    }
    FileSystemOverride files(faulty);
    try {
      WriteFileAtomic(target, bytes, bak);
      ADD_FAILURE() << "saved although a step failed";
    } catch (const Error& e) {
      const std::string expected = c.backupMessage ? "Die Sicherungskopie " + bak + " kann nicht angelegt werden: "
                                                   : "In " + target + " kann nicht geschrieben werden: ";
      EXPECT_EQ(MessageString(e.message(), Language::German), expected + std::strerror(c.error));
    }
    EXPECT_TRUE(ReadBytes(target) == "current") << "the file was changed";
    EXPECT_TRUE(ReadBytes(bak) == "previous") << "the backup was changed";
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"m.BAK", "m.s"}));
  }
}

// A backup that cannot be renamed into place is copied; one whose name is
// the file's own is refused without losing the file.
TEST(ShapeFiles, AtomicWriteCopiesTheBackupAcrossFileSystemsAndNeverDeletesTheFile) {
  TempDir dir;
  const std::string target = dir.File("m.s"), bak = dir.File("m.BAK");
  WriteBytes(target, "current");
  WriteBytes(bak, "previous");
  FaultyFileSystem faulty;
  faulty.faults.push_back({FileCall::Rename, bak, EXDEV});
  {
    FileSystemOverride files(faulty);
    WriteFileAtomic(target, "new", bak);
  }
  EXPECT_EQ(ReadBytes(target), "new");
  EXPECT_EQ(ReadBytes(bak), "current");
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"m.BAK", "m.s"}));

  // A file opened under its backup's name.
  EXPECT_THROW(WriteFileAtomic(bak, "newer", bak), Error);
  EXPECT_EQ(ReadBytes(bak), "current");
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"m.BAK", "m.s"}));
}

namespace {

// The file's characters (low bytes after the byte-order mark) without line
// breaks.
std::string TextWithoutBreaks(const std::string& bytes) {
  std::u16string units;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const char16_t u =
        static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
    if (u != u'\r' && u != u'\n') units.push_back(u);
  }
  std::string r;
  AppendUtf16AsUtf8(r, units.data(), units.size());
  return r;
}

}  // namespace

TEST(ShapeCorpus, EveryShapeRoundTripsByTheReadingRules) {
  const std::vector<std::string> files = FilesEndingWith(CorpusDir(), ".s");
  if (files.empty()) GTEST_SKIP() << NoCorpusShapes("corpus");
  int exact = 0, wrapped = 0;
  for (const auto& path : files) {
    std::string bytes = ReadBytes(path);
    auto d = DecodeShape(bytes);
    std::string again = EncodeShape(d.lines, d.bom);
    // Whatever the file was, what we write reads back to the same lines and
    // is written again identically.
    auto d2 = DecodeShape(again);
    EXPECT_EQ(d2.lines, d.lines) << path;
    EXPECT_EQ(EncodeShape(d2.lines, d2.bom), again) << path;
    if (bytes.compare(0, 2, "\xFF\xFE") != 0 || bytes.size() % 2 != 0) continue;
    std::string joined;
    std::size_t lineEnds = 0;
    for (const auto& l : d.lines) joined += l;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) lineEnds += bytes[i] == '\n' && bytes[i + 1] == 0;
    // No character is lost or reordered by the long-line wrap.
    EXPECT_EQ(joined, TextWithoutBreaks(bytes)) << path;
    if (d.lines.size() == lineEnds) {
      EXPECT_EQ(again, bytes) << path;  // nothing wrapped: byte for byte
      ++exact;
    } else {
      ++wrapped;
    }
  }
  EXPECT_GT(exact + wrapped, 10);
}

// Through a symbolic link the file it points to is replaced and the link
// stays; a device is written as it stands; a folder is refused.
TEST(ShapeFiles, AtomicWriteThroughLinksAndOntoDevices) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links and /dev/null are POSIX matters (tests/win32 covers the Windows replace)";
#endif
  TempDir dir;
  std::filesystem::create_directory(dir.File("real"));
  WriteBytes(dir.File("real/m.s"), "old");
  std::filesystem::create_symlink("real/m.s", dir.File("link.s"));
  WriteFileAtomic(dir.File("link.s"), "new", dir.File("link.BAK"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.s")));
  EXPECT_EQ(ReadBytes(dir.File("real/m.s")), "new");
  EXPECT_EQ(ReadBytes(dir.File("link.BAK")), "old");

  EXPECT_NO_THROW(WriteFileAtomic("/dev/null", "bytes", "/dev/null.BAK"));
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
  EXPECT_FALSE(std::filesystem::exists("/dev/null.BAK"));

  std::filesystem::create_directory(dir.File("folder.s"));
  EXPECT_THROW(WriteFileAtomic(dir.File("folder.s"), "x", dir.File("folder.BAK")), Error);
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder.s")));
}
