// The detail per LOD in the session: the rules of a detail cell and of the
// budget, the simplified LODs the generation writes, the suggested
// distances, the settings file's own section, and the batch program's
// options for them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/grid_columns.h"
#include "generation/element_mesh.h"
#include "generation/lod_assignment.h"
#include "mesh_shape.h"
#include "platform/ini_file.h"
#include "session/session_messages.h"
#include "session_fixture.h"
#include "shape_checker.h"
#include "simplify_meshes.h"
#include "test_env.h"

namespace lodsmith::test {
namespace {

// Metres per pixel at 1 m, as the rule states it (1080 rows, 55 degrees).
double PixelAtOneMetre() { return 2 * std::tan(27.5 * 3.14159265358979323846 / 180) / 1080; }

// A plate of 8 x 8 squares (a flat surface that simplifies far), a box on
// its own matrix, and a small box 0.1 m wide: three elements.
MeshShapeRecipe PlateAndBoxes() {
  MeshShapeRecipe r;
  r.matrices.push_back(MeshMatrix{"BOX", 0, {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 3}});
  MeshElement plate{"Plate", 0, {}, {}};
  AddGrid(plate, 8);
  MeshElement box{"Box", 1, {}, {}};
  AddBox(box, {0, 0, 0}, {2, 1, 1});
  MeshElement small{"Small", 0, {}, {}};
  AddBox(small, {4, 4, 0}, {4.1f, 4.1f, 0.1f});
  r.elements = {plate, box, small};
  r.faceNormals = 1;
  return r;
}

Lines Plate() { return MeshShape(PlateAndBoxes()); }

TEST(LodDetail, TextsReadAsTheCellTakesThem) {
  struct Case {
    const char* text;
    bool valid;
    const char* shown;
  };
  const Case cases[] = {
      {"100%", true, "100%"}, {"100", true, "100%"},  {"50%", true, "50%"}, {"1", true, "1%"},
      {"auto", true, "auto"}, {"AuTo", true, "auto"}, {"0", false, ""},     {"0%", false, ""},
      {"101%", false, ""},    {"", false, ""},        {"50%%", false, ""},  {"-5", false, ""},
      {" 50", false, ""},     {"5 0", false, ""},     {"autos", false, ""}, {"%", false, ""},
  };
  for (const Case& c : cases) {
    const auto d = ReadDetail(c.text);
    ASSERT_EQ(d.has_value(), c.valid) << c.text;
    if (d) {
      EXPECT_EQ(DetailText(*d), c.shown) << c.text;
    }
  }
}

TEST(LodDetail, DistanceForAnErrorIsTheSmallestWholeMetre) {
  const double pixel = PixelAtOneMetre();
  EXPECT_NEAR(PixelSizeAt(1000), 1000 * pixel, 1e-15);
  EXPECT_EQ(DistanceForError(0, 1), 0);
  EXPECT_EQ(DistanceForError(1000 * pixel, 1), 1000);   // exactly one pixel at 1000 m
  EXPECT_EQ(DistanceForError(1000 * pixel, 2), 500);    // two pixels allowed
  EXPECT_EQ(DistanceForError(999.5 * pixel, 1), 1000);  // rounded up
  EXPECT_EQ(DistanceForError(0.1 * pixel, 1), 1);
}

TEST(LodDetail, CellsKeepTheirRuleAndNameTheLod) {
  struct Case {
    int lod;
    const char* text;
    const char* cell;
    int refusal;  // 0: taken
  };
  const Case cases[] = {
      {2, "50", "50%", 0},
      {2, "auto", "auto", 0},
      {3, "", "100%", 0},
      {1, "auto", "100%", static_cast<int>(SessionMsg::DetailAutoFirstLod)},
      {2, "0%", "100%", static_cast<int>(SessionMsg::DetailRefused)},
      {3, "half", "100%", static_cast<int>(SessionMsg::DetailRefused)},
  };
  for (const Case& c : cases) {
    SessionFixture f(3);
    try {
      f.session.SetDetail(c.lod, c.text);
      EXPECT_EQ(c.refusal, 0) << c.text;
    } catch (const Error& e) {
      EXPECT_EQ(e.message().id, c.refusal) << c.text;
      if (e.message().id == static_cast<int>(SessionMsg::DetailRefused)) {
        EXPECT_EQ(e.message().args, (std::vector<std::string>{std::to_string(c.lod), c.text}));
      }
    }
    EXPECT_EQ(f.session.Details.Cell(1, c.lod), c.cell) << c.text;
  }
  SessionFixture f(2);
  for (double bad : {0.0, -1.0, double(INFINITY), double(NAN)})
    EXPECT_THROW(f.session.SetScreenError(bad), Error) << bad;
  EXPECT_EQ(f.session.screenError, kDefaultScreenError);
  f.session.SetScreenError(0.5);
  EXPECT_EQ(f.session.screenError, 0.5);
}

TEST(LodDetail, NewLodsStartAtFullDetailAndFallenOutDetailsComeBack) {
  SessionFixture f(3);
  f.session.SetDetail(3, "20%");
  EXPECT_TRUE(f.session.AnyLodSimplified());
  f.session.CommitLodCount(2);
  EXPECT_FALSE(f.session.AnyLodSimplified());
  f.session.CommitLodCount(4);
  EXPECT_EQ(f.session.Detail(3), (LodDetail{LodDetail::Kind::Percent, 20}));
  EXPECT_TRUE(f.session.Detail(4).Full());
}

// Element 3 (0.1 m box) is left out of LOD 2, element 2 (the 2 x 1 x 1 box)
// out of LOD 3: the distances follow their whole extent.
TEST(LodDetail, SuggestedDistancesCountALeftOutElementWhole) {
  const double small = std::sqrt(3 * 0.1 * 0.1), box = std::sqrt(4 + 1 + 1);
  struct Case {
    double budget;
    int64_t first, second;
  };
  const Case cases[] = {
      {1, static_cast<int64_t>(std::ceil(small / PixelAtOneMetre())), 2000},  // the box caps at 2000
      {50, static_cast<int64_t>(std::ceil(small / (50 * PixelAtOneMetre()))),
       static_cast<int64_t>(std::ceil(box / (50 * PixelAtOneMetre())))},
      {10000, 1, 2},  // at least the distance before + 1
  };
  for (const Case& c : cases) {
    SessionFixture f(4);
    ASSERT_EQ(f.Open(Plate()).status, OpenResult::Status::Opened);
    f.session.SetScreenError(c.budget);
    f.session.SetCell(3, 2, "999");
    f.session.SetCell(3, 3, "999");
    f.session.SetCell(2, 3, "999");
    f.session.SetCell(3, 4, "999");
    f.session.SetCell(2, 4, "999");
    f.session.SetDistance(3, "1500");
    const DistanceSuggestion s = f.session.SuggestDistances();
    EXPECT_FALSE(s.refusedAuto);
    EXPECT_EQ(f.session.Distance(1), std::to_string(c.first)) << c.budget;
    EXPECT_EQ(f.session.Distance(2), std::to_string(c.second)) << c.budget;
    // LOD 4 shows what LOD 3 shows, but the error against the full model
    // is the box's: the distance before it follows that too.
    const auto boxDistance = static_cast<int64_t>(std::ceil(box / (c.budget * PixelAtOneMetre())));
    EXPECT_EQ(f.session.Distance(3), std::to_string(std::min<int64_t>(std::max(boxDistance, c.second + 1), 2000)));
    EXPECT_EQ(f.session.Distance(4), kDefaultDistance);
  }
}

TEST(LodDetail, SuggestionsLeaveDistancesWithoutErrorAndRefuseAuto) {
  SessionFixture f(3);
  ASSERT_EQ(f.Open(Plate()).status, OpenResult::Status::Opened);
  f.session.SetDistance(1, "300");
  f.session.SetDistance(2, "700");
  // Nothing simplified and nothing left out: no LOD has an error.
  DistanceSuggestion s = f.session.SuggestDistances();
  EXPECT_EQ(s.changed, (std::vector<bool>{false, false, false}));
  EXPECT_EQ(f.session.Distance(1), "300");
  f.session.SetDetail(3, "auto");
  f.session.SetCell(1, 2, "999");
  s = f.session.SuggestDistances();
  EXPECT_TRUE(s.refusedAuto);
  EXPECT_EQ(f.session.Distance(1), "300");
  EXPECT_EQ(f.session.Distance(2), "700");
}

// The error a simplified LOD reports bounds the distance a sampled measure
// finds between each element's surfaces, as exported and in the LOD.
TEST(LodDetail, TheReportedErrorBoundsTheMeasuredOne) {
  for (const char* detail : {"50%", "10%", "auto"}) {
    SessionFixture f(2);
    ASSERT_EQ(f.Open(Plate()).status, OpenResult::Status::Opened);
    f.session.SetDistance(1, "20");
    f.session.SetScreenError(40);
    f.session.SetDetail(2, detail);
    const auto totals = f.session.Simplifications();
    ASSERT_EQ(totals.size(), 1u);
    const LodAssignment a = f.session.SimplifiedAssignment();
    const ShapeAnalysis& an = f.session.analysis;
    const auto meshes = ReadElementMeshes(
        f.session.lines, {an.elementVtxState, an.vtxStateMatrix, an.vertexSets, f.session.MatrixCount()});
    int measured = 0;
    for (int row = 1; row <= 3; ++row) {
      const std::vector<int32_t>* own = a.Triangles(2, row);
      ASSERT_NE(own, nullptr) << detail << " " << row;
      const ElementMesh& m = meshes[static_cast<std::size_t>(row)];
      auto local = [&](const std::vector<int32_t>& vertices) {
        std::vector<int32_t> out;
        for (int32_t v : vertices)
          out.push_back(
              static_cast<int32_t>(std::lower_bound(m.vertices.begin(), m.vertices.end(), v) - m.vertices.begin()));
        return out;
      };
      const double d = SampledHausdorff(m.positions, local(m.triangles), local(*own), 0.05);
      EXPECT_LE(d, totals[0].error + 1e-9) << detail << " " << row;
      measured += own->size() < m.triangles.size();
    }
    EXPECT_GT(measured, 0) << detail;
  }
}

TEST(LodDetail, AutoStaysWithinTheBudgetWhereTheLodIsFirstSeen) {
  SessionFixture f(3);
  ASSERT_EQ(f.Open(Plate()).status, OpenResult::Status::Opened);
  f.session.SetDistance(1, "100");
  f.session.SetDistance(2, "400");
  f.session.SetDetail(2, "auto");
  f.session.SetDetail(3, "auto");
  const auto totals = f.session.Simplifications();
  ASSERT_EQ(totals.size(), 2u);
  EXPECT_EQ(totals[0].distance, 100);
  EXPECT_EQ(totals[1].distance, 400);
  for (const LodSimplification& l : totals) {
    EXPECT_LE(l.error, PixelSizeAt(l.distance)) << l.lod;
    EXPECT_LT(l.trianglesAfter, l.trianglesBefore) << l.lod;  // the flat plate goes down to two triangles
  }
  EXPECT_LE(totals[1].trianglesAfter, totals[0].trianglesAfter);
  // Without its distance the budget cannot be judged.
  f.session.SetDistance(2, "");
  EXPECT_THROW(f.session.Simplifications(), Error);
}

// Generates LOD 2 at 50 % of the plate-and-boxes shape in a fresh session.
Lines GenerateHalf(GenerateResult* result = nullptr) {
  SessionFixture f(2);
  EXPECT_EQ(f.Open(Plate()).status, OpenResult::Status::Opened);
  f.session.SetDistance(1, "200");
  f.session.SetDetail(2, "50%");
  f.session.RefreshSubObjects(2);
  const int64_t shownFaces = *ParseInt32(f.session.Overview.Cell(grid::kOverviewFaces, 2));
  GenerateResult r = f.session.Generate({});
  EXPECT_EQ(r.status, GenerateResult::Status::Written) << (r.failure ? German(*r.failure) : "");
  EXPECT_EQ(r.simplified.size(), 1u);
  if (!r.simplified.empty()) {
    EXPECT_EQ(r.simplified[0].trianglesAfter, shownFaces);
  }
  if (result) *result = r;
  return f.session.lines;
}

TEST(LodDetail, AHalfDetailLodPassesTheStructuralCheckAndIsTheSameEveryTime) {
  GenerateResult r;
  const Lines first = GenerateHalf(&r);
  EXPECT_EQ(CheckShapeStructure(first), std::vector<std::string>{});
  EXPECT_TRUE(CheckShape(first).empty());
  ASSERT_EQ(r.simplified.size(), 1u);
  const LodSimplification& l = r.simplified[0];
  EXPECT_EQ(l.lod, 2);
  EXPECT_EQ(l.trianglesBefore, 128 + 12 + 12);
  EXPECT_LE(l.trianglesAfter, (l.trianglesBefore * 55) / 100);
  EXPECT_EQ(l.distance, 200);
  EXPECT_EQ(GenerateHalf(), first);
}

TEST(LodDetail, FullDetailEverywhereWritesWhatItAlwaysWrote) {
  SessionFixture plain(3), full(3);
  ASSERT_EQ(plain.Open(Plate()).status, OpenResult::Status::Opened);
  ASSERT_EQ(full.Open(Plate()).status, OpenResult::Status::Opened);
  for (int k = 1; k <= 3; ++k) full.session.SetDetail(k, "100%");
  full.session.SetScreenError(3);
  EXPECT_EQ(full.session.SimplifiedAssignment().triangles.size(), 0u);
  ASSERT_EQ(plain.session.Generate({}).status, GenerateResult::Status::Written);
  ASSERT_EQ(full.session.Generate({}).status, GenerateResult::Status::Written);
  EXPECT_EQ(full.session.lines, plain.session.lines);
  plain.session.SaveModelSettings(plain.dir.File("a.Lodsmith"));
  full.session.SaveModelSettings(full.dir.File("a.Lodsmith"));
  EXPECT_EQ(ReadBytes(full.dir.File("a.Lodsmith")), ReadBytes(plain.dir.File("a.Lodsmith")));
}

TEST(LodDetail, TheSettingsFileKeepsDetailsAndBudgetAndDropsThemAtFullDetail) {
  SessionFixture f(3);
  f.platform.decimalSeparator = ',';
  ASSERT_EQ(f.Open(Plate()).status, OpenResult::Status::Opened);
  const std::string path = f.dir.File("shape.Lodsmith");
  f.session.SaveModelSettings(path);
  const std::string before = ReadBytes(path);

  f.session.SetDetail(2, "40");
  f.session.SetDetail(3, "auto");
  f.session.SetScreenError(1.5);
  f.session.SaveModelSettings(path);
  const IniFile ini(path);
  EXPECT_EQ(ini.ReadString("Detail", "2", ""), "40%");
  EXPECT_EQ(ini.ReadString("Detail", "3", ""), "auto");
  EXPECT_EQ(ini.ReadString("Detail", "ScreenError", ""), "1.5");  // ours: "." whatever the system's

  SessionFixture g(1);
  g.platform.decimalSeparator = ',';
  ASSERT_EQ(g.Open(Plate()).status, OpenResult::Status::Opened);
  ASSERT_TRUE(g.session.LoadModelSettings(path, 1));
  EXPECT_EQ(g.session.lodCount, 3);
  EXPECT_EQ(g.session.Detail(2), (LodDetail{LodDetail::Kind::Percent, 40}));
  EXPECT_TRUE(g.session.Detail(3).IsAuto());
  EXPECT_EQ(g.session.screenError, 1.5);

  for (int k = 2; k <= 3; ++k) f.session.SetDetail(k, "100%");
  f.session.SaveModelSettings(path);
  EXPECT_EQ(ReadBytes(path), before);
}

TEST(LodDetail, AHandEditedSectionReadsAsTheDefaults) {
  SessionFixture f(3);
  ASSERT_EQ(f.Open(Plate()).status, OpenResult::Status::Opened);
  const std::string path = f.dir.File("shape.Lodsmith");
  f.session.SetDetail(2, "30%");
  f.session.SaveModelSettings(path);
  {
    IniFile ini(path);
    ini.WriteString("Detail", "1", "auto");  // LOD 1 is seen from 0 m
    ini.WriteString("Detail", "2", "0%");
    ini.WriteString("Detail", "ScreenError", "-2");
  }
  ASSERT_TRUE(f.session.LoadModelSettings(path, 1));
  EXPECT_FALSE(f.session.AnyLodSimplified());
  EXPECT_EQ(f.session.screenError, kDefaultScreenError);
}

// The print-out's texts, line by line, without the page headers (they
// hold the time).
std::vector<std::string> ListingTexts(const Session& s) {
  std::vector<std::string> out;
  for (const PrintPage& page : s.ListingPages(277, [](const Message& m) { return German(m); }))
    for (const PrintTextLine& line : page.lines)
      if (line.text.find(" Seite ") == std::string::npos) out.push_back(line.text);
  return out;
}

TEST(LodDetail, ThePrintOutListsTheDetailsOnlyWhileALodIsBelowFull) {
  SessionFixture f(3);
  ASSERT_EQ(f.Open(Plate()).status, OpenResult::Status::Opened);
  const std::vector<std::string> full = ListingTexts(f.session);
  f.session.SetDetail(3, "auto");
  f.session.SetScreenError(1.5);
  std::vector<std::string> simplified = ListingTexts(f.session);
  const auto title = std::find(simplified.begin(), simplified.end(), "Detailgrad (Bildschirmfehler 1,5 Pixel)");
  ASSERT_NE(title, simplified.end());
  // The title, the columns and one line per LOD, after the LODs' section.
  ASSERT_GE(simplified.end() - title, 5);
  EXPECT_EQ(title[1], "  Nr.   Detailgrad");
  EXPECT_EQ(title[2], "    1         100%");
  EXPECT_EQ(title[4], "    3         auto");
  simplified.erase(title, title + 5);
  EXPECT_EQ(simplified, full);
  f.session.SetDetail(3, "100%");
  EXPECT_EQ(ListingTexts(f.session), full);
}

// ---- The window: the detail grid// ---- The window: the detail grid, the budget, the button and the preview
// -----------

struct DetailWindow {
  FormFixture f;
  TLSForm& form;
  DetailWindow() : form(*f.form) {
    f.Open(f.WriteShape("plate.s", Plate()));
    form.SetLODAnzSpinEditValue(3);
    form.LODAnzSpinEditExit();
    form.RefreshSubObjectGrid();
    f.platform.Clear();
  }
  int Faces(int lod) const { return std::stoi(form.StringGrid5.Cell(grid::kOverviewFaces, lod)); }
};

TEST(DetailWindow, CellsRecountTheLodsAndRefusalsNameTheLod) {
  DetailWindow w;
  TLSForm& form = w.form;
  const int full = w.Faces(2);
  form.DetailGridSetEditText(1, 2, "50");
  EXPECT_TRUE(w.f.platform.messages.empty());
  EXPECT_EQ(form.DetailGrid.Cell(1, 2), "50%");
  EXPECT_LT(w.Faces(2), full);
  EXPECT_EQ(w.Faces(1), full);

  struct Case {
    int lod;
    const char* text;
    const char* named;  // what the warning must contain
  };
  for (const Case& c : {Case{3, "half", "LOD 3"}, Case{1, "auto", "LOD 1"}}) {
    w.f.platform.Clear();
    ASSERT_TRUE(form.Dispatch([&] { form.DetailGridSetEditText(1, c.lod, c.text); }));
    ASSERT_EQ(w.f.platform.messages.size(), 1u) << c.text;
    EXPECT_EQ(w.f.platform.messages[0].kind, MsgKind::Warning);
    EXPECT_NE(w.f.platform.Texts()[0].find(c.named), std::string::npos) << w.f.platform.Texts()[0];
    EXPECT_EQ(form.DetailGrid.Cell(1, c.lod), "100%") << c.text;
  }
  // Back at full detail the overview counts the "Faces" cells again.
  form.DetailGridSetEditText(1, 2, "100%");
  EXPECT_EQ(w.Faces(2), full);
}

TEST(DetailWindow, TheBudgetTakesEitherSeparatorAndRefusesWhatIsNoPositiveNumber) {
  DetailWindow w;
  TLSForm& form = w.form;
  EXPECT_EQ(form.ScreenErrorEdit.Text, "1");
  struct Case {
    const char* text;
    double budget;  // after the exit; 0: refused, the budget as before
  };
  for (const Case& c : {Case{"2,5", 2.5}, Case{"0.5", 0.5}, Case{"0", 0}, Case{"-1", 0}, Case{"abc", 0}}) {
    w.f.platform.Clear();
    const double before = form.session.screenError;
    form.ScreenErrorEdit.Text = c.text;
    form.Dispatch([&] { form.ScreenErrorEditExit(); });
    EXPECT_EQ(form.session.screenError, c.budget > 0 ? c.budget : before) << c.text;
    EXPECT_EQ(w.f.platform.messages.size(), c.budget > 0 ? 0u : 1u) << c.text;
    if (c.budget == 0) {
      ASSERT_FALSE(w.f.platform.focusRequests.empty());
      EXPECT_EQ(w.f.platform.focusRequests.back(), "ScreenErrorEdit") << c.text;
    }
  }
}

TEST(DetailWindow, SuggestingMovesTheDistancesUnlessALodIsAuto) {
  DetailWindow w;
  TLSForm& form = w.form;
  form.StringGrid4SetEditText(1, 1, "5");
  form.StringGrid4SetEditText(1, 2, "10");
  form.DetailGridSetEditText(1, 2, "20%");
  form.DetailGridSetEditText(1, 3, "auto");
  w.f.platform.Clear();
  form.Dispatch([&] { form.SuggestButtonClick(); });
  EXPECT_EQ(w.f.platform.messages.size(), 1u);
  EXPECT_EQ(form.StringGrid4.Cell(1, 1), "5");

  form.DetailGridSetEditText(1, 3, "10%");
  w.f.platform.Clear();
  form.Dispatch([&] { form.SuggestButtonClick(); });
  EXPECT_TRUE(w.f.platform.messages.empty());
  // LOD 2 keeps a fifth of the plate: its error pushes LOD 1's distance out,
  // and the overview shows the same.
  EXPECT_NE(form.StringGrid4.Cell(1, 1), "5");
  EXPECT_EQ(form.StringGrid5.Cell(grid::kOverviewDistance, 1), form.StringGrid4.Cell(1, 1));
}

TEST(DetailWindow, AsFirstSeenLooksFromTheLodsBeforeIt) {
  DetailWindow w;
  TLSForm& form = w.form;
  form.StringGrid4SetEditText(1, 1, "40");
  form.StringGrid4SetEditText(1, 2, "90");
  form.DetailGridSetEditText(1, 3, "30%");
  form.PreviewAsSeenClick(true);
  form.PreviewAsFirstSeenClick(true);
  EXPECT_FALSE(form.Preview.AsSeen);
  form.Preview.LodSpinEdit.Value = 3;
  const PreviewFrame f = form.RenderPreview(160, 120);
  EXPECT_EQ(f.distance, 90);
  EXPECT_NE(form.Preview.StatusText.find("90 m"), std::string::npos) << form.Preview.StatusText;
  EXPECT_NE(form.Preview.StatusText.find(std::to_string(f.shownTriangles)), std::string::npos);
  // LOD 1 is seen from 0 m: the status says so and nothing is drawn.
  form.Preview.LodSpinEdit.Value = 1;
  EXPECT_EQ(form.RenderPreview(160, 120).shownTriangles, 0);
  EXPECT_NE(form.Preview.StatusText.find("0 m"), std::string::npos) << form.Preview.StatusText;
}

}  // namespace
}  // namespace lodsmith::test
