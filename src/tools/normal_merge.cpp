#include "tools/normal_merge.h"

#include <string>

namespace lodsmith {

namespace {

class NormalRewriter {
public:
  NormalRewriter(const Lines& lines, const MergePlan& plan, Lines* out)
      : lines_(lines), plan_(plan), out_(out), count_(static_cast<int>(lines.size())) {}

  void Run() {
    if (out_) out_->reserve(lines_.size() - static_cast<std::size_t>(plan_.N - plan_.K));
    for (int j = 0; j < plan_.header; ++j) Emit(lines_[j]);
    {
      std::string head = lines_[plan_.header];
      int pos = FirstParenPos(head) + 1;
      int end = pos;
      NextToken(head, pos, end);
      ReplaceToken(head, pos, end, std::to_string(plan_.K));
      Emit(head);
    }
    j_ = plan_.header + 1;
    for (int32_t s = 0; s < plan_.N; ++s, ++j_)
      if (plan_.MergeTable[s].Kept) Emit(lines_[j_]);

    while (j_ < count_) {
      // One pass: a vertex line, then a list, then one line copied as it is.
      bool vertexDone = false;
      bool listDone = false;
      if (Contains(lines_[j_], "vertex ")) {
        std::string line = lines_[j_];
        RenumberReference(line, 2, plan_, j_, MergeKind::Normals);
        Emit(line);
        ++j_;
        vertexDone = true;
      }
      if (j_ < count_ && Contains(lines_[j_], "normal_idxs")) {
        RewriteList();
        listDone = true;
      }
      if (j_ < count_) {
        // The copied line was not looked at for what an earlier step of this
        // pass already handled; a reference there would keep its old number.
        const std::string& line = lines_[j_];
        if ((vertexDone || listDone) && Contains(line, "vertex "))
          throw RefusalAtLine(j_,
                              Message(ToolsMsg::VertexLineAfterVertexOrList).WrappedIn(ToolsMsg::LayoutNotRenumbered));
        if (listDone && Contains(line, "normal_idxs"))
          throw RefusalAtLine(j_, Message(ToolsMsg::TwoNormalLists).WrappedIn(ToolsMsg::LayoutNotRenumbered));
        Emit(line);
        ++j_;
      }
    }
  }

private:
  void Emit(const std::string& line) {
    if (out_) out_->push_back(line);
  }

  // The next token from c on the current line; when nothing but blanks is
  // left, the line is finished and the list goes on with the first token of
  // the next line.
  void NextListToken(std::string& cur, int& c, int& end, int listStart, int32_t m) {
    NextToken(cur, c, end);
    if (c != end) return;
    Emit(cur);
    ++j_;
    if (j_ >= count_) throw Refusal(Message(ToolsMsg::NormalListPastEnd, listStart + 1, m));
    cur = lines_[j_];
    c = 1;
    NextToken(cur, c, end);
  }

  void TooFewPairs(int listStart, int32_t m) const {
    throw Refusal(Message(ToolsMsg::NormalListTooShort, listStart + 1, m, j_ + 1));
  }

  void RewriteList() {
    const int listStart = j_;
    std::string cur = lines_[j_];
    int c = FirstParenPos(cur) + 1;
    int end = c;
    NextToken(cur, c, end);
    const std::string countText = TokenText(cur, c, end);
    auto m = ParseInt32(countText);
    if (!m) throw RefusalAtLine(j_, Message(ToolsMsg::NormalListCountNotInteger, countText));
    c = end;
    for (int32_t pair = 0; pair < *m; ++pair) {
      NextListToken(cur, c, end, listStart, *m);
      if (TokenText(cur, c, end) == ")") TooFewPairs(listStart, *m);
      c = RenumberTokenAt(cur, c, end, plan_, j_, MergeKind::Normals);
      NextListToken(cur, c, end, listStart, *m);
      if (TokenText(cur, c, end) == ")") TooFewPairs(listStart, *m);
      c = end;
    }
    Emit(cur);
    ++j_;
  }

  const Lines& lines_;
  const MergePlan& plan_;
  Lines* out_;
  const int count_;
  int j_ = 0;
};

}  // namespace

std::optional<MergePlan> PlanNormalMerge(const Lines& lines, long double tolerance) {
  auto header = FindMergeBlock(lines, "normals");
  if (!header) return std::nullopt;
  const int32_t n = ReadMergeCount(lines, *header, "normals");
  return PlanBlockMerge(lines, *header, n, "normals", tolerance, MergeKind::Normals);
}

void CheckNormalRewrite(const Lines& lines, const MergePlan& plan) { NormalRewriter(lines, plan, nullptr).Run(); }

Lines BuildNormalMerge(const Lines& lines, const MergePlan& plan) {
  Lines out;
  NormalRewriter(lines, plan, &out).Run();
  return out;
}

}  // namespace lodsmith
