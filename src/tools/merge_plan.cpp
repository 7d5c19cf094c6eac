#include "tools/merge_plan.h"

#include <string>

namespace lodsmith {

namespace {

std::string LineNo(int index) { return std::to_string(index + 1); }

std::string Quoted(std::string_view text) { return "\"" + Latin1ToUtf8(text) + "\""; }

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
  if (lines.size() == 1)
    throw RepairError("Die Datei besteht nur aus einer Zeile und enthält keinen Block \"" + std::string(keyword) +
                      "\". Es wurde nichts geändert.");
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
  if (!n)
    throw RepairError("Zeile " + LineNo(header) + ": Die Anzahl des Blocks \"" + std::string(keyword) + "\" " +
                      Quoted(token) + " ist keine gültige ganze Zahl. Es wurde nichts geändert.");
  return *n;
}

MergePlan PlanBlockMerge(const Lines& lines, int header, int32_t n, std::string_view keyword,
                         long double tolerance, MergeKind kind) {
  const std::string block(keyword);
  if (n < 0)
    throw RepairError("Zeile " + LineNo(header) + ": Der Block \"" + block + "\" hat die negative Anzahl " +
                      std::to_string(n) + ". Es wurde nichts geändert.");
  const int64_t available = static_cast<int64_t>(lines.size()) - 1 - header;
  if (n > available)
    throw RepairError("Zeile " + LineNo(header) + ": Der Block \"" + block + "\" soll " + std::to_string(n) +
                      " Einträge haben, die Datei endet aber nach " + std::to_string(available) +
                      " Zeilen. Es wurde nichts geändert.");

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
      if (!v)
        throw RepairError("Zeile " + LineNo(index) + ": " + Quoted(token) +
                          " ist keine gültige Zahl (Dezimaltrennzeichen \".\"). Es wurde nichts geändert.");
      *c = *v;
    }
  }
  plan.K = NumberMergeEntries(plan.MergeTable, tolerance, kind);
  return plan;
}

int RenumberTokenAt(std::string& line, int pos, int end, const MergePlan& plan, int lineIndex, const char* what) {
  const std::string token = TokenText(line, pos, end);
  auto p = ParseInt32(token);
  if (!p)
    throw RepairError("Zeile " + LineNo(lineIndex) + ": Die Nummer " + Quoted(token) + " (" + what +
                      ") ist keine gültige ganze Zahl. Es wurde nichts geändert.");
  if (*p < 0 || *p >= plan.N)
    throw RepairError("Zeile " + LineNo(lineIndex) + ": " + what + " " + std::to_string(*p) +
                      " gibt es nicht, der Block hat nur " + std::to_string(plan.N) +
                      " Einträge. Es wurde nichts geändert.");
  return ReplaceToken(line, pos, end, std::to_string(plan.MergeTable[*p].NewIndex));
}

void RenumberReference(std::string& line, int skip, const MergePlan& plan, int lineIndex, const char* what) {
  int pos = FirstParenPos(line) + 1;
  int end = pos;
  for (int i = 0; i < skip; ++i) {
    NextToken(line, pos, end);
    pos = end;
  }
  NextToken(line, pos, end);
  RenumberTokenAt(line, pos, end, plan, lineIndex, what);
}

}  // namespace lodsmith
