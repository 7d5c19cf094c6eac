// The vertices, vertex_sets and primitives of one output sub-object.
// Vertices are kept or dropped by whole vertex sets; the kept ones are
// renumbered by one shift per set (the vertices of the dropped sets before
// it), applied to the set's first vertex and to every index of its primitives.
#include <charconv>

#include "generation/generator.h"
#include "generation/vertex_estimate.h"

namespace lodsmith {

namespace {

[[noreturn]] void Refuse(const std::string& message) {
  throw GenerationError(GenerationFailure::Refused, message + " Abbruch der Aktion.");
}

void AppendNumber(std::string& out, int64_t value) {
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, res.ptr);
}

}  // namespace

void Generator::WriteVertexBlocks() {
  Progress(ProgressLabel::Stage, "Vertices...");
  int32_t vertexCount;
  try {
    vertexCount = EstimateVertexSets(in_.Elements, CurrentLod, CurrentSubObject, in_.ElementVtxState, VertexSets,
                                     in_.VertexSetCount);
  } catch (const std::runtime_error& e) {
    throw GenerationError(GenerationFailure::Refused, e.what());
  }
  const int32_t setCount = std::min<int32_t>(in_.VertexSetCount, static_cast<int32_t>(VertexSets.size()));
  const int32_t end = SubObjectEndLine - 1;  // the line that closes primitives
  auto within = [&](const char* what) {
    if (TemplateCursor >= end)
      Refuse(std::string("Im Subobjekt ab Zeile ") + std::to_string(FirstSubObjectLine + 1) + " fehlt " + what + ".");
  };

  while (!Contains(At(TemplateCursor), "vertices")) {
    ++TemplateCursor;
    within("der vertices-Block");
  }
  std::string line = At(TemplateCursor);
  ReplaceValueAfter(line, "vertices", 1, std::to_string(vertexCount));
  out_.push_back(std::move(line));
  ++TemplateCursor;

  for (int32_t i = 0; i < setCount; ++i) {
    const int64_t lines = 3 * int64_t{VertexSets[i].VertexCount};
    if (lines < 0 || TemplateCursor + lines >= end) Refuse("Die vertex_sets passen nicht zu den Vertices.");
    if (VertexSets[i].VertexShift != -1)
      out_.insert(out_.end(), old_.begin() + TemplateCursor, old_.begin() + TemplateCursor + lines);
    TemplateCursor += static_cast<int32_t>(lines);
  }

  do {
    Append(TemplateCursor);
    ++TemplateCursor;
    within("der vertex_sets-Block");
  } while (!Contains(At(TemplateCursor), "vertex_sets"));

  int32_t kept = 0;
  for (int32_t i = 0; i < setCount; ++i)
    if (VertexSets[i].VertexShift != -1) ++kept;
  line = At(TemplateCursor);
  ReplaceValueAfter(line, "vertex_sets", 1, std::to_string(kept));
  out_.push_back(std::move(line));
  ++TemplateCursor;

  for (int32_t i = 0; i < setCount; ++i) {
    within("ein vertex_set");
    const int32_t shift = VertexSets[i].VertexShift;
    if (shift != -1) {
      line = At(TemplateCursor);
      if (!Contains(line, "vertex_set")) Refuse("In Zeile " + std::to_string(TemplateCursor + 1) + " fehlt ein vertex_set.");
      auto first = ParseInt32(ValueAfter(line, "vertex_set", 2));
      if (!first)
        Refuse("Der erste Vertex des vertex_set in Zeile " + std::to_string(TemplateCursor + 1) +
               " ist keine ganze Zahl.");
      ReplaceValueAfter(line, "vertex_set", 2, std::to_string(int64_t{*first} - shift));
      out_.push_back(std::move(line));
    }
    ++TemplateCursor;
  }

  do {
    Append(TemplateCursor);
    ++TemplateCursor;
    within("der primitives-Block");
  } while (!Contains(At(TemplateCursor), "primitives"));

  line = At(TemplateCursor);
  ReplaceValueAfter(line, "primitives", 1, std::to_string(2 * int64_t{SubObjectElementCount}));
  out_.push_back(std::move(line));
  ++TemplateCursor;
}

void Generator::WritePrimitive() {
  Progress(ProgressLabel::Stage, "Faces...");
  TemplateCursor = NextPrimitiveLine(TemplateCursor);
  if (!Contains(At(TemplateCursor), "prim_state_idx")) return;

  auto idx = ParseInt32(ValueAfter(At(TemplateCursor), "prim_state_idx", 1));
  if (!idx || *idx < 0 || *idx >= in_.Elements.RowCount() - 1)
    Refuse("prim_state_idx in Zeile " + std::to_string(TemplateCursor + 1) + " verweist auf kein Element.");
  const int row = *idx + 1;

  if (!InCurrentSubObject(row)) {
    TemplateCursor = NextPrimitiveLine(TemplateCursor + 1);
    return;
  }
  const int32_t state = in_.ElementVtxState[row];
  const int32_t shift = VertexSets[state].VertexShift;

  const int32_t end = SubObjectEndLine - 1;
  auto step = [&] {
    ++TemplateCursor;
    if (TemplateCursor >= end)
      Refuse("Das Primitiv ab Zeile " + std::to_string(TemplateCursor + 1) + " ist unvollständig.");
  };

  do {
    Append(TemplateCursor);
    step();
  } while (!Contains(At(TemplateCursor), "vertex_idxs"));

  RewriteIndexLines(shift);

  do {
    Append(TemplateCursor);
    step();
  } while (!Contains(At(TemplateCursor), "flags"));

  Append(TemplateCursor);
  const int32_t last = static_cast<int32_t>(old_.size()) - 1;
  while (!Contains(At(TemplateCursor), ")") && TemplateCursor < last) {
    ++TemplateCursor;
    Append(TemplateCursor);
  }
  ++TemplateCursor;
  Append(TemplateCursor);
  ++TemplateCursor;
}

// Rewrites the vertex_idxs lines from TemplateCursor up to the normal_idxs
// line: the count stays, every index is lowered by `shift`, every token gets
// one blank before it and each written line ends in a blank.
void Generator::RewriteIndexLines(int32_t shift) {
  const int32_t end = SubObjectEndLine - 1;
  std::string_view line = At(TemplateCursor);
  std::string out;
  int p = 1, tokenEnd = 1;
  if (auto open = line.find('('); open != std::string_view::npos) {
    p = static_cast<int>(open) + 2;
    NextToken(line, p, tokenEnd);
    p = tokenEnd;
    out.assign(line.substr(0, std::min<std::size_t>(static_cast<std::size_t>(p), line.size())));
  }
  for (;;) {
    NextToken(line, p, tokenEnd);
    std::string_view token;
    if (static_cast<std::size_t>(p) <= line.size()) token = line.substr(p - 1, tokenEnd - p);
    p = tokenEnd;
    if (token.empty()) {
      out += ' ';
      out_.push_back(std::move(out));
      out.clear();
      ++TemplateCursor;
      if (TemplateCursor >= end)
        Refuse("Die vertex_idxs ab Zeile " + std::to_string(TemplateCursor + 1) + " enden nicht vor normal_idxs.");
      line = At(TemplateCursor);
      p = 1;
      if (Contains(line, "normal_idxs")) return;
    } else if (token == ")") {
      out += " )";
    } else {
      auto value = ParseInt32(token);
      if (!value)
        Refuse("In den vertex_idxs in Zeile " + std::to_string(TemplateCursor + 1) + " steht \"" + std::string(token) +
               "\", das ist keine ganze Zahl.");
      out += ' ';
      AppendNumber(out, int64_t{*value} - shift);
    }
  }
}

}  // namespace lodsmith
