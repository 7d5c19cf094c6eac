// Creation and destruction of the window model, the program settings it
// keeps between runs, and the language texts (file, choice, captions).
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <set>

#include "core/file_system.h"
#include "document/shape_file.h"
#include "faulty_file_system.h"
#include "platform/ini_file.h"
#include "synthetic_shape.h"
#include "test_env.h"
#include "ui/form_layout.h"
#include "ui/texts/ui_messages.h"
#include "ui/window_options.h"

using namespace lodsmith;
using namespace lodsmith::test;

namespace {

namespace fs = std::filesystem;

// Every text number the program reads from the language file.
std::vector<int> UsedTextNumbers() {
  std::vector<int> n;
  for (int i = 1; i <= 17; ++i) n.push_back(i);
  for (int i : {19, 20, 22, 23, 24, 27, 28}) n.push_back(i);
  for (int i = 30; i <= 50; ++i) n.push_back(i);
  for (int i = 57; i <= 69; ++i) n.push_back(i);
  return n;
}

// Every caption, label and header that the language texts set, by name.
std::map<std::string, std::string> LanguageCaptions(const TLSForm& f) {
  return {
      {"CompressButton", f.CompressButton.Caption},
      {"OeffnenButton", f.OeffnenButton.Caption},
      {"Sub_ObjectsButton", f.Sub_ObjectsButton.Caption},
      {"AnimButton", f.AnimButton.Caption},
      {"PunkteButton", f.PunkteButton.Caption},
      {"NormalenButton", f.NormalenButton.Caption},
      {"MatButton", f.MatButton.Caption},
      {"UndoButton", f.UndoButton.Caption},
      {"SpeichernBitBtn", f.SpeichernBitBtn.Caption},
      {"SpeichernUnterBitBtn", f.SpeichernUnterBitBtn.Caption},
      {"Button1", f.Button1.Caption},
      {"AnimResetButton", f.AnimResetButton.Caption},
      {"GrundButton", f.GrundButton.Caption},
      {"E_SpeichernButton", f.E_SpeichernButton.Caption},
      {"E_LadenButton", f.E_LadenButton.Caption},
      {"E_DruckenButton", f.E_DruckenButton.Caption},
      {"TabSheet1", f.TabSheet1.Caption},
      {"TabSheet3", f.TabSheet3.Caption},
      {"Label4", f.Label4.Caption},
      {"Label5", f.Label5.Caption},
      {"Label6", f.Label6.Caption},
      {"Label14", f.Label14.Caption},
      {"Label15", f.Label15.Caption},
      {"Label26", f.Label26.Caption},
      {"Label25", f.Label25.Caption},
      {"Label10", f.Label10.Caption},
      {"Label21", f.Label21.Caption},
      {"Label7", f.Label7.Caption},
      {"Label17", f.Label17.Caption},
      {"Label18", f.Label18.Caption},
      {"Label8", f.Label8.Caption},
      {"Label9", f.Label9.Caption},
      {"Label13", f.Label13.Caption},
      {"Label19", f.Label19.Caption},
      {"Label20", f.Label20.Caption},
      {"Label23", f.Label23.Caption},
      {"Label28", f.Label28.Caption},
      {"Label29", f.Label29.Caption},
      {"Label30", f.Label30.Caption},
  };
}

// Writes a program settings file beside the fixture's executable.
void WriteProgramSettings(FormFixture& fx, const std::string& body) { WriteBytes(fx.dir.File("Lodsmith.INI"), body); }

std::vector<std::string> HeaderRow(const StringGrid& g) {
  std::vector<std::string> r;
  for (int c = 0; c < g.ColCount(); ++c) r.push_back(g.Cell(c, 0));
  return r;
}

std::vector<std::string> Column(const StringGrid& g, int col) {
  std::vector<std::string> r;
  for (int row = 1; row < g.RowCount(); ++row) r.push_back(g.Cell(col, row));
  return r;
}

}  // namespace

// ---- Creation -----------------------------------------------------------------

TEST(FormCreate, FirstStartWithoutSettingsFileShowsOneLod) {
  FormFixture fx;
  TLSForm& f = *fx.form;
  EXPECT_TRUE(fx.platform.messages.empty());
  EXPECT_FALSE(fs::exists(fx.dir.File("Lodsmith.INI"))) << "the settings file is written only at the end";
  EXPECT_EQ(f.Caption, "Lodsmith");
  EXPECT_EQ(f.LodCount, 1);
  EXPECT_EQ(HeaderRow(f.StringGrid1), (std::vector<std::string>{"Name", "Image", "Faces", "L 1"}));
  EXPECT_EQ(f.StringGrid1.RowCount(), 2);
  EXPECT_EQ(HeaderRow(f.StringGrid2), (std::vector<std::string>{"Nr.", "Vert. L 1", "L 1"}));
  EXPECT_EQ(f.StringGrid2.RowCount(), 2);
  EXPECT_EQ(HeaderRow(f.StringGrid3), (std::vector<std::string>{"Name", "Faces", "Anim."}));
  EXPECT_EQ(f.StringGrid3.RowCount(), 2);
  EXPECT_EQ(HeaderRow(f.StringGrid4), (std::vector<std::string>{"LOD Nr.", "Meter"}));
  EXPECT_EQ(Column(f.StringGrid4, 0), (std::vector<std::string>{"1"}));
  EXPECT_EQ(Column(f.StringGrid4, 1), (std::vector<std::string>{"2000"}));
  EXPECT_EQ(HeaderRow(f.StringGrid5), (std::vector<std::string>{"Nr.", "Entfernung", "Faces"}));
  EXPECT_EQ(Column(f.StringGrid5, 0), (std::vector<std::string>{"1"}));
  EXPECT_EQ(Column(f.StringGrid5, 1), (std::vector<std::string>{"2000"}));
  EXPECT_EQ(f.LODAnzSpinEdit.Value, 1);
  EXPECT_EQ(f.LODSpinEdit.MaxValue, 1);
  EXPECT_FALSE(f.LODSpinEdit.Enabled);
  EXPECT_FALSE(f.DoButton1.Enabled);
  EXPECT_EQ(f.PointTolerance, 0);
  EXPECT_EQ(f.NormalTolerance, 0);
  EXPECT_EQ(f.DeltaPointsEdit.Text, "0");
  EXPECT_EQ(f.DeltaNormalsEdit.Text, "0");
  EXPECT_EQ(f.Label1.Caption, "");
  EXPECT_EQ(f.Label2.Caption, "");
}

TEST(FormCreate, TakesLodCountAndDistancesOfTheLastRun) {
  FormFixture fx(true, false);
  WriteProgramSettings(fx, "[Dir]\r\nInitialDir=C:\\x\\\r\n[LODs]\r\nAnzahl=3\r\n1=100\r\n2=500\r\n3=2000\r\n");
  fx.form->FormCreate();
  TLSForm& f = *fx.form;
  EXPECT_EQ(f.LodCount, 3);
  EXPECT_EQ(HeaderRow(f.StringGrid1), (std::vector<std::string>{"Name", "Image", "Faces", "L 1", "L 2", "L 3"}));
  EXPECT_EQ(HeaderRow(f.StringGrid2), (std::vector<std::string>{"Nr.", "Vert. L 1", "L 1", "L 2", "L 3"}));
  EXPECT_EQ(Column(f.StringGrid4, 0), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(Column(f.StringGrid4, 1), (std::vector<std::string>{"100", "500", "2000"}));
  EXPECT_EQ(Column(f.StringGrid5, 0), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(Column(f.StringGrid5, 1), (std::vector<std::string>{"100", "500", "2000"}));
  EXPECT_EQ(f.LODAnzSpinEdit.Value, 3);
  EXPECT_EQ(f.LODSpinEdit.MaxValue, 3);
  EXPECT_TRUE(f.LODSpinEdit.Enabled);
  EXPECT_TRUE(fx.platform.messages.empty());
}

TEST(FormCreate, BadLodCountsAndDistancesGiveSaneValues) {
  struct Case {
    std::string anzahl;
    int lods;
  };
  for (const Case& c : {Case{"0", 1}, Case{"-7", 1}, Case{"abc", 1}, Case{"", 1}, Case{"150", 99}, Case{"99", 99},
                        Case{"2147483648", 1}}) {
    SCOPED_TRACE("Anzahl=" + c.anzahl);
    FormFixture fx(true, false);
    WriteProgramSettings(fx, "[LODs]\r\nAnzahl=" + c.anzahl + "\r\n");
    fx.form->FormCreate();
    EXPECT_EQ(fx.form->LodCount, c.lods);
    EXPECT_EQ(fx.form->LODAnzSpinEdit.Value, c.lods);
    EXPECT_EQ(fx.form->StringGrid1.ColCount(), c.lods + 3);
    EXPECT_EQ(fx.form->StringGrid2.ColCount(), c.lods + 2);
    EXPECT_EQ(fx.form->StringGrid4.RowCount(), c.lods + 1);
    EXPECT_EQ(fx.form->StringGrid5.RowCount(), c.lods + 1);
    EXPECT_EQ(fx.form->StringGrid1.Cell(c.lods + 2, 0), "L " + std::to_string(c.lods));
  }

  // Distances the distance grid would refuse become the default; good ones
  // stay as written.
  FormFixture fx(true, false);
  WriteProgramSettings(fx, "[LODs]\r\nAnzahl=7\r\n1=abc\r\n2=0\r\n3=2001\r\n4=\r\n5=250\r\n6=12.5\r\n");
  fx.form->FormCreate();
  const std::vector<std::string> expected{"2000", "2000", "2000", "2000", "250", "2000", "2000"};
  EXPECT_EQ(Column(fx.form->StringGrid4, 1), expected);
  EXPECT_EQ(Column(fx.form->StringGrid5, 1), expected);
  EXPECT_TRUE(fx.platform.messages.empty());
}

TEST(FormCreate, ScreenSmallerThan1024x768IsReportedOnceAndStartGoesOn) {
  struct Case {
    int w, h;
    bool message;
  };
  for (const Case& c : {Case{1024, 768, false}, Case{1280, 720, true}, Case{1023, 1024, true}, Case{800, 600, true}}) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    FormFixture fx(true, false);
    fx.platform.screenWidth = c.w;
    fx.platform.screenHeight = c.h;
    fx.form->FormCreate();
    if (c.message) {
      ASSERT_EQ(fx.platform.messages.size(), 1u);
      EXPECT_EQ(fx.platform.messages[0].kind, MsgKind::Information);
      EXPECT_EQ(fx.platform.messages[0].buttons, MsgButtons::Ok);
      EXPECT_EQ(fx.platform.messages[0].text, fx.form->LanguageText(20));
      EXPECT_FALSE(fx.platform.messages[0].text.empty());
    } else {
      EXPECT_TRUE(fx.platform.messages.empty());
    }
    EXPECT_EQ(fx.form->OeffnenButton.Caption, "Öffnen");  // creation went on to the end
  }
}

// ---- Destruction -------------------------------------------------------------------

TEST(FormDestroy, StoresTheSpinValueAndDistancesForTheNextRun) {
  FormFixture fx(true, false);
  WriteProgramSettings(fx, "[Dir]\r\nFilename=a.s\r\n[LODs]\r\nAnzahl=5\r\n1=10\r\n2=20\r\n3=30\r\n4=40\r\n5=50\r\n");
  fx.form->FormCreate();
  TLSForm& f = *fx.form;
  // The value being edited is stored, not only the committed count.
  f.LODAnzSpinEdit.Value = 3;
  f.StringGrid4.SetCell(1, 1, "150");
  f.StringGrid4.SetCell(1, 2, "");  // an empty cell is stored as 2000
  f.StringGrid4.SetCell(1, 3, "900");
  f.FormDestroy();
  EXPECT_EQ(f.ProgramIni, nullptr);
  EXPECT_EQ(f.LanguageIni, nullptr);

  IniFile ini(fx.dir.File("Lodsmith.INI"));
  EXPECT_EQ(ini.ReadString("LODs", "Anzahl", ""), "3");
  EXPECT_EQ(ini.ReadString("LODs", "1", ""), "150");
  EXPECT_EQ(ini.ReadString("LODs", "2", ""), "2000");
  EXPECT_EQ(ini.ReadString("LODs", "3", ""), "900");
  EXPECT_FALSE(ini.ValueExists("LODs", "4")) << "the section is erased before it is written";
  EXPECT_FALSE(ini.ValueExists("LODs", "5"));
  EXPECT_EQ(ini.ReadString("Dir", "Filename", ""), "a.s") << "other sections stay";

  // The next run starts where this one ended.
  TLSForm next(fx.platform);
  next.FormCreate();
  EXPECT_EQ(next.LodCount, 3);
  EXPECT_EQ(Column(next.StringGrid4, 1), (std::vector<std::string>{"150", "2000", "900"}));
  next.FormDestroy();
}

TEST(FormDestroy, CreatesTheSettingsFileOnFirstExit) {
  FormFixture fx;
  fx.form->FormDestroy();
  IniFile ini(fx.dir.File("Lodsmith.INI"));
  EXPECT_EQ(ini.ReadString("LODs", "Anzahl", ""), "1");
  EXPECT_EQ(ini.ReadString("LODs", "1", ""), "2000");
  EXPECT_TRUE(fx.platform.messages.empty());
}

// ---- A settings folder that cannot be written ------------------------------------

TEST(ReadOnlySettings, ProgramStartsRunsAndSaysOnceThatSettingsAreNotStored) {
  FormFixture fx(true, false);
  // A folder in place of the settings file refuses every write, also to root.
  fs::create_directory(fx.dir.File("Lodsmith.INI"));
  fx.form->FormCreate();
  TLSForm& f = *fx.form;
  ASSERT_EQ(fx.platform.messages.size(), 1u);
  EXPECT_EQ(fx.platform.messages[0].kind, MsgKind::Information);
  EXPECT_EQ(fx.platform.messages[0].buttons, MsgButtons::Ok);
  EXPECT_NE(fx.platform.messages[0].text.find("nicht gespeichert"), std::string::npos);
  EXPECT_NE(fx.platform.messages[0].text.find(fx.dir.File("Lodsmith.INI")), std::string::npos);
  EXPECT_TRUE(f.Settings.readOnly);
  EXPECT_EQ(f.LodCount, 1);
  EXPECT_EQ(f.OeffnenButton.Caption, "Öffnen");

  // What the actions store is kept for this run without an error.
  EXPECT_TRUE(f.Dispatch([&] { f.ProgramIni->WriteString("Dir", "InitialDir", "/somewhere/"); }));
  EXPECT_EQ(f.ProgramIni->ReadString("Dir", "InitialDir", ""), "/somewhere/");
  f.SpracheComboBox.ItemIndex = 1;
  EXPECT_TRUE(f.Dispatch([&] { f.SpracheComboBoxSelect(); }));
  EXPECT_EQ(f.OeffnenButton.Caption, "Open");

  f.LODAnzSpinEdit.Value = 4;
  EXPECT_TRUE(f.Dispatch([&] { f.FormDestroy(); }));
  EXPECT_EQ(fx.platform.messages.size(), 1u) << "told once, not again at the end";
  EXPECT_TRUE(fs::is_directory(fx.dir.File("Lodsmith.INI")));
}

TEST(ReadOnlySettings, ReadOnlyFolderKeepsTheStoredValuesReadable) {
  FormFixture fx(true, false);
  const std::string stored = "[LODs]\r\nAnzahl=2\r\n1=300\r\n2=1200\r\n";
  WriteProgramSettings(fx, stored);
  const std::string language = ReadBytes(fx.dir.File("Lodsmith_L.INI"));
  // A folder without write permission, refused by the test's file system
  // so that it binds root as well.
  FaultyFileSystem readOnly;
  readOnly.RefuseWritesIn(fx.dir.path());
  FileSystemOverride files(readOnly);
  fx.form->FormCreate();
  EXPECT_TRUE(fx.form->Settings.readOnly);
  EXPECT_EQ(fx.platform.messages.size(), 1u);
  EXPECT_EQ(Column(fx.form->StringGrid4, 1), (std::vector<std::string>{"300", "1200"}));
  EXPECT_TRUE(fx.form->Dispatch([&] { fx.form->FormDestroy(); }));
  EXPECT_EQ(fx.platform.messages.size(), 1u);
  EXPECT_EQ(ReadBytes(fx.dir.File("Lodsmith.INI")), stored);
  EXPECT_EQ(ReadBytes(fx.dir.File("Lodsmith_L.INI")), language);
}

// An installed copy (its folder read-only) keeps the settings in the
// user's settings folder instead: taken along from beside the program the
// first time, no message, the language choice stored there too, the
// installed files untouched; the next start reads them back.
TEST(ReadOnlySettings, InstalledCopyStoresInTheUsersFolder) {
  FormFixture fx(true, false);
  const std::string stored = "[LODs]\r\nAnzahl=2\r\n1=300\r\n2=1200\r\n";
  WriteProgramSettings(fx, stored);
  const std::string language = ReadBytes(fx.dir.File("Lodsmith_L.INI"));
  TempDir home;
  fx.platform.userSettingsFolder = home.File("config/Lodsmith/");
  FaultyFileSystem readOnly;
  readOnly.RefuseWritesIn(fx.dir.path());
  FileSystemOverride files(readOnly);
  for (int run = 0; run < 2; ++run) {
    TLSForm f(fx.platform);
    f.FormCreate();
    EXPECT_FALSE(f.Settings.readOnly);
    EXPECT_TRUE(fx.platform.messages.empty());
    EXPECT_EQ(Column(f.StringGrid4, 1),
              run == 0 ? (std::vector<std::string>{"300", "1200"}) : (std::vector<std::string>{"300", "1200", "2000"}));
    EXPECT_EQ(f.OeffnenButton.Caption, run == 0 ? "Öffnen" : "Open");
    f.SpracheComboBox.ItemIndex = 1;
    EXPECT_TRUE(f.Dispatch([&] { f.SpracheComboBoxSelect(); }));
    f.LODAnzSpinEdit.Value = 3;
    EXPECT_TRUE(f.Dispatch([&] { f.SetLODAnzSpinEditValue(3); }));
    EXPECT_TRUE(f.Dispatch([&] { f.FormDestroy(); }));
  }
  EXPECT_EQ(ReadBytes(fx.dir.File("Lodsmith.INI")), stored);
  EXPECT_EQ(ReadBytes(fx.dir.File("Lodsmith_L.INI")), language);
  EXPECT_NE(ReadBytes(home.File("config/Lodsmith/Lodsmith.INI")).find("Anzahl=3"), std::string::npos);
  EXPECT_EQ(ReadBytes(home.File("config/Lodsmith/Lodsmith_L.INI")), "[Languages]\r\nLanguage=English\r\n");
}

TEST(ReadOnlySettings, WritableFolderLeavesNoTraceOfTheCheck) {
  FormFixture fx;
  EXPECT_FALSE(fx.form->Settings.readOnly);
  std::set<std::string> names;
  for (auto& e : fs::directory_iterator(fx.dir.path())) names.insert(e.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"Lodsmith_L.INI"}));
}

// ---- A disk that fails under the window ----------------------------------------------

// Saving or opening on a disk that fails (full, a rename or a read refused):
// the user is told, the document stays as it was, and the files on disk
// keep their content with nothing left beside them.
TEST(FaultyDisk, FailedSaveOrOpenTellsTheUserAndLeavesTheFilesAlone) {
  struct Case {
    const char* what;
    FileCall call;
    std::string path;  // "" is the shape, "/" its folder
    int error;
    std::size_t after;
    bool save;  // else: open
  };
  const Case cases[] = {
      {"disk full while saving", FileCall::Write, "/", ENOSPC, 100, true},
      {"write stops half-way", FileCall::Write, "/", EIO, 1000, true},
      {"rename onto the shape refused", FileCall::Rename, "", EACCES, 0, true},
      {"shape cannot be opened", FileCall::OpenRead, "", EACCES, 0, false},
      {"read fails half-way", FileCall::Read, "", EIO, 100, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FormFixture fx;
    TLSForm& f = *fx.form;
    const std::string shape = fx.WriteShape("wagon.s", ExampleShape());
    const std::string backup = fx.dir.File("wagon.BAK");
    WriteBytes(backup, "older");
    const std::string onDisk = ReadBytes(shape);
    std::set<std::string> names;
    for (auto& e : fs::directory_iterator(fx.dir.path())) names.insert(e.path().filename().string());
    if (c.save) {
      fx.Open(shape);
      ASSERT_EQ(f.FileName, shape);
      f.ShapeLines.push_back(")");
      f.SMemoChange();
      names.insert("Lodsmith.INI");  // the program settings the opening stored
    }
    const Lines document = f.ShapeLines;
    fx.platform.Clear();

    FaultyFileSystem faulty;
    faulty.faults.push_back({c.call, c.path == "/" ? fx.dir.path() + "/" : shape, c.error, c.after});
    {
      FileSystemOverride files(faulty);
      if (c.save)
        f.Dispatch([&] { f.SaveDocument(); });
      else
        fx.Open(shape);
    }
    // A failed save names the file and the reason after text 59.
    ASSERT_EQ(fx.platform.Texts().size(), 1u);
    if (c.save)
      EXPECT_EQ(fx.platform.Texts()[0].rfind(f.LanguageText(59) + " ", 0), 0u) << fx.platform.Texts()[0];
    else
      EXPECT_EQ(fx.platform.Texts()[0], f.LanguageText(60));
    if (c.save) {
      EXPECT_TRUE(f.Changed);
      EXPECT_EQ(f.SpeichernBitBtn.FontColor, clRed);
      EXPECT_EQ(f.ShapeLines, document);
    } else {
      EXPECT_TRUE(f.FileName.empty());
      EXPECT_TRUE(f.ShapeLines.empty());
    }
    EXPECT_EQ(ReadBytes(shape), onDisk);
    EXPECT_EQ(ReadBytes(backup), "older");
    std::set<std::string> after;
    for (auto& e : fs::directory_iterator(fx.dir.path())) after.insert(e.path().filename().string());
    EXPECT_EQ(after, names);
  }
}

// ---- Languages -----------------------------------------------------------------------

TEST(Languages, ShippedFileHoldsEveryTextInBothLanguages) {
  const std::string bytes = ReadBytes(ShippedLanguageFile());
  ASSERT_FALSE(bytes.empty());
  // Windows text: every line ends with CR LF, no UTF-8 sequences.
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at byte " << i;
    }
  }
  EXPECT_EQ(bytes.find("\xC3\x96"), std::string::npos) << "\"Ö\" stored as UTF-8";
  EXPECT_NE(bytes.find("\xD6"
                       "ffnen"),
            std::string::npos)
      << "\"Öffnen\" stored as Windows-1252";

  IniFile ini(ShippedLanguageFile());
  EXPECT_EQ(ini.ReadString("Languages", "S1", ""), "Deutsch");
  EXPECT_EQ(ini.ReadString("Languages", "S2", ""), "English");
  EXPECT_EQ(ini.ReadString("Languages", "Language", ""), "Deutsch");
  const std::vector<int> used = UsedTextNumbers();
  for (const char* section : {"Deutsch", "English"}) {
    for (int n = 1; n <= 80; ++n) {
      bool isUsed = std::find(used.begin(), used.end(), n) != used.end();
      SCOPED_TRACE(std::string(section) + " S" + std::to_string(n));
      EXPECT_EQ(ini.ValueExists(section, "S" + std::to_string(n)), isUsed);
      if (isUsed) {
        EXPECT_FALSE(ini.ReadString(section, "S" + std::to_string(n), "").empty());
      }
    }
  }
  // The two dialog filters are description|pattern pairs.
  for (const char* section : {"Deutsch", "English"}) {
    for (int n : {57, 58}) {
      std::string filter = ini.ReadString(section, "S" + std::to_string(n), "");
      EXPECT_EQ(std::count(filter.begin(), filter.end(), '|') % 2, 1) << section << " S" << n;
    }
  }
}

TEST(Languages, GermanTextsAreTheDesignCaptions) {
  // A form that has not been created yet shows the design captions.
  FormFixture fx(true, false);
  const auto design = LanguageCaptions(*fx.form);
  fx.form->FormCreate();
  // The settings-file format drops trailing blanks of a value (the design
  // text of Label17 ends with one), so they are not compared.
  auto trimmed = [](std::string t) {
    while (!t.empty() && t.back() == ' ') t.pop_back();
    return t;
  };
  for (const auto& [name, caption] : LanguageCaptions(*fx.form))
    EXPECT_EQ(trimmed(caption), trimmed(design.at(name))) << name;
}

TEST(Languages, ChoosingEnglishSwitchesCaptionsHeadersMessagesAndIsStoredAtOnce) {
  FormFixture fx;
  TLSForm& f = *fx.form;
  ASSERT_EQ(f.SpracheComboBox.Items, (std::vector<std::string>{"Deutsch", "English"}));
  EXPECT_EQ(f.SpracheComboBox.ItemIndex, 0);
  const auto german = LanguageCaptions(f);

  f.SpracheComboBox.ItemIndex = 1;
  ASSERT_TRUE(f.Dispatch([&] { f.SpracheComboBoxSelect(); }));
  EXPECT_EQ(f.LanguageName, "English");
  const auto english = LanguageCaptions(f);
  for (const auto& [name, caption] : english) {
    EXPECT_FALSE(caption.empty()) << name;
  }
  EXPECT_EQ(f.OeffnenButton.Caption, "Open");
  EXPECT_NE(english.at("SpeichernBitBtn"), german.at("SpeichernBitBtn"));
  EXPECT_NE(english.at("Label7"), german.at("Label7"));
  EXPECT_EQ(f.StringGrid5.Cell(0, 0), "No.");
  EXPECT_EQ(f.StringGrid5.Cell(1, 0), "Distance");
  EXPECT_EQ(f.StringGrid4.Cell(0, 0), "LOD No.");
  EXPECT_EQ(f.StringGrid2.Cell(0, 0), "No.");
  EXPECT_EQ(f.Label21.Caption, "All elements L 1 =");
  EXPECT_EQ(f.LanguageText(62), "Are you sure?");
  // The beta notice is said once, in English; the header the program holds
  // itself does not change.
  EXPECT_EQ(f.Label3.Caption, "Beta version! Use at your own risk!");
  EXPECT_FALSE(f.Label11.Visible);
  EXPECT_EQ(f.StringGrid1.Cell(0, 0), "Name");

  IniFile stored(fx.dir.File("Lodsmith_L.INI"));
  EXPECT_EQ(stored.ReadString("Languages", "Language", ""), "English");

  // The next start comes up in English.
  TLSForm next(fx.platform);
  next.FormCreate();
  EXPECT_EQ(next.SpracheComboBox.ItemIndex, 1);
  EXPECT_EQ(LanguageCaptions(next), english);

  // And back.
  f.SpracheComboBox.ItemIndex = 0;
  ASSERT_TRUE(f.Dispatch([&] { f.SpracheComboBoxSelect(); }));
  EXPECT_EQ(LanguageCaptions(f), german);
  EXPECT_EQ(f.Label3.Caption, "Beta-Version! Benutzung auf eigene Gefahr!");
  EXPECT_TRUE(f.Label11.Visible);
}

TEST(Languages, Label21NamesTheSelectedLod) {
  FormFixture fx;
  fx.form->LODSpinEdit.Value = 4;
  fx.form->ApplyLanguageTexts();
  EXPECT_EQ(fx.form->Label21.Caption, "Alle Elemente L 4 =");
}

TEST(Languages, ListEndsAtFirstGapAndUnknownLanguageSelectsNothing) {
  FormFixture fx(false, false);
  WriteBytes(fx.dir.File("Lodsmith_L.INI"),
             "[Languages]\r\nS1=Deutsch\r\nS2=English\r\nS4=Fran\xE7"
             "ais\r\nLanguage=Klingon\r\n"
             "[Klingon]\r\nS2=Qapla\r\n[Deutsch]\r\nS2=\xD6"
             "ffnen\r\n");
  fx.form->FormCreate();
  TLSForm& f = *fx.form;
  EXPECT_EQ(f.SpracheComboBox.Items, (std::vector<std::string>{"Deutsch", "English"}));
  EXPECT_EQ(f.SpracheComboBox.ItemIndex, -1);
  EXPECT_EQ(f.LanguageName, "Klingon");
  EXPECT_EQ(f.OeffnenButton.Caption, "Qapla");
  EXPECT_EQ(f.GrundButton.Caption, "") << "a missing text empties the caption";
}

TEST(Languages, LanguageNameIsMatchedWithoutCase) {
  FormFixture fx(false, false);
  WriteBytes(fx.dir.File("Lodsmith_L.INI"),
             "[Languages]\r\nS1=Deutsch\r\nS2=English\r\nLanguage=ENGLISH\r\n[english]\r\nS2=Open\r\n");
  fx.form->FormCreate();
  EXPECT_EQ(fx.form->SpracheComboBox.ItemIndex, 1);
  EXPECT_EQ(fx.form->OeffnenButton.Caption, "Open");
}

TEST(Languages, MissingLanguageFileLeavesEmptyTextsAndTheProgramStarts) {
  FormFixture fx(false, false);
  fx.platform.screenWidth = 800;
  fx.platform.screenHeight = 600;
  fx.form->FormCreate();
  TLSForm& f = *fx.form;
  EXPECT_TRUE(f.SpracheComboBox.Items.empty());
  EXPECT_EQ(f.SpracheComboBox.ItemIndex, -1);
  EXPECT_EQ(f.LanguageName, "Deutsch");
  for (const auto& [name, caption] : LanguageCaptions(f)) {
    if (name == "Label21") {
      EXPECT_EQ(caption, " L 1 =");
    } else {
      EXPECT_EQ(caption, "") << name;
    }
  }
  // The screen message is still shown: a message box never says nothing,
  // so it takes the built-in text of the language.
  ASSERT_EQ(fx.platform.messages.size(), 1u);
  EXPECT_EQ(fx.platform.messages[0].text, BuiltInNumberedText(20, Language::German));
  EXPECT_FALSE(fx.platform.messages[0].text.empty());
  EXPECT_EQ(f.LodCount, 1);
  // Choosing a language is impossible without items; nothing breaks.
  EXPECT_TRUE(f.Dispatch([&] { f.SpracheComboBoxSelect(); }));
  EXPECT_TRUE(f.Dispatch([&] { f.FormDestroy(); }));
}

// The one table both windows are built from: every control has a parent made
// before it, a name of its own, the state its kind needs, and stays inside
// its parent.
TEST(WindowLayout, EveryControlHasItsParentItsStateAndStaysInside) {
  using layout::Kind;
  std::map<std::string, std::pair<int, int>> sizes{{"", {989, 604}}};
  const int tabHeader = 24;  // the page tabs take the top of the page control
  for (const layout::Control& c : layout::MainWindowControls()) {
    SCOPED_TRACE(c.name);
    const std::string parent = c.parent ? c.parent : "";
    ASSERT_TRUE(sizes.count(parent)) << "parent " << parent << " is made later or not at all";
    EXPECT_FALSE(sizes.count(c.name)) << "the name is used twice";
    const auto [pw, ph] = sizes.at(parent);
    EXPECT_GE(c.x, 0);
    EXPECT_GE(c.y, 0);
    if (c.w >= 0) {
      EXPECT_LE(c.x + c.w, pw);
    }
    if (c.h >= 0 && c.kind != Kind::Combo) {
      EXPECT_LE(c.y + c.h, ph);
    }
    switch (c.kind) {
      case Kind::Label: EXPECT_NE(c.label, nullptr); break;
      case Kind::Button: EXPECT_TRUE(c.button && c.click); break;
      case Kind::Edit: EXPECT_NE(c.edit, nullptr); break;
      case Kind::Spin: EXPECT_TRUE(c.spin && c.setValue); break;
      case Kind::Grid: EXPECT_NE(c.grid, nullptr); break;
      default: break;
    }
    sizes[c.name] = {c.w, c.h};
    if (c.kind == Kind::Pages)
      for (const char* page : {"TabSheet1", "TabSheet3"}) sizes[page] = {c.w, c.h - tabHeader};
  }
  EXPECT_TRUE(sizes.count("StringGrid1") && sizes.count("SpracheComboBox") && sizes.count("Button1"));
}

// A language file without the chosen section: captions keep the rule (a
// missing numbered text is empty), but a message box falls back to the
// built-in text of the language instead of saying nothing.
TEST(Languages, AMissingSectionEmptiesCaptionsButNeverAMessage) {
  FormFixture fx;
  TLSForm& f = *fx.form;
  f.LanguageName = "Esperanto";
  f.ApplyLanguageTexts();
  EXPECT_EQ(f.OeffnenButton.Caption, "");
  WriteBytes(fx.dir.File("bad.s"), Utf16Shape({"SIMISA@@@@@@@@@@JINX0s1t______", "shape ( )"}));
  fx.platform.Clear();
  fx.Open(fx.dir.File("bad.s"));
  ASSERT_FALSE(fx.platform.messages.empty());
  EXPECT_EQ(fx.platform.messages.back().identity, MsgIdentity::OfLanguageText(TLSForm::kOpenFailedText));
  EXPECT_EQ(fx.platform.messages.back().text, BuiltInNumberedText(TLSForm::kOpenFailedText, Language::German));
  for (const auto& m : fx.platform.messages) EXPECT_FALSE(m.text.empty());
}

// The window programs' command line: shapes to open, the testing options,
// and what is refused (exit status 2 with the usage text).
TEST(WindowOptions, ReadsShapesAndOptionsAndRefusesTheRest) {
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> shapes;
    std::string open, screenshot;
    int page;
    bool preview;
    std::optional<std::string> wrong;
  } cases[] = {
      {{}, {}, "", "", 0, false, std::nullopt},
      {{"a.s"}, {"a.s"}, "", "", 0, false, std::nullopt},
      {{"a.s", "b.s"}, {"a.s", "b.s"}, "", "", 0, false, std::nullopt},
      {{"--preview", "W\xC3\xBCrfel.s"}, {"W\xC3\xBCrfel.s"}, "", "", 0, true, std::nullopt},
      {{"--screenshot", "x.png", "--page", "1", "--open", "b.s"}, {}, "b.s", "x.png", 1, false, std::nullopt},
      {{"--bogus"}, {}, "", "", 0, false, "--bogus"},
      {{"--screenshot"}, {}, "", "", 0, false, "--screenshot"},
      {{"--page", "7"}, {}, "", "", 7, false, "--page 7"},
      {{""}, {}, "", "", 0, false, "\"\""},
      // No value joined to its option; an empty one is none.
      {{"--open=b.s"}, {}, "", "", 0, false, "--open=b.s"},
      {{"--open", "", "b.s"}, {}, "", "", 0, false, "--open"},
      {{"-", "--preview"}, {"-"}, "", "", 0, true, std::nullopt},
  };
  for (const auto& c : cases) {
    const WindowOptions o = ParseWindowOptions(c.args);
    SCOPED_TRACE(c.args.empty() ? "(none)" : c.args.front());
    EXPECT_EQ(o.shapes, c.shapes);
    EXPECT_EQ(o.open, c.open);
    EXPECT_EQ(o.screenshot, c.screenshot);
    EXPECT_EQ(o.preview, c.preview);
    EXPECT_EQ(o.wrong, c.wrong);
    if (!c.wrong) {
      EXPECT_EQ(o.page, c.page);
    }
  }
}

// A shape given to the program opens as "Öffnen" opens it; of several, the
// first, and the user is told.
TEST(WindowOptions, GivenShapesOpenTheFirstAndSaySo) {
  FormFixture fx;
  TLSForm& f = *fx.form;
  const std::string shape = fx.WriteShape("a.s", ExampleShape());
  fx.platform.Clear();
  ASSERT_TRUE(f.Dispatch([&] { f.OpenGivenShapes({shape}); }));
  EXPECT_EQ(f.FileName, shape);
  EXPECT_TRUE(fx.platform.messages.empty());

  fx.platform.Clear();
  ASSERT_TRUE(f.Dispatch([&] { f.OpenGivenShapes({shape, fx.dir.File("b.s")}); }));
  EXPECT_EQ(f.FileName, shape);
  ASSERT_EQ(fx.platform.messages.size(), 1u);
  EXPECT_EQ(fx.platform.messages[0].identity, MsgIdentity::OfMessage(static_cast<int>(UiMsg::OnlyFirstShapeOpened)));
  EXPECT_NE(fx.platform.messages[0].text.find("a.s"), std::string::npos);
}

// After a switch of language the status line of the open shape speaks the
// new one.
TEST(Languages, TheStatusLineFollowsTheLanguage) {
  FormFixture fx;
  TLSForm& f = *fx.form;
  fx.Open(fx.WriteShape("a.s", ExampleShape()));
  f.SpracheComboBox.ItemIndex = 1;
  ASSERT_TRUE(f.Dispatch([&] { f.SpracheComboBoxSelect(); }));
  ASSERT_NE(f.LanguageText(22), "");
  EXPECT_EQ(f.Label2.Caption.rfind(std::to_string(f.ShapeLines.size()) + " " + f.LanguageText(22), 0), 0u)
      << f.Label2.Caption;
}
