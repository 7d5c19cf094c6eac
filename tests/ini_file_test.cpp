#include <gtest/gtest.h>

#include <stdexcept>
#include <type_traits>

#include "core/core_messages.h"
#include "core/file_io.h"
#include "core/message.h"
#include "core/text.h"
#include "platform/ini_file.h"
#include "platform/system_info.h"
#include "test_env.h"
#include "ui/texts/messages.h"

using namespace lodsmith;
using namespace lodsmith::test;

TEST(IniFile, LayoutOfWritesMatchesThePrivateProfileRules) {
  TempDir dir;
  std::string path = dir.File("s.INI");
  IniFile ini(path);
  EXPECT_EQ(ini.ReadString("Dir", "InitialDir", "dflt"), "dflt");  // missing file
  ini.WriteString("Dir", "InitialDir", "/a/");
  ini.WriteString("LODs", "Anzahl", "2");
  ini.WriteString("dir", "Filename", "x.s");    // same section, other case: appended to it
  ini.WriteString("DIR", "initialdir", "/b/");  // existing key replaced in place
  EXPECT_EQ(ReadBytes(path), "[Dir]\r\nInitialDir=/b/\r\nFilename=x.s\r\n[LODs]\r\nAnzahl=2\r\n");
  // A second object sees what the first wrote: every write is on disk.
  IniFile other(path);
  EXPECT_EQ(other.ReadString("dIr", "FILENAME", ""), "x.s");
  ini.EraseSection("dir");
  EXPECT_EQ(ReadBytes(path), "[LODs]\r\nAnzahl=2\r\n");
  ini.EraseSection("NoSuchSection");  // nothing to do, no failure
  EXPECT_EQ(ReadBytes(path), "[LODs]\r\nAnzahl=2\r\n");
}

TEST(IniFile, ReadsForeignFilesAndConvertsWindows1252) {
  TempDir dir;
  std::string path = dir.File("l.INI");
  WriteBytes(path,
             "; comment\r\n[Deutsch]\r\n  S2 = \xD6"
             "ffnen \r\nS8=Alles r\xFC"
             "ckg\xE4ngig\r\nS9=\"quoted\"\r\n"
             "S10=\x80 5\r\n\r\n[Other]\r\nx=1\r\n");
  IniFile ini(path);
  EXPECT_EQ(ini.ReadString("deutsch", "s2", ""), "Öffnen");
  EXPECT_EQ(ini.ReadString("Deutsch", "S8", ""), "Alles rückgängig");
  EXPECT_EQ(ini.ReadString("Deutsch", "S9", ""), "quoted");
  EXPECT_EQ(ini.ReadString("Deutsch", "S10", ""), "€ 5");
  EXPECT_EQ(IniFile(path, ReadBytes(path)).ReadString("Deutsch", "S8", ""), "Alles rückgängig");
  // A new key lands at the end of its section, before the blank line, and
  // the lines nobody touched stay as they were.
  ini.WriteString("Deutsch", "S11", "Weg hier! – ä");
  EXPECT_EQ(ReadBytes(path),
            "; comment\r\n[Deutsch]\r\n  S2 = \xD6"
            "ffnen \r\nS8=Alles r\xFC"
            "ckg\xE4ngig\r\n"
            "S9=\"quoted\"\r\nS10=\x80 5\r\nS11=Weg hier! \x96 \xE4\r\n\r\n[Other]\r\nx=1\r\n");
}

TEST(IniFile, NumbersFallBackToTheirDefaults) {
  TempDir dir;
  IniFile ini(dir.File("n.INI"));
  ini.WriteString("LODs", "Anzahl", "abc");
  ini.WriteInteger("LODs", "1", -7);
  EXPECT_EQ(ini.ReadInteger("LODs", "Anzahl", 1), 1);
  EXPECT_EQ(ini.ReadInteger("LODs", "1", 0), -7);
  ini.WriteFloat("Delta", "Points", 0.001L, ',');
  EXPECT_EQ(ini.ReadString("Delta", "Points", ""), "0,001");
  EXPECT_NEAR(static_cast<double>(ini.ReadFloat("Delta", "Points", 5, ',')), 0.001, 1e-15);
  // Written under other regional settings: the default.
  EXPECT_EQ(ini.ReadFloat("Delta", "Points", 0, '.'), 0);
}

TEST(IniFile, RefusedWriteNamesTheFileAndBatchWritesOnce) {
  TempDir dir;
  std::string path = dir.File("missing-folder/x.Lodsmith");
  IniFile ini(path);
  try {
    ini.WriteString("A", "b", "c");
    FAIL() << "write into a missing folder succeeded";
  } catch (const Error& e) {
    EXPECT_EQ(MessageString(e.message(), Language::German), "In " + path + " kann nicht geschrieben werden");
  }
  std::string ok = dir.File("b.INI");
  IniFile batch(ok);
  {
    IniFile::BatchUpdate update(batch);
    for (int i = 1; i <= 1000; ++i) batch.WriteString("SONR_L1", std::to_string(i), "1");
    EXPECT_FALSE(FileExists(ok));  // nothing on disk before the batch ends
    update.Commit();
  }
  EXPECT_EQ(IniFile(ok).ReadString("SONR_L1", "1000", ""), "1");
}

struct LineEndCase {
  const char* name;
  const char* bytes;
};

// Files from other systems: every line end is a line end, and a rewrite
// uses CR LF throughout without losing a key.
TEST(IniFile, AcceptsEveryLineEnd) {
  const LineEndCase cases[] = {
      {"CR LF", "; c\r\n[A]\r\nx=1\r\ny=2\r\n\r\n[B]\r\nz=3\r\n"},
      {"LF", "; c\n[A]\nx=1\ny=2\n\n[B]\nz=3\n"},
      {"CR", "; c\r[A]\rx=1\ry=2\r\r[B]\rz=3\r"},
      {"mixed, no end after the last line", "; c\r[A]\nx=1\r\ny=2\r\n\r[B]\nz=3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    std::string path = dir.File("e.INI");
    WriteBytes(path, c.bytes);
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("A", "x", ""), "1");
    EXPECT_EQ(ini.ReadString("A", "y", ""), "2");
    EXPECT_EQ(ini.ReadString("B", "z", ""), "3");
    // The same bytes handed over read the same, and touch no file.
    IniFile handed(dir.File("none.INI"), c.bytes);
    EXPECT_EQ(handed.ReadString("A", "y", ""), "2");
    EXPECT_EQ(handed.ReadString("B", "z", ""), "3");
    ini.WriteString("A", "w", "4");
    EXPECT_EQ(ReadBytes(path), "; c\r\n[A]\r\nx=1\r\ny=2\r\nw=4\r\n\r\n[B]\r\nz=3\r\n");
  }
}

struct RawHeaderCase {
  const char* header;  // as in the file (Windows-1252)
  const char* name;    // the section's name (UTF-8)
};

// A header line is written back as it was read, whatever surrounds the
// name; only sections the program creates get a header made from the name.
TEST(IniFile, KeepsHeadersAndForeignLinesAsRead) {
  const RawHeaderCase cases[] = {
      {"[[LODs]]", "[LODs"}, {"  [Dir]  ", "Dir"},          {"[Dir] ; Kommentar", "Dir"},
      {"[ Dir ]", "Dir"},    {"[\xC4nderung]", "änderung"}, {"[]", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.header);
    TempDir dir;
    std::string path = dir.File("h.INI");
    const std::string before = std::string("pre\r\n") + c.header + "\r\n; note\r\nx = 1\r\ngarbage ]\r\n[bad\r\n\t\r\n";
    WriteBytes(path, before);
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString(c.name, "X", ""), "1");
    ini.WriteString("Neu", "k", "v");
    EXPECT_EQ(ReadBytes(path), before + "[Neu]\r\nk=v\r\n");
    ini.WriteString(c.name, "x", "2");
    ini.WriteString(c.name, "y", "3");
    EXPECT_EQ(ReadBytes(path), std::string("pre\r\n") + c.header +
                                   "\r\n; note\r\nx=2\r\ngarbage ]\r\n[bad\r\ny=3\r\n\t\r\n[Neu]\r\nk=v\r\n");
  }
}

// Hand-edited files may hold a section or a key twice: the first answers
// and takes the write, EraseSection removes every copy; names fold as
// FoldCase does, Latin-1 capitals included.
TEST(IniFile, FirstOfDuplicateNamesWins) {
  TempDir dir;
  std::string path = dir.File("d.INI");
  WriteBytes(path, "[\xC4rger]\r\nk=1\r\nK=2\r\n[Other]\r\nk=o\r\n[\xE4RGER]\r\nk=3\r\nj=4\r\n");
  IniFile ini(path);
  EXPECT_EQ(ini.ReadString("äRGER", "k", ""), "1");
  EXPECT_FALSE(ini.ValueExists("Ärger", "j"));  // only in the second copy
  ini.WriteString("ärger", "K", "5");
  EXPECT_EQ(ReadBytes(path), "[\xC4rger]\r\nk=5\r\nK=2\r\n[Other]\r\nk=o\r\n[\xE4RGER]\r\nk=3\r\nj=4\r\n");
  ini.EraseSection("ÄRGER");
  EXPECT_FALSE(ini.SectionExists("ärger"));
  EXPECT_EQ(ReadBytes(path), "[Other]\r\nk=o\r\n");
  // Made again after the erasure: found again, at the end of the file.
  ini.WriteString("Ärger", "k", "6");
  ini.WriteString("other", "n", "7");
  EXPECT_EQ(ini.ReadString("ÄRGER", "K", ""), "6");
  EXPECT_EQ(ReadBytes(path), "[Other]\r\nk=o\r\nn=7\r\n[\xC4rger]\r\nk=6\r\n");
}

static_assert(std::is_nothrow_destructible_v<IniFile::BatchUpdate>);

// A batch ended without Commit never throws, also inside a catch block (where
// std::uncaught_exceptions() reads 0 although the action failed); its
// changes stay pending and go to disk with the next write.
TEST(IniFile, BatchEndedWithoutCommitKeepsChangesPending) {
  TempDir dir;
  IniFile refused(dir.File("missing-folder/x.Lodsmith"));
  EXPECT_NO_THROW({
    try {
      throw std::runtime_error("failed half-way");
    } catch (const std::runtime_error&) {
      IniFile::BatchUpdate batch(refused);
      refused.WriteString("A", "b", "c");
    }
  });
  EXPECT_EQ(refused.ReadString("A", "b", ""), "c");

  std::string path = dir.File("p.INI");
  IniFile ini(path);
  {
    IniFile::BatchUpdate batch(ini);
    ini.WriteString("A", "b", "c");
  }
  EXPECT_FALSE(FileExists(path));
  ini.WriteString("A", "d", "e");
  EXPECT_EQ(ReadBytes(path), "[A]\r\nb=c\r\nd=e\r\n");
}

struct NumberCase {
  const char* line;
  int integer;  // 99 = the default
  double real;  // 99 = the default
};

// A value that is the number text alone is read; anything more gives the
// default.
TEST(IniFile, ReadsNumbersOnlyFromTheWholeValue) {
  const NumberCase cases[] = {
      {"n=12", 12, 12},     {"n = -3 ", -3, -3}, {"n=\"7\"", 7, 7}, {"n=0,5", 99, 0.5},
      {"n=12 ; c", 99, 99}, {"n=12abc", 99, 99}, {"n=", 99, 99},    {"n=2147483648", 99, 2147483648.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    TempDir dir;
    std::string path = dir.File("n.INI");
    WriteBytes(path, std::string("[N]\r\n") + c.line + "\r\n");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("N", "n", 99), c.integer);
    EXPECT_EQ(static_cast<double>(ini.ReadFloat("N", "n", 99, ',')), c.real);
  }
}

namespace {

// `utf8` in the form a settings file may come in: UTF-16 (either byte
// order) or UTF-8, with or without its byte-order mark.
std::string Encoded(const std::string& utf8, IniEncoding encoding, bool mark) {
  if (encoding == IniEncoding::Utf8) return (mark ? "\xEF\xBB\xBF" : "") + utf8;
  std::u16string units;
  AppendUtf8AsUtf16(units, utf8);
  const bool big = encoding == IniEncoding::Utf16Be;
  std::string bytes = mark ? (big ? "\xFE\xFF" : "\xFF\xFE") : "";
  for (char16_t u : units) {
    const char low = static_cast<char>(u & 0xFF), high = static_cast<char>(u >> 8);
    bytes += big ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

struct EncodingCase {
  const char* name;
  IniEncoding encoding;
  bool mark;
};

}  // namespace

// Settings files saved as "Unicode" by Windows editors (UTF-16, with or
// without a mark) or as UTF-8 with a mark are read, and written back in
// the encoding they came in, characters outside Windows-1252 included.
TEST(IniFile, ReadsAndKeepsUnicodeFiles) {
  const EncodingCase cases[] = {
      {"UTF-16 LE with mark", IniEncoding::Utf16Le, true},
      {"UTF-16 BE with mark", IniEncoding::Utf16Be, true},
      {"UTF-8 with mark", IniEncoding::Utf8, true},
      {"UTF-16 LE without mark", IniEncoding::Utf16Le, false},
      {"UTF-16 BE without mark", IniEncoding::Utf16Be, false},
  };
  const std::string before = "[Delta]\r\nPoints=0.001\r\n[SONR_L1]\r\n1=Wagen \xC3\x84\r\n";  // "Ä"
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path = dir.File("m.Lodsmith");
    WriteBytes(path, Encoded(before, c.encoding, c.mark));
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("delta", "points", ""), "0.001");  // the first section too
    EXPECT_EQ(ini.ReadString("SONR_L1", "1", ""), "Wagen \xC3\x84");
    EXPECT_EQ(IniFile("", ReadBytes(path)).ReadString("Delta", "Points", ""), "0.001");
    ini.WriteString("SONR_L1", "2", "\xC5\x82");  // "ł", outside Windows-1252
    EXPECT_EQ(ReadBytes(path), Encoded(before + "2=\xC5\x82\r\n", c.encoding, c.mark));
    EXPECT_EQ(IniFile(path).ReadString("sonr_l1", "2", ""), "\xC5\x82");
  }
  // A file in Windows-1252 stays in it; one whose first line merely holds a
  // zero byte now and then is no UTF-16.
  TempDir dir;
  const std::string path = dir.File("a.INI");
  WriteBytes(path, std::string("[A]\r\nx=\xC4\r\n"));
  IniFile ansi(path);
  ansi.WriteString("A", "y", "\xC3\xA4");
  EXPECT_EQ(ReadBytes(path), "[A]\r\nx=\xC4\r\ny=\xE4\r\n");
  EXPECT_EQ(IniFile("", std::string("[A]\0\r\nx=1\r\n", 11)).ReadString("A", "x", ""), "1");
}

TEST(WineRegistry, FindsTheSimulatorFolder) {
  std::string reg =
      "WINE REGISTRY Version 2\n"
      "[Software\\\\Microsoft\\\\Microsoft Games\\\\Train Simulator\\\\1.0] 1700000000\n"
      "#time=1d9\n"
      "\"EXE Path\"=\"C:\\\\Program Files\\\\Microsoft Games\\\\Train Simulator\"\n"
      "\"Other\"=dword:00000001\n";
  EXPECT_EQ(FindWineRegistryValue(reg, "SOFTWARE\\Microsoft\\Microsoft Games\\Train Simulator\\1.0", "EXE Path"),
            "C:\\Program Files\\Microsoft Games\\Train Simulator");
  EXPECT_FALSE(FindWineRegistryValue(reg, "SOFTWARE\\Microsoft\\Microsoft Games\\Train Simulator\\1.0", "Other"));
  EXPECT_FALSE(FindWineRegistryValue(reg, "SOFTWARE\\Other", "EXE Path"));
}
