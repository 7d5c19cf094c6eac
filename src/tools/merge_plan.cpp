#include "tools/merge_plan.h"

#include <string>

namespace lodsmith {

namespace {

// The blank- and tab-separated tokens of a line.
std::vector<std::string_view> Tokens(std::string_view line) {
  std::vector<std::string_view> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}

// The word that opens every entry of the block.
const char* EntryKeyword(MergeKind kind) { return kind == MergeKind::Points ? "point" : "vector"; }

// One complete entry and nothing else: the entry keyword, "(", three
// tokens, ")". A line wrapped on reading (or an entry written over several
// lines, or several entries on one line) does not pass, so the entries can
// be counted by lines.
bool IsWholeEntryLine(std::string_view line, std::string_view entry) {
  const std::vector<std::string_view> t = Tokens(line);
  return t.size() == 6 && EqualsIgnoreCase(t[0], entry) && t[1] == "(" && t[5] == ")";
}

MergePlan EmptyPlan(int header) {
  MergePlan plan;
  plan.header = header;
  return plan;
}

bool IsClosingLine(std::string_view line) {
  const std::vector<std::string_view> t = Tokens(line);
  return t.size() == 1 && t[0] == ")";
}

}  // namespace

std::string TokenText(std::string_view line, int pos, int end) {
  const std::size_t start = std::min<std::size_t>(static_cast<std::size_t>(pos - 1), line.size());
  const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(end - pos), line.size() - start);
  return std::string(line.substr(start, count));
}

int ReplaceToken(std::string& line, int pos, int end, std::string_view value) {
  const std::size_t start = std::min<std::size_t>(static_cast<std::size_t>(pos - 1), line.size());
  const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(end - pos), line.size() - start);
  line.replace(start, count, value);
  return static_cast<int>(start + value.size()) + 1;
}

std::optional<int> FindMergeBlock(const Lines& lines, std::string_view keyword) {
  if (lines.size() == 1) throw Refusal(Message(ToolsMsg::SingleLineNoBlock, keyword));
  const SearchResult r = Search(lines, 1, keyword);
  // A header on the very last line has no entries after it.
  if (!r.found || r.line >= static_cast<int>(lines.size()) - 1) return std::nullopt;
  return r.line;
}

int32_t ReadMergeCount(const Lines& lines, int header, std::string_view keyword) {
  const std::string& line = lines[header];
  int pos = FirstParenPos(line) + 1;
  const std::string token = TakeToken(line, pos);
  auto n = ParseInt32(token);
  if (!n) throw RefusalAtLine(header, Message(ToolsMsg::BlockCountNotInteger, keyword, token));
  return *n;
}

MergePlan PlanBlockMerge(const Lines& lines, int header, int32_t n, std::string_view keyword, long double tolerance,
                         MergeKind kind) {
  const std::string block(keyword);
  if (n < 0) throw RefusalAtLine(header, Message(ToolsMsg::BlockCountNegative, block, n));
  const int64_t available = static_cast<int64_t>(lines.size()) - 1 - header;
  if (n > available) throw RefusalAtLine(header, Message(ToolsMsg::BlockPastEnd, block, n, available));

  // The rewrites keep or drop whole lines and start renumbering right after
  // the N-th entry line: that is right only when line and entry coincide.
  // Counting lines instead of entries would, for a wrapped entry, take its
  // continuation for an entry and leave the last real one behind, and the
  // result would still look like a valid block.
  const std::string entry = EntryKeyword(kind);
  {
    const std::string& head = lines[header];
    int pos = FirstParenPos(head) + 1;
    TakeToken(head, pos);  // the count
    const std::string rest = TakeToken(head, pos);
    // "( 0 )": an empty block closed on its own line.
    const bool closedHere = n == 0 && rest == ")" && TakeToken(head, pos).empty();
    if (closedHere) return EmptyPlan(header);
    if (!rest.empty()) throw RefusalAtLine(header, Message(ToolsMsg::TextAfterBlockCount, block, rest, entry));
  }
  if (n == available) throw RefusalAtLine(header, Message(ToolsMsg::BlockNotClosed, block, n));
  for (int32_t s = 0; s < n; ++s) {
    const int index = header + 1 + s;
    if (!IsWholeEntryLine(lines[index], entry))
      throw RefusalAtLine(index, Message(ToolsMsg::NotAnEntryLine, block, header + 1, n, entry));
  }
  const int closing = header + 1 + n;
  if (!IsClosingLine(lines[closing]))
    throw RefusalAtLine(closing, Message(ToolsMsg::ExtraEntryLine, block, header + 1, n));

  MergePlan plan;
  plan.header = header;
  plan.N = n;
  plan.MergeTable.resize(static_cast<std::size_t>(n));
  for (int32_t s = 0; s < n; ++s) {
    const int index = header + 1 + s;
    const std::string& line = lines[index];
    int pos = FirstParenPos(line) + 1;
    long double* coords[3] = {&plan.MergeTable[s].X, &plan.MergeTable[s].Y, &plan.MergeTable[s].Z};
    for (long double* c : coords) {
      const std::string token = TakeToken(line, pos);
      auto v = ParseFloat(token, '.');
      if (!v) throw RefusalAtLine(index, Message(ToolsMsg::CoordinateNotNumber, token));
      *c = *v;
    }
  }
  plan.K = NumberMergeEntries(plan.MergeTable, tolerance, kind);
  return plan;
}

int RenumberTokenAt(std::string& line, int pos, int end, const MergePlan& plan, int lineIndex, MergeKind kind) {
  const bool points = kind == MergeKind::Points;
  const std::string token = TokenText(line, pos, end);
  auto p = ParseInt32(token);
  if (!p)
    throw RefusalAtLine(lineIndex,
                        Message(points ? ToolsMsg::PointNumberNotInteger : ToolsMsg::NormalNumberNotInteger, token));
  if (*p < 0 || *p >= plan.N)
    throw RefusalAtLine(lineIndex, Message(points ? ToolsMsg::NoSuchPoint : ToolsMsg::NoSuchNormal, *p, plan.N));
  return ReplaceToken(line, pos, end, std::to_string(plan.MergeTable[*p].NewIndex));
}

void RenumberReference(std::string& line, int skip, const MergePlan& plan, int lineIndex, MergeKind kind) {
  int pos = FirstParenPos(line) + 1;
  int end = pos;
  for (int i = 0; i < skip; ++i) {
    NextToken(line, pos, end);
    pos = end;
  }
  NextToken(line, pos, end);
  RenumberTokenAt(line, pos, end, plan, lineIndex, kind);
}

}  // namespace lodsmith
