#include "cli/report.h"

#include <cstdio>

#include "core/grid_columns.h"
#include "core/text.h"
#include "generation/lod_assignment.h"

namespace lodsmith {

namespace {

// A code unit as a JSON escape, "\u00XX".
void AppendUnitEscape(std::string& r, unsigned unit) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "\\u%04x", unit);
  r += buf;
}

}  // namespace

std::string MillimetreText(double metres) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", metres * 1000);
  return text;
}

// Names keep every UTF-16 code unit of the shape, a lone surrogate too
// (held in its own 3-byte form, which is no valid UTF-8): text goes out as
// UTF-8, a lone surrogate as its escape, so that strict readers take the
// report and read the name back unchanged.
std::string JsonEscape(const std::string& s) {
  std::u16string units;
  AppendUtf8AsUtf16(units, s);
  std::string r;
  r.reserve(s.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t c = units[i];
    const bool high = c >= 0xD800 && c <= 0xDBFF, low = c >= 0xDC00 && c <= 0xDFFF;
    if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      AppendUtf16AsUtf8(r, &units[i], 2);
      ++i;
      continue;
    }
    if (high || low) {
      AppendUnitEscape(r, c);
      continue;
    }
    switch (c) {
      case '"': r += "\\\""; break;
      case '\\': r += "\\\\"; break;
      case '\n': r += "\\n"; break;
      case '\r': r += "\\r"; break;
      case '\t': r += "\\t"; break;
      default:
        if (c < 0x20)
          AppendUnitEscape(r, c);
        else
          AppendUtf16AsUtf8(r, &c, 1);
    }
  }
  return r;
}

namespace {

struct NamedGrid {
  const char* name;
  const StringGrid* grid;
};

std::vector<NamedGrid> Grids(const Session& s) {
  return {{"StringGrid1", &s.Elements},
          {"StringGrid2", &s.SubObjects},
          {"StringGrid3", &s.Matrices},
          {"StringGrid4", &s.Distances},
          {"StringGrid5", &s.Overview}};
}

std::string Quoted(const std::string& text) { return "\"" + JsonEscape(text) + "\""; }

// A number the text holds, or null.
std::string NumberOrNull(const std::string& text) {
  auto v = ParseInt32(text);
  return v ? std::to_string(*v) : "null";
}

// The model in its own terms: every element with its cell in each LOD, the
// matrices with their animation mark, each LOD with its distance, faces and
// sub-objects (their sort marks and the element rows each one draws).
void PrintModel(std::ostream& out, const Session& s) {
  out << ", \"model\": {\"elements\": [";
  for (int r = 1; r <= s.ElementCount(); ++r) {
    out << (r > 1 ? ", " : "") << "{\"row\": " << r << ", \"name\": " << Quoted(s.ElementName(r))
        << ", \"image\": " << Quoted(s.Elements.Cell(grid::kElementImage, r))
        << ", \"faces\": " << NumberOrNull(s.Elements.Cell(grid::kElementFaces, r)) << ", \"lods\": [";
    for (int k = 1; k <= s.lodCount; ++k) out << (k > 1 ? ", " : "") << Quoted(s.Cell(r, k));
    out << "]}";
  }
  out << "], \"matrices\": [";
  for (int r = 1; r <= s.MatrixCount(); ++r)
    out << (r > 1 ? ", " : "") << "{\"row\": " << r << ", \"name\": " << Quoted(s.Matrices.Cell(grid::kMatrixName, r))
        << ", \"faces\": " << NumberOrNull(s.Matrices.Cell(grid::kMatrixFaces, r))
        << ", \"animated\": " << (s.AnimationMarked(r) ? "true" : "false") << "}";
  out << "], \"lods\": [";
  const bool simplified = s.AnyLodSimplified();
  for (int k = 1; k <= s.lodCount; ++k) {
    out << (k > 1 ? ", " : "") << "{\"lod\": " << k << ", \"distance\": " << NumberOrNull(s.Distance(k));
    // The detail only while some LOD is below 100 %: the block stays as it
    // was for every shape without simplified LODs.
    if (simplified) out << ", \"detail\": " << Quoted(DetailText(s.Detail(k)));
    out << ", \"faces\": " << NumberOrNull(s.Overview.Cell(grid::kOverviewFaces, k)) << ", \"subObjects\": [";
    for (int so = 1; so <= s.SubObjectCount(); ++so) {
      out << (so > 1 ? ", " : "") << "{\"number\": " << so
          << ", \"sorted\": " << (s.SortMarked(k, so) ? "true" : "false") << ", \"elements\": [";
      bool first = true;
      for (int r = 1; r <= s.ElementCount(); ++r)
        if (AssignmentCell::Read(s.Cell(r, k)).Places(so)) {
          out << (first ? "" : ", ") << r;
          first = false;
        }
      out << "]}";
    }
    out << "]}";
  }
  out << "]";
  if (simplified) out << ", \"screenError\": " << FormatGeneral(s.screenError, '.');
  out << ", \"pointTolerance\": " << Quoted(FormatGeneral(s.pointTolerance, '.'))
      << ", \"normalTolerance\": " << Quoted(FormatGeneral(s.normalTolerance, '.')) << "}";
}

}  // namespace

namespace {

// The simplified LODs of a generation, as the done lines tell them.
void PrintSimplified(std::ostream& out, const std::vector<LodSimplification>& lods) {
  out << ", \"simplified\": [";
  for (std::size_t i = 0; i < lods.size(); ++i) {
    const LodSimplification& l = lods[i];
    out << (i ? ", " : "") << "{\"lod\": " << l.lod << ", \"detail\": \"" << DetailText(l.detail)
        << "\", \"trianglesBefore\": " << l.trianglesBefore << ", \"trianglesAfter\": " << l.trianglesAfter
        << ", \"errorMm\": " << MillimetreText(l.error) << ", \"distance\": " << FormatGeneral(l.distance, '.')
        << ", \"stoppedEarly\": " << (l.stoppedEarly ? "true" : "false") << "}";
  }
  out << "]";
}

void PrintAction(std::ostream& out, const ReportAction& a) {
  out << "{\"action\": \"" << JsonEscape(a.option) << "\", \"outcome\": \"" << a.outcome << "\", \"text\": \""
      << JsonEscape(a.text) << "\"";
  const ActionResult& r = a.result;
  switch (r.kind) {
    case ActionResult::Kind::PointsMerged:
    case ActionResult::Kind::NormalsMerged:
      out << ", \"merged\": " << r.merged << ", \"entries\": " << r.entries;
      break;
    case ActionResult::Kind::Generated:
      out << ", \"subObjectsPerLod\": [";
      for (std::size_t i = 0; i < r.subObjectsPerLod.size(); ++i) out << (i ? ", " : "") << r.subObjectsPerLod[i];
      out << "]";
      if (!r.simplified.empty()) PrintSimplified(out, r.simplified);
      break;
    case ActionResult::Kind::MaterialsFixed:
      out << ", \"materialsExchanged\": " << r.exchanged << ", \"flagsCorrected\": " << r.flagsLowered;
      break;
    case ActionResult::Kind::AnimationsStripped:
      out << ", \"nodesStripped\": " << r.stripped << ", \"linesDeleted\": " << r.linesDeleted;
      break;
    case ActionResult::Kind::None: break;
  }
  out << "}";
}

}  // namespace

void PrintReport(std::ostream& out, const Session& form, const std::vector<CliMessage>& messages,
                 const std::string& format, const ReportExtras* extras) {
  if (format == "tsv") {
    for (const auto& g : Grids(form)) {
      out << "# " << g.name << "\n";
      for (int r = 0; r < g.grid->RowCount(); ++r) {
        for (int c = 0; c < g.grid->ColCount(); ++c) {
          if (c) out << '\t';
          out << g.grid->Cell(c, r);
        }
        out << "\n";
      }
      out << "\n";
    }
    out << "# messages\n";
    for (const auto& m : messages) out << MsgKindName(m.kind) << '\t' << m.text << "\n";
    out << "\n# lines\t" << form.lines.size() << "\n# changed\t" << (form.changed ? "true" : "false") << "\n";
    return;
  }
  out << "{\"grids\": {";
  bool firstGrid = true;
  for (const auto& g : Grids(form)) {
    out << (firstGrid ? "" : ", ") << "\"" << g.name << "\": [";
    firstGrid = false;
    for (int r = 0; r < g.grid->RowCount(); ++r) {
      out << (r ? ", " : "") << "[";
      for (int c = 0; c < g.grid->ColCount(); ++c)
        out << (c ? ", " : "") << "\"" << JsonEscape(g.grid->Cell(c, r)) << "\"";
      out << "]";
    }
    out << "]";
  }
  out << "}, \"messages\": [";
  for (std::size_t i = 0; i < messages.size(); ++i)
    out << (i ? ", " : "") << "{\"kind\": \"" << MsgKindName(messages[i].kind) << "\", \"text\": \""
        << JsonEscape(messages[i].text) << "\"}";
  out << "], \"lines\": " << form.lines.size() << ", \"changed\": " << (form.changed ? "true" : "false");
  if (extras) {
    out << ", \"shape\": \"" << JsonEscape(extras->shape) << "\", \"outcome\": \"" << extras->outcome
        << "\", \"actions\": [";
    for (std::size_t i = 0; i < extras->actions.size(); ++i) {
      if (i) out << ", ";
      PrintAction(out, extras->actions[i]);
    }
    out << "], \"notes\": [";
    for (std::size_t i = 0; i < extras->notes.size(); ++i)
      out << (i ? ", " : "") << "\"" << JsonEscape(extras->notes[i]) << "\"";
    out << "]";
  }
  PrintModel(out, form);
  out << "}\n";
}

}  // namespace lodsmith
