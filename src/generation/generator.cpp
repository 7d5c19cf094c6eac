#include "generation/generator.h"

#include <algorithm>

#include "document/shape_check.h"
#include "generation/vertex_estimate.h"

namespace lodsmith {

std::string EmptyLodText(int lod) {
  return "LOD " + std::to_string(lod) + " ist leer oder ein leeres " +
         "Subobjekt liegt vor nicht-leeren Subobjekten. Dies würde zum Absturz " +
         "des Simulators führen. Abbruch der Aktion.";
}

std::string SubObjectProgressText(int lod, int subObject) {
  return std::to_string(lod) + ". LOD " + std::to_string(subObject) + ". Subobjekt...";
}

std::optional<TemplateLocation> LocateTemplateLines(Lines& lines, const StringGrid& elements) {
  if (lines.empty()) return std::nullopt;
  for (int r = 1; r < elements.RowCount(); ++r)
    if (!ParseInt32(elements.Cell(3, r))) return std::nullopt;

  SearchResult sv = Search(lines, 1, "sort_vectors");
  if (!sv.found) return std::nullopt;
  int32_t splitLine = -1;
  std::string before;
  std::string& svLine = lines[sv.line];
  if (auto close = svLine.find(')'); close != std::string::npos) {
    // A header that opens and closes on one line ("sort_vectors ( 0 )") gets
    // its ")" on a line of its own, so that vectors can follow the header.
    // At most 255 characters go, as the line editor of the format allows.
    splitLine = sv.line;
    before = svLine;
    svLine.erase(close, std::min<std::size_t>(255, svLine.size() - close));
    lines.insert(lines.begin() + sv.line + 1, "\t)");
  }

  TemplateLocation loc;
  loc.SplitSortVectorsLine = splitLine;
  loc.SortVectorsLineBefore = std::move(before);
  SearchResult so = Search(lines, sv.line + 1, "sub_object ");
  if (!so.found) return std::nullopt;
  loc.FirstSubObjectLine = so.line;

  SearchResult vt = Search(lines, so.line + 1, "vertices");
  if (!vt.found) return std::nullopt;
  loc.VerticesLine = vt.line;

  // The last "flags" up to the next sub-object (or the end) is the flags
  // list of the last primitive; its ")" line is followed by the closing
  // lines of the triangle list, of primitives and of the sub-object.
  SearchResult next = Search(lines, vt.line + 1, "sub_object ");
  if (next.line < 0) return std::nullopt;
  int lastFlags = -1;
  for (int i = vt.line + 1; i <= next.line; ++i)
    if (Contains(lines[i], "flags")) lastFlags = i;
  if (lastFlags < 0) return std::nullopt;
  SearchResult close = Search(lines, lastFlags, ")");
  loc.SubObjectEndLine = close.line + 3;
  return loc;
}

void UndoTemplateNormalisation(Lines& lines, const TemplateLocation& loc) {
  const int32_t k = loc.SplitSortVectorsLine;
  if (k < 0 || k + 1 >= static_cast<int32_t>(lines.size())) return;
  lines[k] = loc.SortVectorsLineBefore;
  lines.erase(lines.begin() + k + 1);
}

LodPlan PlanLods(const GenerationInput& in) {
  LodPlan plan;
  plan.LodSubObjectCount.assign(static_cast<std::size_t>(std::max(in.LodCount, 0)) + 1, 0);
  std::vector<TVertexSetEntry> sets = in.VertexSets;
  const int subObjectRows = in.SubObjects.RowCount() - 1;
  for (int lod = 1; lod <= in.LodCount; ++lod) {
    int32_t previous = 1;
    int32_t& count = plan.LodSubObjectCount[lod];
    // A sub-object grid without data rows would give the LOD no sub-object
    // at all: that is an empty LOD as well.
    if (subObjectRows < 1) {
      plan.EmptyLod = lod;
      return plan;
    }
    for (int s = 1; s <= subObjectRows; ++s) {
      int32_t v;
      try {
        v = EstimateVertexSets(in.Elements, lod, s, in.ElementVtxState, sets, in.VertexSetCount);
      } catch (const std::runtime_error& e) {
        throw GenerationError(GenerationFailure::Refused, e.what());
      }
      if (v > 0) {
        ++count;
        if (FoldCase(in.SubObjects.Cell(lod + 1, s)) == "x") ++plan.SortedCount;
      }
      if ((s == 1 && v == 0) || (previous == 0 && v > 0)) {
        plan.EmptyLod = lod;
        return plan;
      }
      previous = v;
    }
  }
  return plan;
}

Generator::Generator(const Lines& oldLines, const GenerationInput& in, const TemplateLocation& loc,
                     const LodPlan& plan, GenerationProgress progress)
    : old_(oldLines), in_(in), progress_(std::move(progress)) {
  FirstSubObjectLine = loc.FirstSubObjectLine;
  VerticesLine = loc.VerticesLine;
  SubObjectEndLine = loc.SubObjectEndLine;
  SortedCount = plan.SortedCount;
  LodSubObjectCount = plan.LodSubObjectCount;
  LodSubObjectCount.resize(std::max<std::size_t>(LodSubObjectCount.size(), static_cast<std::size_t>(in.LodCount) + 1),
                           0);
  VertexSets = in.VertexSets;
  MatrixUse.assign(static_cast<std::size_t>(std::max(in.MatrixCount, 0)), TMatrixUse{});
  for (int32_t i = FirstSubObjectLine; i < static_cast<int32_t>(old_.size()); ++i)
    if (Contains(old_[i], "prim_state_idx")) primitiveLines_.push_back(i);
}

const std::string& Generator::At(int64_t index) const {
  if (index < 0 || index >= static_cast<int64_t>(old_.size()))
    throw GenerationError(GenerationFailure::Refused,
                          "Die Datei endet unerwartet (Zeile " + std::to_string(index + 1) +
                              " fehlt). Abbruch der Aktion.");
  return old_[static_cast<std::size_t>(index)];
}

int32_t Generator::NextPrimitiveLine(int32_t from) const {
  auto it = std::lower_bound(primitiveLines_.begin(), primitiveLines_.end(), from);
  if (it != primitiveLines_.end()) return *it;
  return static_cast<int32_t>(old_.size()) - 1;
}

Lines Generator::Run() {
  out_.clear();
  // The output is at least as long as the template in the usual case (every
  // element written once per LOD); growth beyond that only moves strings.
  out_.reserve(old_.size() + 64);
  HeadCopy();
  LodLoop();
  TailCopy();
  return std::move(out_);
}

void Generator::HeadCopy() {
  int32_t q = 0;
  bool found = false;
  haveSortVectorSource_ = false;
  do {
    if (SortedCount > 0 && Contains(At(q), "volumes")) {
      std::string line = At(q);
      auto old = ParseInt32(ValueAfter(line, "volumes", 1));
      if (!old)
        throw GenerationError(GenerationFailure::Refused,
                              "Die Anzahl im volumes-Block (Zeile " + std::to_string(q + 1) +
                                  ") ist keine ganze Zahl. Abbruch der Aktion.");
      ReplaceValueAfter(line, "volumes", 1, std::to_string(int64_t{*old} + SortedCount));
      out_.push_back(std::move(line));
      ++q;
      const int32_t v = q;
      // The sorted sub-objects each get a copy of the first volume, placed
      // directly after it (volume indices 1 to SortedCount).
      for (int32_t k = 0; k <= SortedCount; ++k) {
        Append(v);
        Append(v + 1);
        Append(v + 2);
      }
      sortVectorSource_ = At(v + 1);
      haveSortVectorSource_ = true;
      q = v + 3;
    }
    if (SortedCount > 0 && Contains(At(q), "sort_vectors")) {
      if (!haveSortVectorSource_)
        throw GenerationError(GenerationFailure::Refused,
                              "Sortierte Subobjekte brauchen einen volumes-Block vor sort_vectors. Abbruch der Aktion.");
      std::string line = At(q);
      auto old = ParseInt32(ValueAfter(line, "sort_vectors", 1));
      if (!old)
        throw GenerationError(GenerationFailure::Refused,
                              "Die Anzahl in sort_vectors (Zeile " + std::to_string(q + 1) +
                                  ") ist keine ganze Zahl. Abbruch der Aktion.");
      ReplaceValueAfter(line, "sort_vectors", 1, std::to_string(int64_t{*old} + SortedCount));
      out_.push_back(std::move(line));
      ++q;
      // The sort vector is the centre of the first volume: its line without
      // the radius that follows the vector's ")".
      std::string vec = sortVectorSource_;
      while (!vec.empty() && vec.back() != ')') vec.pop_back();
      if (vec.empty())
        throw GenerationError(GenerationFailure::Refused,
                              "Der erste Eintrag im volumes-Block enthält keinen Vektor. Abbruch der Aktion.");
      for (int32_t k = 0; k < SortedCount; ++k) out_.push_back(vec);
    }
    if (Contains(At(q), "distance_levels ")) {
      std::string line = At(q);
      ReplaceValueAfter(line, "distance_levels", 1, std::to_string(in_.LodCount));
      out_.push_back(std::move(line));
      ++q;
      LevelsBodyLine = q;
      found = true;
    }
    if (!found) Append(q);
    ++q;
  } while (!found && q < FirstSubObjectLine);
  if (!found) throw GenerationError(GenerationFailure::LodNotFound, kLodNotFoundText);
  if (SortedCount > 0 && !haveSortVectorSource_)
    throw GenerationError(GenerationFailure::Refused,
                          "Sortierte Subobjekte brauchen einen volumes-Block vor sort_vectors. Abbruch der Aktion.");
}

void Generator::LodLoop() {
  SortedIndex = 0;
  for (int32_t lod = 1; lod <= in_.LodCount; ++lod) {
    CurrentLod = lod;
    int32_t q = LevelsBodyLine;
    while (q < FirstSubObjectLine) {
      if (Contains(At(q), "dlevel_selection")) {
        std::string line = At(q);
        ReplaceValueAfter(line, "dlevel_selection", 1, in_.Distances.Cell(1, lod));
        out_.push_back(std::move(line));
        ++q;
      }
      if (Contains(At(q), "sub_objects")) {
        std::string line = At(q);
        ReplaceValueAfter(line, "sub_objects", 1, std::to_string(LodSubObjectCount[lod]));
        out_.push_back(std::move(line));
        ++q;
      }
      if (q < FirstSubObjectLine) Append(q);
      ++q;
    }
    for (int32_t s = 1; s <= LodSubObjectCount[lod]; ++s) {
      CurrentSubObject = s;
      WriteSubObject();
    }
    Append(int64_t{SubObjectEndLine} + 1);
    Append(int64_t{SubObjectEndLine} + 2);
  }
}

void Generator::TailCopy() {
  const int64_t last = static_cast<int64_t>(old_.size()) - 1;
  int64_t q = int64_t{SubObjectEndLine} + 3;
  do {
    Append(q);
    ++q;
  } while (q <= last);
}

void CheckWrittenShape(const Lines& templateLines, const Lines& written) {
  // The written shape is checked first: it is sound in all but broken
  // cases, and then the template need not be read a second time.
  const std::vector<ShapeProblem> after = CheckShape(written);
  if (after.empty()) return;
  if (auto added = FirstNewProblem(CheckShape(templateLines), after))
    throw Error(RefusedRewriteMessage(*added));
}

Lines GenerateShape(const Lines& document, const GenerationInput& in, GenerationProgress progress) {
  Lines oldLines = document;
  auto loc = LocateTemplateLines(oldLines, in.Elements);
  if (!loc) throw GenerationError(GenerationFailure::TemplateNotFound, kGeneralErrorText);
  CheckTemplate(oldLines, *loc, in);
  LodPlan plan = PlanLods(in);
  if (plan.EmptyLod > 0)
    throw GenerationError(GenerationFailure::EmptyLod, EmptyLodText(plan.EmptyLod), plan.EmptyLod);
  if (plan.SortedCount > 0) CheckSortedTemplate(oldLines, *loc);
  Generator gen(oldLines, in, *loc, plan, std::move(progress));
  Lines written = gen.Run();
  CheckWrittenShape(oldLines, written);
  return written;
}

}  // namespace lodsmith
