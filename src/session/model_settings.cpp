// The per-model settings file (".Lodsmith" beside the shape): an INI file in
// the system's ANSI code page with the sections
//   [Delta]     Points, Normals: the tolerances (the system's decimal separator)
//   [SONR_Lk]   1..elements: the cell of each element row in LOD k
//   [SOSORT_Lk] 1..sub-objects: the sort mark of each sub-object in LOD k
//   [ANIM]      1..matrices: the animation mark of each matrix row
//   [LODs]      Anzahl: the LOD count; 1..count: the distances
//   [Detail]    1..count: the detail of each LOD ("100%", "N%", "auto");
//               ScreenError: the budget in pixels, written with "." whatever
//               the system's separator. Only while some LOD is below 100 %:
//               a file without it means 100 % everywhere, and saving at
//               100 % removes it, so that such a file stays as it always was.
// Files of the older layout keep LOD 1 in [SONR] and [SOSORT].
#include <algorithm>

#include "core/grid_columns.h"
#include "platform/ini_file.h"
#include "session/lod_rules.h"
#include "session/session.h"

namespace lodsmith {

using namespace grid;

namespace {
const char* const kDetailSection = "Detail";
const char* const kScreenErrorKey = "ScreenError";
}  // namespace

void Session::SaveModelSettings(const std::string& path) const {
  IniFile ini(path);
  // Thousands of keys: one write to disk at the end instead of one per key.
  IniFile::BatchUpdate batch(ini);
  const char sep = platform_.DecimalSeparator();
  ini.WriteFloat("Delta", "Points", pointTolerance, sep);
  ini.WriteFloat("Delta", "Normals", normalTolerance, sep);
  for (int k = 1; k <= lodCount; ++k) {
    const std::string numbers = "SONR_L" + std::to_string(k);
    const std::string marks = "SOSORT_L" + std::to_string(k);
    ini.EraseSection(numbers);
    ini.EraseSection(marks);
    for (int r = 1; r < Elements.RowCount(); ++r) ini.WriteString(numbers, std::to_string(r), Cell(r, k));
    for (int r = 1; r < SubObjects.RowCount(); ++r)
      ini.WriteString(marks, std::to_string(r), SubObjects.Cell(SubObjectSortColumn(k), r));
  }
  ini.EraseSection("ANIM");
  for (int r = 1; r < Matrices.RowCount(); ++r)
    ini.WriteString("ANIM", std::to_string(r), Matrices.Cell(kMatrixAnimated, r));
  ini.EraseSection("LODs");
  ini.WriteInteger("LODs", "Anzahl", lodCount);
  for (int r = 1; r <= lodCount; ++r) ini.WriteString("LODs", std::to_string(r), Distance(r));
  ini.EraseSection(kDetailSection);
  if (AnyLodSimplified()) {
    for (int k = 1; k <= lodCount; ++k) ini.WriteString(kDetailSection, std::to_string(k), DetailText(Detail(k)));
    ini.WriteString(kDetailSection, kScreenErrorKey, FormatGeneral(screenError, '.'));
  }
  batch.Commit();
}

namespace {

// The details and the budget; a value that does not read is the default.
void ReadDetails(const IniFile& ini, Session& s) {
  for (int k = 1; k <= s.lodCount; ++k) {
    const auto d = ReadDetail(ini.ReadString(kDetailSection, std::to_string(k), ""));
    s.Details.SetCell(1, k, DetailText(d && !(k == 1 && d->IsAuto()) ? *d : LodDetail{}));
  }
  const auto budget = ParseFloat(ini.ReadString(kDetailSection, kScreenErrorKey, ""), '.');
  s.screenError =
      budget && ValidScreenError(static_cast<double>(*budget)) ? static_cast<double>(*budget) : kDefaultScreenError;
}

// A cell of LOD `lod`, the older layout's section for LOD 1 beside it.
std::string ReadLodEntry(const IniFile& ini, const char* prefix, const char* older, int lod, int row,
                         const std::string& fallback) {
  const std::string section = prefix + std::to_string(lod);
  const std::string key = std::to_string(row);
  if (lod != 1) return ini.ReadString(section, key, fallback);
  std::string v = ini.ReadString(section, key, "-1");
  return v == "-1" ? ini.ReadString(older, key, fallback) : v;
}

}  // namespace

std::optional<int> Session::LoadModelSettings(const std::string& path, int verticesLod) {
  if (path.empty() || !platform_.FileExists(path)) return std::nullopt;
  const IniFile ini(path);

  const char sep = platform_.DecimalSeparator();
  // A value no double can hold was not written by us; read it as missing.
  auto tolerance = [&](const char* key) {
    const long double v = ini.ReadFloat("Delta", key, 0, sep);
    return FitsDouble(v) ? v : 0;
  };
  pointTolerance = tolerance("Points");
  normalTolerance = tolerance("Normals");

  // The count is held to what the window allows, so that the distance rows
  // set here agree with the LOD count committed.
  const int d = std::min(ini.ReadInteger("LODs", "Anzahl", 0), kMaxLods);
  if (d > 0) {
    Distances.SetRowCount(d + 1);
    Overview.SetRowCount(d + 1);
    for (int k = 1; k <= d; ++k) {
      const std::string distance = SaneDistance(ini.ReadString("LODs", std::to_string(k), kDefaultDistance));
      Distances.SetCell(kDistanceLod, k, std::to_string(k));
      Distances.SetCell(kDistance, k, distance);
      Overview.SetCell(kOverviewLod, k, std::to_string(k));
      Overview.SetCell(kOverviewDistance, k, distance);
    }
    ResizeDistances(d);
    CommitLodCount(d);
  }

  for (int k = 1; k <= lodCount; ++k)
    for (int r = 1; r < Elements.RowCount(); ++r) {
      std::string v = ReadLodEntry(ini, "SONR_L", "SONR", k, r, "1");
      Elements.SetCell(ElementLodColumn(k), r, ParseInt32(v) ? v : "1");
    }
  ReadDetails(ini, *this);

  RefreshSubObjects(verticesLod);

  for (int k = 1; k <= lodCount; ++k)
    for (int r = 1; r < SubObjects.RowCount(); ++r)
      SubObjects.SetCell(SubObjectSortColumn(k), r, ReadLodEntry(ini, "SOSORT_L", "SOSORT", k, r, ""));

  for (int r = 1; r < Matrices.RowCount(); ++r)
    Matrices.SetCell(kMatrixAnimated, r, ini.ReadString("ANIM", std::to_string(r), ""));
  return std::max(d, 0);
}

}  // namespace lodsmith
