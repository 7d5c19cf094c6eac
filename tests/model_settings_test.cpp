// The per-model settings file: what a save writes, what a load brings back,
// the older layout, and the three settings buttons.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "platform/ini_file.h"
#include "synthetic_shape.h"
#include "test_env.h"

namespace lodsmith::test {
namespace {

const char* const kOverwriteHere =
    "Evtl. hier getätigte Einstellungen werden ohne Rückfrage überschrieben. Sind Sie sicher?";

OutlineShapeRecipe Model() {
  OutlineShapeRecipe s;
  s.elements = 4;
  s.matrices = 3;
  s.withAnimations = true;
  s.animated = {"PART1"};
  return s;
}

std::vector<std::string> Sections(const std::string& path) {
  std::istringstream in(ReadBytes(path));
  std::vector<std::string> r;
  std::string line;
  while (std::getline(in, line))
    if (!line.empty() && line[0] == '[') r.push_back(line.substr(1, line.find(']') - 1));
  return r;
}

std::vector<std::string> Column(const StringGrid& g, int col) {
  std::vector<std::string> v;
  for (int r = 1; r < g.RowCount(); ++r) v.push_back(g.Cell(col, r));
  return v;
}

std::vector<std::vector<std::string>> Cells(const StringGrid& g) {
  std::vector<std::vector<std::string>> v;
  for (int r = 0; r < g.RowCount(); ++r) {
    v.emplace_back();
    for (int c = 0; c < g.ColCount(); ++c) v.back().push_back(g.Cell(c, r));
  }
  return v;
}

struct Model_ {
  FormFixture f;
  TLSForm& form;
  std::string shape;

  Model_() : form(*f.form) {
    shape = f.WriteShape("wagon.s", OutlineShape(Model()));
    f.Open(shape);
  }
  std::string SettingsFile() const { return f.dir.File("wagon.Lodsmith"); }
  void SetLods(int n) {
    form.SetLODAnzSpinEditValue(n);
    form.LODAnzSpinEditExit();
  }
  void WriteSettings(const std::string& text) { WriteBytes(SettingsFile(), text); }
};

TEST(ModelSettings, SaveWritesEverySectionInOrder) {
  Model_ m;
  m.SetLods(2);
  m.form.StringGrid1SetEditText(3, 2, "2");
  m.form.StringGrid1SetEditText(4, 3, "999");
  m.form.RefreshSubObjectGrid();
  m.form.StringGrid2SetEditText(m.form.StringGrid2, 2, 2, "x");
  m.form.StringGrid4SetEditText(1, 1, "500");
  m.form.PointTolerance = 0.001L;
  m.form.E_SpeichernButtonClick();

  EXPECT_EQ(Sections(m.SettingsFile()),
            (std::vector<std::string>{"Delta", "SONR_L1", "SOSORT_L1", "SONR_L2", "SOSORT_L2", "ANIM", "LODs"}));
  IniFile ini(m.SettingsFile());
  EXPECT_EQ(ini.ReadString("Delta", "Points", ""), "0,001");  // the system's separator
  EXPECT_EQ(ini.ReadString("Delta", "Normals", ""), "0");
  EXPECT_EQ(ini.ReadString("SONR_L1", "2", ""), "2");
  EXPECT_EQ(ini.ReadString("SONR_L2", "3", ""), "999");
  EXPECT_EQ(ini.ReadString("SOSORT_L1", "2", ""), "x");
  EXPECT_TRUE(ini.ValueExists("SOSORT_L1", "1"));  // empty cells as "1=" lines
  EXPECT_EQ(ini.ReadString("ANIM", "2", ""), "x");
  EXPECT_EQ(ini.ReadString("LODs", "Anzahl", ""), "2");
  EXPECT_EQ(ini.ReadString("LODs", "1", ""), "500");
  EXPECT_EQ(ini.ReadString("LODs", "2", ""), "2000");
}

TEST(ModelSettings, RoundTripThroughReopeningBringsEveryGridBack) {
  Model_ m;
  m.SetLods(3);
  m.form.StringGrid1SetEditText(3, 1, "2");
  m.form.StringGrid1SetEditText(4, 4, "0");
  m.form.StringGrid1SetEditText(5, 2, "999");
  m.form.RefreshSubObjectGrid();
  m.form.StringGrid2SetEditText(m.form.StringGrid2, 2, 2, "X");
  m.form.StringGrid2SetEditText(m.form.StringGrid3, 2, 2, "");
  m.form.StringGrid2SetEditText(m.form.StringGrid3, 2, 3, "x");
  m.form.StringGrid4SetEditText(1, 2, "800");
  m.form.NormalTolerance = 0.25L;
  m.form.SpeichernButtonClick();  // saving the shape writes the settings too

  FormFixture other;
  std::filesystem::copy_file(m.shape, other.dir.File("wagon.s"));
  std::filesystem::copy_file(m.SettingsFile(), other.dir.File("wagon.Lodsmith"));
  other.Open(other.dir.File("wagon.s"));
  TLSForm& back = *other.form;
  EXPECT_TRUE(other.platform.messages.empty());
  EXPECT_EQ(back.LodCount, 3);
  EXPECT_EQ(Cells(back.StringGrid1), Cells(m.form.StringGrid1));
  EXPECT_EQ(Cells(back.StringGrid2), Cells(m.form.StringGrid2));
  EXPECT_EQ(Cells(back.StringGrid3), Cells(m.form.StringGrid3));
  EXPECT_EQ(Cells(back.StringGrid4), Cells(m.form.StringGrid4));
  EXPECT_EQ(back.NormalTolerance, 0.25L);
  EXPECT_EQ(back.DeltaNormalsEdit.Text, "0,25");
  EXPECT_EQ(back.DeltaPointsEdit.Text, "0");
}

TEST(ModelSettings, FileBytesOfAFirstSaveAndOfASaveOverIt) {
  FormFixture f;
  TLSForm& form = *f.form;
  f.Open(f.WriteShape("loco.s", ExampleShape()));
  form.SetLODAnzSpinEditValue(2);
  form.LODAnzSpinEditExit();
  form.SaveModelSettings();
  const std::string file = f.dir.File("loco.Lodsmith");
  EXPECT_EQ(ReadBytes(file),
            "[Delta]\r\nPoints=0\r\nNormals=0\r\n"
            "[SONR_L1]\r\n1=1\r\n2=1\r\n[SOSORT_L1]\r\n1=\r\n"
            "[SONR_L2]\r\n1=1\r\n2=1\r\n[SOSORT_L2]\r\n1=\r\n"
            "[ANIM]\r\n1=\r\n2=x\r\n"
            "[LODs]\r\nAnzahl=2\r\n1=2000\r\n2=2000\r\n");

  // "Delta" keeps its place; every section that is erased and written again
  // goes to the end, behind the sections of the dropped LOD 2.
  form.SetLODAnzSpinEditValue(1);
  form.LODAnzSpinEditExit();
  form.PointTolerance = 0.001L;
  form.StringGrid1SetEditText(3, 2, "999");
  form.SaveModelSettings();
  EXPECT_EQ(ReadBytes(file),
            "[Delta]\r\nPoints=0,001\r\nNormals=0\r\n"
            "[SONR_L2]\r\n1=1\r\n2=1\r\n[SOSORT_L2]\r\n1=\r\n"
            "[SONR_L1]\r\n1=1\r\n2=999\r\n[SOSORT_L1]\r\n1=\r\n"
            "[ANIM]\r\n1=\r\n2=x\r\n"
            "[LODs]\r\nAnzahl=1\r\n1=2000\r\n");
}

TEST(ModelSettings, OlderLayoutFillsLodOne) {
  Model_ m;
  m.SetLods(2);
  m.WriteSettings(
      "[SONR]\r\n1=2\r\n2=3\r\n[SOSORT]\r\n1=x\r\n3=X\r\n"
      "[SONR_L2]\r\n1=abc\r\n2=150\r\n3=\r\n");
  m.form.E_LadenButtonClick();
  EXPECT_EQ(m.f.platform.Texts(), std::vector<std::string>{kOverwriteHere});
  EXPECT_EQ(Column(m.form.StringGrid1, 3), (std::vector<std::string>{"2", "3", "1", "1"}));
  // Unparsable and empty become "1"; other numbers stay whatever their range.
  EXPECT_EQ(Column(m.form.StringGrid1, 4), (std::vector<std::string>{"1", "150", "1", "1"}));
  EXPECT_EQ(m.form.StringGrid2.Cell(2, 1), "x");
  EXPECT_EQ(m.form.StringGrid2.Cell(2, 3), "X");
  EXPECT_EQ(m.form.StringGrid2.Cell(3, 1), "");
  // No "Delta": both tolerances 0; no "LODs": the LOD count stays.
  EXPECT_EQ(m.form.PointTolerance, 0);
  EXPECT_EQ(m.form.DeltaPointsEdit.Text, "0");
  EXPECT_EQ(m.form.LodCount, 2);
}

TEST(ModelSettings, MinusOneInNewLayoutFallsBackToOlder) {
  Model_ m;
  m.WriteSettings("[SONR_L1]\r\n1=-1\r\n2=4\r\n[SONR]\r\n1=7\r\n2=8\r\n");
  m.form.LoadModelSettings();
  EXPECT_EQ(Column(m.form.StringGrid1, 3), (std::vector<std::string>{"7", "4", "1", "1"}));
}

TEST(ModelSettings, LodCountIsHeldToTheSpinLimits) {
  Model_ m;
  m.WriteSettings("[LODs]\r\nAnzahl=150\r\n1=100\r\n99=1900\r\n");
  m.form.LoadModelSettings();
  EXPECT_EQ(m.form.LodCount, 99);
  EXPECT_EQ(m.form.LODAnzSpinEdit.Value, 99);
  EXPECT_EQ(m.form.StringGrid4.RowCount(), 100);
  EXPECT_EQ(m.form.StringGrid5.RowCount(), 100);
  EXPECT_EQ(m.form.StringGrid1.ColCount(), 102);
  EXPECT_EQ(m.form.StringGrid4.Cell(1, 99), "1900");
  EXPECT_EQ(m.form.StringGrid4.Cell(1, 2), "2000");
  EXPECT_EQ(m.form.StringGrid5.Cell(1, 1), "100");

  m.WriteSettings("[LODs]\r\nAnzahl=zwei\r\n");
  m.form.LoadModelSettings();
  EXPECT_EQ(m.form.LodCount, 99);
}

TEST(ModelSettings, SectionsOfDroppedLodsStayAndAreNotRead) {
  Model_ m;
  m.SetLods(3);
  m.form.StringGrid1SetEditText(5, 1, "3");
  m.form.SaveModelSettings();
  m.SetLods(2);
  m.form.SaveModelSettings();
  IniFile ini(m.SettingsFile());
  EXPECT_EQ(ini.ReadString("SONR_L3", "1", ""), "3");
  EXPECT_EQ(ini.ReadString("LODs", "Anzahl", ""), "2");

  m.form.StringGrid1.SetCell(5, 1, "9");  // hidden third column
  m.form.LoadModelSettings();
  EXPECT_EQ(m.form.LodCount, 2);
  EXPECT_EQ(m.form.StringGrid1.Cell(5, 1), "9");
}

TEST(ModelSettings, MissingFileChangesNothingSilently) {
  Model_ m;
  m.form.StringGrid1SetEditText(3, 1, "2");
  m.form.PointTolerance = 0.5L;
  m.form.LoadModelSettings();
  EXPECT_EQ(m.form.StringGrid1.Cell(3, 1), "2");
  EXPECT_EQ(m.form.PointTolerance, 0.5L);
  EXPECT_TRUE(m.f.platform.messages.empty());
}

TEST(ModelSettings, TolerancesUseTheSystemSeparator) {
  Model_ m;
  m.WriteSettings("[Delta]\r\nPoints=0.001\r\nNormals=0,002\r\n");
  m.form.LoadModelSettings();
  EXPECT_EQ(m.form.PointTolerance, 0);  // written under other regional settings
  EXPECT_EQ(m.form.DeltaNormalsEdit.Text, "0,002");
}

// Values no double holds, and distances that are no whole number 1..2000,
// are read as missing ones: they would come back as "inf" or go into the
// shape as they stand.
TEST(ModelSettings, OutOfRangeTolerancesAndBrokenDistancesReadAsMissing) {
  Model_ m;
  m.WriteSettings(
      "[Delta]\r\nPoints=1e4000\r\nNormals=-1e400\r\n[LODs]\r\nAnzahl=4\r\n1=)))\r\n2=abc\r\n3=0\r\n4=150\r\n");
  m.form.LoadModelSettings();
  EXPECT_EQ(m.form.PointTolerance, 0);
  EXPECT_EQ(m.form.NormalTolerance, 0);
  EXPECT_EQ(m.form.DeltaPointsEdit.Text, "0");
  const char* expected[] = {"2000", "2000", "2000", "150"};
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(m.form.StringGrid4.Cell(1, k), expected[k - 1]) << k;
    EXPECT_EQ(m.form.StringGrid5.Cell(1, k), expected[k - 1]) << k;
  }
  // Typed, such a tolerance is refused like any text that is no number.
  m.f.platform.decimalSeparator = '.';
  m.form.DeltaPointsEdit.Text = "1e4000";
  m.form.DeltaPointsEditExit();
  EXPECT_EQ(m.form.PointTolerance, 0);
  ASSERT_EQ(m.f.platform.messages.size(), 1u);
  EXPECT_EQ(m.f.platform.messages[0].kind, MsgKind::Error);
}

TEST(ModelSettings, RefusedWriteNamesTheFileAndKeepsTheGrids) {
  Model_ m;
  std::filesystem::create_directory(m.SettingsFile());  // a folder where the file should go
  m.form.StringGrid1SetEditText(3, 1, "2");
  bool ok = m.form.Dispatch([&] { m.form.SaveModelSettings(); });
  EXPECT_FALSE(ok);
  ASSERT_EQ(m.f.platform.messages.size(), 1u);
  EXPECT_EQ(m.f.platform.messages[0].text, "In " + m.SettingsFile() + " kann nicht geschrieben werden");
  EXPECT_EQ(m.form.StringGrid1.Cell(3, 1), "2");
}

TEST(ModelSettings, NoOpenShapeWritesNoFile) {
  FormFixture f;
  f.form->SaveModelSettings();
  f.form->LoadModelSettings();
  EXPECT_FALSE(std::filesystem::exists(".Lodsmith"));
  EXPECT_TRUE(f.platform.messages.empty());
}

// ---- Buttons ------------------------------------------------------------------------------

TEST(SettingsButtons, GrundResetsAssignmentsButNotLodsOrTolerances) {
  Model_ m;
  m.SetLods(2);
  m.form.StringGrid1SetEditText(3, 1, "2");
  m.form.StringGrid1SetEditText(4, 2, "3");
  m.form.RefreshSubObjectGrid();
  m.form.StringGrid2SetEditText(m.form.StringGrid2, 3, 2, "x");
  m.form.StringGrid2SetEditText(m.form.StringGrid3, 2, 2, "");
  m.form.StringGrid4SetEditText(1, 2, "900");
  m.form.PointTolerance = 0.1L;

  m.f.platform.answers = {MsgResult::No};
  m.form.GrundButtonClick();
  EXPECT_EQ(m.form.StringGrid1.Cell(3, 1), "2");

  m.form.GrundButtonClick();
  EXPECT_EQ(m.f.platform.Texts(), (std::vector<std::string>{kOverwriteHere, kOverwriteHere}));
  EXPECT_EQ(Column(m.form.StringGrid1, 3), (std::vector<std::string>{"1", "1", "1", "1"}));
  EXPECT_EQ(Column(m.form.StringGrid1, 4), (std::vector<std::string>{"1", "1", "1", "1"}));
  EXPECT_EQ(m.form.StringGrid2.RowCount(), 2);
  EXPECT_EQ(m.form.StringGrid2.Cell(3, 2), "");  // emptied before the recount hid it
  EXPECT_EQ(m.form.StringGrid3.Cell(2, 2), "x");
  EXPECT_EQ(m.form.LodCount, 2);
  EXPECT_EQ(m.form.StringGrid4.Cell(1, 2), "900");
  EXPECT_EQ(m.form.PointTolerance, 0.1L);
}

TEST(SettingsButtons, SaveButtonAsksFirst) {
  Model_ m;
  m.f.platform.answers = {MsgResult::No};
  m.form.E_SpeichernButtonClick();
  EXPECT_FALSE(std::filesystem::exists(m.SettingsFile()));
  EXPECT_EQ(m.f.platform.Texts(),
            std::vector<std::string>{"Evtl. vorher gespeicherte Einstellungen werden ohne Rückfrage überschrieben. "
                                     "Das gilt auch für die Einstellungen, die beim letzten Speichern der Datei "
                                     "mitgespeichert wurden. Sind Sie sicher?"});
  m.form.E_SpeichernButtonClick();
  EXPECT_TRUE(std::filesystem::exists(m.SettingsFile()));
}

// A 0-byte shape opens empty; saving it fails, and the assignments stored
// beside it must not be overwritten by the empty grids.
TEST(ModelSettings, FailedSaveOfAnEmptyShapeKeepsTheSettingsFile) {
  FormFixture f;
  const std::string shape = f.dir.File("empty.s");
  WriteBytes(shape, "");
  const std::string settings = f.dir.File("empty.Lodsmith");
  WriteBytes(settings, "[SONR_L1]\r\n1=7\r\n");
  f.Open(shape);
  ASSERT_EQ(f.form->FileName, shape);
  f.form->SpeichernButtonClick();
  EXPECT_EQ(ReadBytes(settings), "[SONR_L1]\r\n1=7\r\n");
  ASSERT_FALSE(f.platform.messages.empty());
  EXPECT_EQ(f.platform.messages.back().kind, MsgKind::Warning);
}

// A name in another script comes through the window unchanged: in the grid,
// in the settings file (as far as Windows-1252 holds it) and in the shape.
TEST(ModelSettings, NamesInAnyScriptSurviveOpenAndSave) {
  FormFixture f;
  std::vector<std::string> lines = OutlineShape(Model());
  bool renamed = false;
  for (auto& l : lines)
    if (!renamed && Contains(l, "prim_state ")) {
      const auto at = l.find("prim_state ") + 11;
      l.replace(at, l.find(' ', at) - at, "Ko\xC4\x8Dka_\xC5\x81\xC4\x8A");
      renamed = true;
    }
  ASSERT_TRUE(renamed);
  const std::string shape = f.WriteShape("k.s", lines);
  const std::string before = ReadBytes(shape);
  f.Open(shape);
  EXPECT_EQ(f.form->StringGrid1.Cell(0, 1), "Ko\xC4\x8Dka_\xC5\x81\xC4\x8A");
  f.form->SpeichernButtonClick();
  EXPECT_EQ(ReadBytes(shape), before);
}

}  // namespace
}  // namespace lodsmith::test
