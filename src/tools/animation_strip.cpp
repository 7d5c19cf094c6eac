#include "tools/animation_strip.h"

#include "tools/merge_plan.h"

namespace lodsmith {

namespace {

// The k-th token (1-based) of the line from the start.
std::string NthToken(std::string_view line, int k) {
  int pos = 1;
  std::string token;
  for (int i = 0; i < k; ++i) token = TakeToken(line, pos);
  return token;
}

}  // namespace

std::optional<int> FindAnimationsBlock(const Lines& lines) {
  if (lines.size() == 1) throw Refusal(Message(ToolsMsg::SingleLineNoBlock, "animations"));
  const SearchResult r = Search(lines, 1, "animations");
  if (!r.found || r.line >= static_cast<int>(lines.size()) - 1) return std::nullopt;
  return r.line;
}

AnimationStripResult StripSurplusAnimations(const Lines& lines, int header,
                                            const std::vector<MatrixAnimationMark>& rows) {
  AnimationStripResult result;
  Lines& out = result.lines;
  out.reserve(lines.size());
  const int count = static_cast<int>(lines.size());
  // Lines are deleted only ahead of the reading position, so the walk keeps
  // positions in the given lines and copies what stays.
  for (int k = 0; k <= header; ++k) out.push_back(lines[k]);
  int i = header;
  while (i < count - 1) {
    ++i;
    out.push_back(lines[i]);
    const std::size_t nodeAt = PosOf(lines[i], "anim_node ");
    if (nodeAt == 0) continue;
    int pos = static_cast<int>(nodeAt) + 9;
    const std::string name = TakeName(lines[i], pos);
    if (i + 1 >= count) break;
    ++i;
    out.push_back(lines[i]);
    const std::size_t ctrlAt = PosOf(lines[i], "controllers");
    if (ctrlAt == 0) continue;
    int cpos = static_cast<int>(ctrlAt) + 11;
    int cend = cpos;
    NextToken(lines[i], cpos, cend);  // "("
    cpos = cend;
    NextToken(lines[i], cpos, cend);
    const std::string countText = TokenText(lines[i], cpos, cend);
    auto controllers = ParseInt32(countText);
    if (!controllers) throw RefusalAtLine(i, Message(ToolsMsg::ControllerCountNotInteger, countText, name));
    if (countText == "0") continue;

    bool stripped = false;
    int next = i + 1;
    for (const auto& row : rows) {
      if (FoldCase(row.mark) == "x") continue;
      if (!EqualsIgnoreCase(row.name, name)) continue;
      // Two unmarked rows of one name would strip the node twice.
      if (stripped) throw Error(ToolsMsg::AnimationStripGeneral, name);
      stripped = true;
      ReplaceToken(out.back(), cpos, cend, "0");
      for (int32_t c = 0; c < *controllers; ++c) {
        if (next >= count) throw Refusal(Message(ToolsMsg::ControllersPastEnd).WrappedIn(ToolsMsg::InAnimation, name));
        auto keys = ParseInt32(NthToken(lines[next], 3));
        if (!keys) throw Error(ToolsMsg::AnimationStripGeneral, name);
        const int64_t span = static_cast<int64_t>(*keys) + 2;
        if (span <= 0) continue;
        if (next + span > count)
          throw Refusal(Message(ToolsMsg::KeysPastEnd, next + 1, *keys).WrappedIn(ToolsMsg::InAnimation, name));
        next += static_cast<int>(span);
        result.linesDeleted += static_cast<int>(span);
      }
      ++result.stripped;
    }
    if (stripped) {
      // The walk stands on the closing line of the controllers list and goes
      // on after it without reading it.
      i = next;
      if (i < count) out.push_back(lines[i]);
    }
  }
  return result;
}

}  // namespace lodsmith
