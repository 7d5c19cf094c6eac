#include <gtest/gtest.h>

#include "document/shape_file.h"
#include "platform/ini_file.h"
#include "platform/system_info.h"
#include "test_env.h"

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
  WriteBytes(path, "; comment\r\n[Deutsch]\r\n  S2 = \xD6" "ffnen \r\nS8=Alles r\xFC" "ckg\xE4ngig\r\nS9=\"quoted\"\r\n"
                   "S10=\x80 5\r\n\r\n[Other]\r\nx=1\r\n");
  IniFile ini(path);
  EXPECT_EQ(ini.ReadString("deutsch", "s2", ""), "Öffnen");
  EXPECT_EQ(ini.ReadString("Deutsch", "S8", ""), "Alles rückgängig");
  EXPECT_EQ(ini.ReadString("Deutsch", "S9", ""), "quoted");
  EXPECT_EQ(ini.ReadString("Deutsch", "S10", ""), "€ 5");
  // A new key lands at the end of its section, before the blank line, and
  // the lines nobody touched stay as they were.
  ini.WriteString("Deutsch", "S11", "Weg hier! – ä");
  EXPECT_EQ(ReadBytes(path), "; comment\r\n[Deutsch]\r\n  S2 = \xD6" "ffnen \r\nS8=Alles r\xFC" "ckg\xE4ngig\r\n"
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
  } catch (const IoError& e) {
    EXPECT_EQ(std::string(e.what()), "In " + path + " kann nicht geschrieben werden");
  }
  std::string ok = dir.File("b.INI");
  IniFile batch(ok);
  {
    IniFile::BatchUpdate update(batch);
    for (int i = 1; i <= 1000; ++i) batch.WriteString("SONR_L1", std::to_string(i), "1");
    EXPECT_FALSE(FileExists(ok));  // nothing on disk before the batch ends
  }
  EXPECT_EQ(IniFile(ok).ReadString("SONR_L1", "1000", ""), "1");
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
