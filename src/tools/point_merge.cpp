#include "tools/point_merge.h"

#include <string>

namespace lodsmith {

namespace {

// Walks the document as the rewrite does; appends to `out` when given.
void RewritePoints(const Lines& lines, const MergePlan& plan, Lines* out) {
  const int count = static_cast<int>(lines.size());
  auto emit = [&](const std::string& line) {
    if (out) out->push_back(line);
  };
  if (out) out->reserve(lines.size() - static_cast<std::size_t>(plan.N - plan.K));

  for (int j = 0; j < plan.header; ++j) emit(lines[j]);
  {
    std::string head = lines[plan.header];
    int pos = FirstParenPos(head) + 1;
    int end = pos;
    NextToken(head, pos, end);
    ReplaceToken(head, pos, end, std::to_string(plan.K));
    emit(head);
  }
  int j = plan.header + 1;
  for (int32_t s = 0; s < plan.N; ++s, ++j)
    if (plan.MergeTable[s].Kept) emit(lines[j]);

  while (j < count) {
    if (Contains(lines[j], "vertex ")) {
      std::string line = lines[j];
      RenumberReference(line, 1, plan, j, MergeKind::Points);
      emit(line);
      ++j;
      // The line after a vertex line is its texture-coordinate line and is
      // copied without looking at it; a vertex line there would keep a
      // number of the old block.
      if (j < count) {
        if (Contains(lines[j], "vertex "))
          throw RefusalAtLine(j, Message(ToolsMsg::TwoVertexLines).WrappedIn(ToolsMsg::LayoutNotRenumbered));
        emit(lines[j]);
        ++j;
      }
    } else {
      emit(lines[j]);
      ++j;
    }
  }
}

}  // namespace

std::optional<MergePlan> PlanPointMerge(const Lines& lines, long double tolerance) {
  auto header = FindMergeBlock(lines, "points");
  if (!header) return std::nullopt;
  const int32_t n = ReadMergeCount(lines, *header, "points");
  return PlanBlockMerge(lines, *header, n, "points", tolerance, MergeKind::Points);
}

void CheckPointRewrite(const Lines& lines, const MergePlan& plan) { RewritePoints(lines, plan, nullptr); }

Lines BuildPointMerge(const Lines& lines, const MergePlan& plan) {
  Lines out;
  RewritePoints(lines, plan, &out);
  return out;
}

}  // namespace lodsmith
