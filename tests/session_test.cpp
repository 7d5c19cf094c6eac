// The session without a window: open, the rules of the tables, the settings
// file, the merges in two steps with their question, the generation and the
// "can I?" queries.
#include <gtest/gtest.h>

#include <deque>

#include "core/file_io.h"
#include "core/grid_columns.h"
#include "document/shape_forms.h"
#include "generation/generation_messages.h"
#include "generation/generator.h"
#include "platform/ini_file.h"
#include "session/lod_rules.h"
#include "session/program_settings.h"
#include "session/session.h"
#include "session/session_messages.h"
#include "session_fixture.h"
#include "synthetic_shape.h"
#include "test_env.h"
#include "tools/tools_messages.h"
#include "ui/texts/messages.h"

namespace lodsmith {
namespace {

using namespace grid;
using namespace test;

Lines PointShape() {
  return GeometryShape(
      {{"0 0 0", "0.0005 0 0", "1 1 1", "1 1 1.0005"}, {"0 1 0"}, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}, {}});
}

TEST(Session, OpenFillsTheTablesWithTheDefaultAssignment) {
  SessionFixture f(2);
  const OpenResult opened = f.Open(ExportedShape({}));
  ASSERT_EQ(opened.status, OpenResult::Status::Opened);
  EXPECT_TRUE(opened.decoded);
  EXPECT_FALSE(opened.settingsLoaded);
  EXPECT_EQ(f.session.ElementCount(), 3);
  EXPECT_EQ(f.session.MatrixCount(), 2);
  EXPECT_EQ(f.session.ElementName(1), "E0");
  for (int r = 1; r <= 3; ++r)
    for (int k = 1; k <= 2; ++k) EXPECT_EQ(f.session.Cell(r, k), "1") << r << "/" << k;
  EXPECT_EQ(f.session.SubObjectCount(), 1);
  EXPECT_EQ(f.session.undoLines, f.session.lines);
  EXPECT_FALSE(f.session.changed);
  EXPECT_TRUE(f.session.CanGenerate());
  EXPECT_TRUE(f.questions.asked.empty());
}

TEST(Session, AFileWithoutTheMarkIsOpenedOnlyWhenTheQuestionIsAnsweredYes) {
  for (const bool yes : {false, true}) {
    SessionFixture f;
    test::WriteBytes(f.dir.File("plain.s"), "no shape at all\r\n");
    f.questions.answers.push_back(yes);
    const OpenResult r = f.session.Open(f.dir.File("plain.s"), f.questions, "", 1);
    ASSERT_EQ(f.questions.asked.size(), 1u);
    EXPECT_EQ(f.questions.asked[0].kind, Question::Kind::ByteOrder);
    if (!yes) {
      EXPECT_EQ(r.status, OpenResult::Status::Declined);
      EXPECT_TRUE(f.session.fileName.empty());
      EXPECT_TRUE(f.session.lines.empty());
    } else {
      EXPECT_TRUE(r.decoded);
      EXPECT_EQ(f.session.fileName, f.dir.File("plain.s"));
    }
  }
}

TEST(Session, AShapeTheAnalysisRefusesStaysOpenWithEmptyTables) {
  SessionFixture f;
  const OpenResult r = f.Open({"SIMISA@@@@@@@@@@JINX0s1t______", "shape ( )"});
  EXPECT_EQ(r.status, OpenResult::Status::NotAnalysed);
  EXPECT_FALSE(f.session.fileName.empty());
  EXPECT_TRUE(f.session.ElementName(1).empty());
  EXPECT_FALSE(f.session.CanGenerate());
}

// Each cell keeps its rule: a refused text is emptied and named by its message.
TEST(Session, EditsKeepTheRuleOfTheirCell) {
  struct Case {
    const char* what;
    std::function<void(Session&, const std::string&)> set;
    std::function<std::string(const Session&)> read;
    std::vector<std::string> taken, refused;
    GenerationMsg refusal;
  };
  const std::vector<Case> cases = {
      {"assignment",
       [](Session& s, const std::string& t) { s.SetCell(2, 1, t); },
       [](const Session& s) { return s.Cell(2, 1); },
       {"", "0", "7", "99", "999", "05"},
       {"100", "998", "-1", "x", "1000"},
       GenerationMsg::AssignmentRefused},
      {"distance",
       [](Session& s, const std::string& t) { s.SetDistance(1, t); },
       [](const Session& s) { return s.Distance(1); },
       {"", "1", "2000", "05"},
       {"0", "2001", "-5", "abc"},
       GenerationMsg::DistanceRefused},
      {"sort mark",
       [](Session& s, const std::string& t) { s.SetSortMark(1, 1, t); },
       [](const Session& s) { return s.SubObjects.Cell(SubObjectSortColumn(1), 1); },
       {"", "x", "X"},
       {"y", "xx", "1"},
       GenerationMsg::SortMarkRefused},
      {"animation mark",
       [](Session& s, const std::string& t) { s.SetAnimationMark(2, t); },
       [](const Session& s) { return s.Matrices.Cell(kMatrixAnimated, 2); },
       {"", "x", "X"},
       {"on", "0"},
       GenerationMsg::SortMarkRefused},
      {"mark in another cell (the matrix table's faces)",
       [](Session& s, const std::string& t) { Session::SetMark(s.Matrices, kMatrixFaces, 1, t); },
       [](const Session& s) { return s.Matrices.Cell(kMatrixFaces, 1); },
       {"", "x", "X"},
       {"12", " x"},
       GenerationMsg::SortMarkRefused},
  };
  SessionFixture f;
  ASSERT_EQ(f.Open(ExportedShape({})).status, OpenResult::Status::Opened);
  for (const Case& c : cases) {
    for (const auto& text : c.taken) {
      EXPECT_NO_THROW(c.set(f.session, text)) << c.what << " " << text;
      EXPECT_EQ(c.read(f.session), text) << c.what;
    }
    for (const auto& text : c.refused) {
      try {
        c.set(f.session, text);
        ADD_FAILURE() << c.what << " took " << text;
      } catch (const Error& e) {
        EXPECT_TRUE(e.Is(c.refusal)) << c.what << " " << text;
      }
      EXPECT_EQ(c.read(f.session), "") << c.what << " " << text;
    }
  }
  // The overview follows the distance as a number.
  f.session.SetDistance(1, "0450");
  EXPECT_EQ(f.session.Overview.Cell(kOverviewDistance, 1), "450");
}

TEST(Session, TheLodCountKeepsCellsAndDistancesThatFellOutside) {
  SessionFixture f(3);
  ASSERT_EQ(f.Open(ExportedShape({})).status, OpenResult::Status::Opened);
  f.session.SetCell(1, 3, "2");
  f.session.SetDistance(3, "700");
  f.session.CommitLodCount(1);
  EXPECT_EQ(f.session.Distance(3), "");  // not a LOD now
  f.session.ResizeDistances(3);
  f.session.CommitLodCount(3);
  EXPECT_EQ(f.session.Cell(1, 3), "2");
  EXPECT_EQ(f.session.Distance(3), "700");
  // A new LOD's cells are "1", its distance 2000.
  f.session.ResizeDistances(4);
  f.session.CommitLodCount(4);
  EXPECT_EQ(f.session.Cell(2, 4), "1");
  EXPECT_EQ(f.session.Distance(4), kDefaultDistance);
  EXPECT_EQ(f.session.Elements.Cell(ElementLodColumn(4), kHeaderRow), "L 4");
}

TEST(Session, TheSettingsFileTakesEverythingBackToTheNextOpen) {
  SessionFixture f;
  ASSERT_EQ(f.Open(ExportedShape({})).status, OpenResult::Status::Opened);
  f.session.ResizeDistances(2);
  f.session.CommitLodCount(2);
  f.session.SetDistance(1, "300");
  f.session.SetDistance(2, "1200");
  f.session.SetCell(1, 2, "999");
  f.session.SetCell(3, 1, "2");
  f.session.RefreshSubObjects(1);
  f.session.SetSortMark(2, 1, "x");
  f.session.SetAnimationMark(1, "x");
  f.session.pointTolerance = 0.25L;
  f.session.SaveModelSettings(f.session.ModelSettingsFileName());

  SessionFixture g;  // a second session opens the first one's file
  const OpenResult r = g.session.Open(f.session.fileName, g.questions, "", 1);
  ASSERT_EQ(r.status, OpenResult::Status::Opened);
  EXPECT_TRUE(r.settingsLoaded);
  EXPECT_EQ(r.lodsLoaded, 2);
  EXPECT_EQ(g.session.lodCount, 2);
  EXPECT_EQ(g.session.Distance(1), "300");
  EXPECT_EQ(g.session.Distance(2), "1200");
  EXPECT_EQ(g.session.Cell(1, 2), "999");
  EXPECT_EQ(g.session.Cell(3, 1), "2");
  EXPECT_EQ(g.session.SubObjectCount(), 2);
  EXPECT_TRUE(g.session.SortMarked(2, 1));
  EXPECT_TRUE(g.session.AnimationMarked(1));
  EXPECT_FALSE(g.session.AnimationMarked(2));
  EXPECT_EQ(g.session.pointTolerance, 0.25L);
}

// The batch program's --settings: another settings file in place of the
// shape's own, which is not read at all.
TEST(Session, ASettingsFileGivenIsLoadedInsteadOfTheShapesOwn) {
  SessionFixture f;
  WriteBytes(f.dir.File("shape.s"), Utf16Shape(ExportedShape({})));
  WriteBytes(f.dir.File("shape.Lodsmith"), "[SONR_L1]\r\n1=5\r\n");
  WriteBytes(f.dir.File("other.ini"), "[SONR_L1]\r\n1=6\r\n[Delta]\r\nPoints=0,5\r\n");
  const OpenResult r = f.session.Open(f.dir.File("shape.s"), f.questions, f.dir.File("other.ini"), 1);
  ASSERT_EQ(r.status, OpenResult::Status::Opened);
  EXPECT_TRUE(r.settingsLoaded);
  EXPECT_EQ(r.lodsLoaded, 0);
  EXPECT_EQ(f.session.Cell(1, 1), "6");
  EXPECT_EQ(f.session.pointTolerance, 0.5L);
  EXPECT_EQ(f.session.SubObjectCount(), 6);
}

TEST(Session, AMergeIsPlannedAskedAndThenApplied) {
  for (const bool yes : {false, true}) {
    SessionFixture f;
    ASSERT_TRUE(f.Open(PointShape()).decoded);
    const Lines before = f.session.lines;
    MergeProposal p = f.session.LocateMerge(true);
    ASSERT_TRUE(p.header);
    f.questions.answers.push_back(yes);
    const MergeResult r = f.session.Merge(p, 0.001L, f.questions);
    ASSERT_EQ(f.questions.asked.size(), 1u);
    EXPECT_EQ(f.questions.asked[0].kind, Question::Kind::MergePoints);
    EXPECT_EQ(f.questions.asked[0].count, 2);
    if (!yes) {
      EXPECT_EQ(r.status, MergeResult::Status::Declined);
      EXPECT_EQ(f.session.lines, before);
      EXPECT_TRUE(f.session.CanMergePoints());
      continue;
    }
    EXPECT_EQ(r.status, MergeResult::Status::Merged);
    EXPECT_EQ(r.merged, 2);
    EXPECT_EQ(r.entries, 4);
    EXPECT_EQ(f.session.lines.size(), before.size() - 2);
    EXPECT_TRUE(f.session.changed);
    EXPECT_FALSE(f.session.CanMergePoints());
    EXPECT_TRUE(f.session.CanMergeNormals());
  }
}

TEST(Session, NothingWithinTheToleranceLeavesTheDocumentAsItWas) {
  SessionFixture f;
  ASSERT_TRUE(f.Open(PointShape()).decoded);
  MergeProposal p = f.session.LocateMerge(true);
  const MergeResult r = f.session.Merge(p, 0, f.questions);
  EXPECT_EQ(r.status, MergeResult::Status::NoneWithin);
  EXPECT_EQ(r.entries, 4);
  EXPECT_TRUE(f.questions.asked.empty());
  EXPECT_FALSE(f.session.changed);
  // A shape without a normals block has nothing to merge and says nothing.
  EXPECT_FALSE(SessionFixture().session.LocateMerge(false).header);
}

TEST(Session, GenerationWritesTheAssignmentOnceAndUndoBringsItBack) {
  SessionFixture f(2);
  ASSERT_EQ(f.Open(ExportedShape({})).status, OpenResult::Status::Opened);
  f.session.SetCell(1, 2, "2");
  f.session.RefreshSubObjects(1);
  const Lines opened = f.session.lines;
  const GenerateResult r = f.session.Generate({});
  ASSERT_EQ(r.status, GenerateResult::Status::Written) << (r.failure ? DescribeMessage(*r.failure) : "");
  EXPECT_EQ(r.subObjectsPerLod, (std::vector<int32_t>{1, 2}));
  EXPECT_NE(f.session.lines, opened);
  EXPECT_TRUE(f.session.changed);
  EXPECT_FALSE(f.session.CanGenerate());

  f.session.Undo();
  EXPECT_EQ(f.session.lines, opened);
  EXPECT_FALSE(f.session.changed);
  EXPECT_TRUE(f.session.CanGenerate());
}

TEST(Session, ARefusedAssignmentChangesNoLine) {
  SessionFixture f;
  ASSERT_EQ(f.Open(ExportedShape({})).status, OpenResult::Status::Opened);
  for (int r = 1; r <= 3; ++r) f.session.SetCell(r, 1, "999");
  const Lines opened = f.session.lines;
  const GenerateResult r = f.session.Generate({});
  EXPECT_EQ(r.status, GenerateResult::Status::Refused);
  ASSERT_TRUE(r.failure);
  EXPECT_TRUE(f.session.CanGenerate());
  // Only the sort_vectors line may be split, as the generation splits it.
  EXPECT_LE(f.session.lines.size(), opened.size() + 1);
}

TEST(Session, SavingWritesTheFormItWasReadInWithABackup) {
  SessionFixture f;
  ASSERT_EQ(f.Open(ExportedShape({})).status, OpenResult::Status::Opened);
  const std::string before = test::ReadBytes(f.session.fileName);
  f.session.lines.push_back("");
  ASSERT_TRUE(f.session.Save().written());
  EXPECT_EQ(test::ReadBytes(ChangeExtension(f.session.fileName, ".BAK")), before);
  f.session.lines.clear();
  EXPECT_EQ(f.session.Save().status, SaveResult::Status::Failed);
}

// A tolerance or budget as typed: the system's separator; a refused text
// names its fault, and a negative tolerance is kept all the same.
TEST(Session, TypedNumbersKeepTheirRules) {
  struct Case {
    const char* text;
    char separator;
    std::optional<long double> tolerance;  // what the point tolerance becomes (from 7)
    bool toleranceTaken;
    std::optional<double> budget;  // none: refused
  };
  const Case cases[] = {
      {"0,5", ',', 0.5L, true, 0.5},        {"2.5", ',', 7, false, 2.5},       {"-1", '.', -1, false, std::nullopt},
      {"abc", '.', 7, false, std::nullopt}, {"0", '.', 0, true, std::nullopt},
  };
  for (const Case& c : cases) {
    SessionFixture f;
    f.session.pointTolerance = 7;
    try {
      f.session.SetTolerance(true, c.text, c.separator);
      EXPECT_TRUE(c.toleranceTaken) << c.text;
    } catch (const Error& e) {
      EXPECT_FALSE(c.toleranceTaken) << c.text;
      EXPECT_TRUE(e.Is(ToolsMsg::ToleranceInvalid)) << c.text;
    }
    EXPECT_EQ(f.session.pointTolerance, *c.tolerance) << c.text;
    EXPECT_EQ(f.session.normalTolerance, 0) << c.text;
    try {
      f.session.SetScreenError(c.text, c.separator);
      EXPECT_EQ(f.session.screenError, c.budget.value_or(-1)) << c.text;
    } catch (const Error& e) {
      EXPECT_FALSE(c.budget) << c.text;
      EXPECT_TRUE(e.Is(SessionMsg::ScreenErrorRefused)) << c.text;
      EXPECT_EQ(f.session.screenError, kDefaultScreenError) << c.text;
    }
  }
}

// The bulk edits of the element table: a LOD set at once, copied from the
// one before, and rows shifted down or up within the LODs given.
TEST(Session, BulkEditsMoveTheCellsOfTheLodsGiven) {
  SessionFixture f(3);
  ASSERT_EQ(f.Open(ExportedShape({})).status, OpenResult::Status::Opened);
  auto column = [&f](int lod) {
    std::string cells;
    for (int r = 1; r <= f.session.ElementCount(); ++r) cells += f.session.Cell(r, lod) + ";";
    return cells;
  };
  EXPECT_THROW(f.session.AssignLod(2, "100"), Error);
  EXPECT_EQ(column(2), "1;1;1;");
  f.session.AssignLod(2, "999");
  EXPECT_EQ(column(2), "999;999;999;");
  f.session.SetCell(1, 1, "4");
  f.session.SetCell(3, 1, "5");
  EXPECT_FALSE(f.session.CopyPreviousLod(1));
  EXPECT_TRUE(f.session.CopyPreviousLod(2));
  EXPECT_EQ(column(2), "4;1;5;");

  EXPECT_TRUE(f.session.ShiftAssignments(1, 2, true));
  EXPECT_EQ(column(1), ";4;1;");
  EXPECT_EQ(column(2), ";4;1;");
  EXPECT_EQ(column(3), "1;1;1;") << "a LOD beyond those given stays";
  EXPECT_TRUE(f.session.ShiftAssignments(2, 2, false));
  EXPECT_EQ(column(1), ";1;;");
  for (const int outside : {0, 4}) EXPECT_FALSE(f.session.ShiftAssignments(outside, 2, true)) << outside;
  EXPECT_EQ(column(1), ";1;;");
}

// The built-in conversion turns text into the compressed form and back,
// keeping the file before each step as its backup; a file of no shape form
// is left alone.
TEST(Session, TheBuiltInConversionGoesBothWaysWithABackup) {
  SessionFixture f;
  const std::string path = f.dir.File("lok.s");
  const std::string text = ReadBytes(std::string(LODSMITH_SAMPLES_DIR) + "/sample.s");
  WriteBytes(path, text);
  std::optional<ShapeConversion> done = f.session.ConvertShapeFile(path);
  ASSERT_TRUE(done);
  EXPECT_FALSE(done->toText);
  EXPECT_EQ(done->backup, f.dir.File("lok.BAK"));
  EXPECT_EQ(ReadBytes(done->backup), text);
  EXPECT_EQ(DetectShapeForm(ReadBytes(path)), ShapeForm::Compressed);
  done = f.session.ConvertShapeFile(path);
  ASSERT_TRUE(done);
  EXPECT_TRUE(done->toText);
  EXPECT_EQ(DetectShapeForm(ReadBytes(path)), ShapeForm::UnicodeText);
  EXPECT_EQ(DetectShapeForm(ReadBytes(done->backup)), ShapeForm::Compressed);

  WriteBytes(path, "no shape\r\n");
  EXPECT_FALSE(f.session.ConvertShapeFile(path));
  EXPECT_EQ(ReadBytes(path), "no shape\r\n");
  EXPECT_THROW(f.session.ConvertShapeFile(f.dir.File("gone.s")), Error);
}

// The program settings as both programs read them: the LODs of the last run
// made sane, and the language chosen with an installed copy's own first.
TEST(ProgramSettings, StoredValuesAreReadWithinTheirRules) {
  const IniFile program("", "[LODs]\r\nAnzahl=150\r\n1=300\r\n2=0\r\n3=abc\r\n");
  EXPECT_EQ(StoredLodCount(program), kMaxLods);
  EXPECT_EQ(StoredLodCount(IniFile("", "[LODs]\r\nAnzahl=-3\r\n")), kMinLods);
  EXPECT_EQ(StoredDistance(program, 1), "300");
  for (const int lod : {2, 3, 4}) EXPECT_EQ(StoredDistance(program, lod), kDefaultDistance) << lod;

  const IniFile shipped("", "[Languages]\r\nLanguage=English\r\n");
  const IniFile choice("", "[Languages]\r\nLanguage=Deutsch\r\n");
  const IniFile none("", "");
  EXPECT_EQ(ChosenLanguageName(&choice, shipped), "Deutsch");
  EXPECT_EQ(ChosenLanguageName(&none, shipped), "English");
  EXPECT_EQ(ChosenLanguageName(nullptr, shipped), "English");
  EXPECT_EQ(ChosenLanguageName(nullptr, none), "Deutsch");
}

// The built-in copy of the numbered texts must say what the shipped file
// says, in both languages.
TEST(NumberedTexts, TheBuiltInCopyIsTheShippedFilesText) {
  const std::string file = test::ShippedLanguageFile();
  if (file.empty()) GTEST_SKIP() << "the shipped language file is not there";
  const IniFile ini(file);
  ASSERT_FALSE(NumberedTexts().empty());
  for (const MessageText& t : NumberedTexts()) {
    EXPECT_EQ(ini.ReadString("Deutsch", "S" + std::to_string(t.id), ""), t.german) << t.id;
    EXPECT_EQ(ini.ReadString("English", "S" + std::to_string(t.id), ""), t.english) << t.id;
    EXPECT_EQ(BuiltInNumberedText(t.id, Language::English), t.english);
  }
  EXPECT_EQ(BuiltInNumberedText(1, Language::German), "");
}

}  // namespace
}  // namespace lodsmith
