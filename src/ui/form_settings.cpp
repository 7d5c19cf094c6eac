// Per-model settings file and the three settings buttons.
#include <algorithm>

#include "core/file_io.h"
#include "core/grid_columns.h"
#include "ui/distance.h"
#include "ui/tlsform.h"
#include "ui/ui_messages.h"

namespace lodsmith {

using namespace grid;

namespace {

// The settings buttons overwrite without a second question once confirmed.
bool Confirmed(TLSForm& form, UiMsg question) {
  if (form.ShowMessage(MsgKind::Confirmation, MsgButtons::YesNo, Message(question)) == MsgResult::Yes) return true;
  form.LastOutcome = Outcome::Cancelled;
  return false;
}

}  // namespace

void TLSForm::SaveModelSettings() {
  // Without an open shape there is no model to keep settings for (the name
  // rule would give a bare ".Lodsmith" in whatever folder is current).
  if (FileName.empty()) return;
  IniFile ini(ModelSettingsFileName());
  // Thousands of keys: one write to disk at the end instead of one per key.
  IniFile::BatchUpdate batch(ini);
  const char sep = platform().DecimalSeparator();
  ini.WriteFloat("Delta", "Points", PointTolerance, sep);
  ini.WriteFloat("Delta", "Normals", NormalTolerance, sep);
  for (int k = 1; k <= LodCount; ++k) {
    const std::string numbers = "SONR_L" + std::to_string(k);
    const std::string marks = "SOSORT_L" + std::to_string(k);
    ini.EraseSection(numbers);
    ini.EraseSection(marks);
    for (int r = 1; r < StringGrid1.RowCount(); ++r)
      ini.WriteString(numbers, std::to_string(r), StringGrid1.Cell(ElementLodColumn(k), r));
    for (int r = 1; r < StringGrid2.RowCount(); ++r)
      ini.WriteString(marks, std::to_string(r), StringGrid2.Cell(SubObjectSortColumn(k), r));
  }
  ini.EraseSection("ANIM");
  for (int r = 1; r < StringGrid3.RowCount(); ++r)
    ini.WriteString("ANIM", std::to_string(r), StringGrid3.Cell(kMatrixAnimated, r));
  ini.EraseSection("LODs");
  ini.WriteInteger("LODs", "Anzahl", LodCount);
  for (int r = 1; r <= LodCount; ++r) ini.WriteString("LODs", std::to_string(r), StringGrid4.Cell(kDistance, r));
  batch.Commit();
}

void TLSForm::LoadModelSettings() {
  std::string path = ModelSettingsOverride;
  if (path.empty()) {
    if (FileName.empty()) return;
    path = ModelSettingsFileName();
  }
  if (!platform().FileExists(path)) return;
  const IniFile ini(path);

  const char sep = platform().DecimalSeparator();
  // A value no double can hold was not written by us; read it as missing.
  auto tolerance = [&](const char* key) {
    const long double v = ini.ReadFloat("Delta", key, 0, sep);
    return FitsDouble(v) ? v : 0;
  };
  PointTolerance = tolerance("Points");
  DeltaPointsEdit.Text = FormatGeneral(PointTolerance, sep);
  NormalTolerance = tolerance("Normals");
  DeltaNormalsEdit.Text = FormatGeneral(NormalTolerance, sep);

  // The count is held to what the spin edit allows, so that the distance
  // rows set here agree with the LOD count it commits.
  const int d = std::min(ini.ReadInteger("LODs", "Anzahl", 0), LODAnzSpinEdit.MaxValue);
  if (d > 0) {
    LodCount = d;
    StringGrid4.SetRowCount(d + 1);
    StringGrid5.SetRowCount(d + 1);
    for (int k = 1; k <= d; ++k) {
      const std::string distance = SaneDistance(ini.ReadString("LODs", std::to_string(k), kDefaultDistance));
      StringGrid4.SetCell(kDistanceLod, k, std::to_string(k));
      StringGrid4.SetCell(kDistance, k, distance);
      StringGrid5.SetCell(kOverviewLod, k, std::to_string(k));
      StringGrid5.SetCell(kOverviewDistance, k, distance);
    }
    SetLODAnzSpinEditValue(d);
    LODAnzSpinEditExit();
  }

  for (int k = 1; k <= LodCount; ++k) {
    const std::string section = "SONR_L" + std::to_string(k);
    for (int r = 1; r < StringGrid1.RowCount(); ++r) {
      const std::string key = std::to_string(r);
      std::string v;
      if (k == 1) {
        // Files of the older layout keep LOD 1 in "SONR".
        v = ini.ReadString(section, key, "-1");
        if (v == "-1") v = ini.ReadString("SONR", key, "1");
      } else {
        v = ini.ReadString(section, key, "1");
      }
      if (!ParseInt32(v)) v = "1";
      StringGrid1.SetCell(ElementLodColumn(k), r, v);
    }
  }

  RefreshSubObjectGrid();

  for (int k = 1; k <= LodCount; ++k) {
    const std::string section = "SOSORT_L" + std::to_string(k);
    for (int r = 1; r < StringGrid2.RowCount(); ++r) {
      const std::string key = std::to_string(r);
      std::string v;
      if (k == 1) {
        v = ini.ReadString(section, key, "-1");
        if (v == "-1") v = ini.ReadString("SOSORT", key, "");
      } else {
        v = ini.ReadString(section, key, "");
      }
      StringGrid2.SetCell(SubObjectSortColumn(k), r, v);
    }
  }

  for (int r = 1; r < StringGrid3.RowCount(); ++r)
    StringGrid3.SetCell(kMatrixAnimated, r, ini.ReadString("ANIM", std::to_string(r), ""));
}

void TLSForm::GrundButtonClick() {
  if (!Confirmed(*this, UiMsg::OverwriteHere)) return;
  ApplyDefaultAssignment();
}

void TLSForm::E_SpeichernButtonClick() {
  if (!Confirmed(*this, UiMsg::OverwriteSaved)) return;
  SaveModelSettings();
}

void TLSForm::E_LadenButtonClick() {
  if (!Confirmed(*this, UiMsg::OverwriteHere)) return;
  LoadModelSettings();
}

}  // namespace lodsmith
