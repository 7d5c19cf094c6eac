#include "tools/material_fix.h"

#include "tools/merge_plan.h"
#include "tools/refusal.h"

namespace lodsmith {

namespace {

// The first element using vtx_state j whose lower-cased name holds `word`.
bool UsedByNamed(const std::vector<MaterialElement>& elements, int32_t j, std::string_view word) {
  for (const auto& e : elements)
    if (e.vtxState && *e.vtxState == j && Contains(FoldCase(e.name), word)) return true;
  return false;
}

}  // namespace

MaterialFixResult FixTsmMaterials(const Lines& lines, const std::vector<MaterialElement>& elements) {
  const int count = static_cast<int>(lines.size());
  const SearchResult header = Search(lines, 1, "vtx_states");
  if (!header.found || header.line >= count - 1)
    throw Error(Message(ToolsMsg::NoVtxStatesBlock).WrappedIn(ToolsMsg::NothingCorrected));

  MaterialFixResult result;
  result.lines = lines;
  Lines& out = result.lines;

  bool otherMaterial = false;
  int i = header.line + 1;
  int32_t j = 0;
  while (true) {
    std::string& line = out[i];
    if (Contains(line, "vtx_state")) {
      int pos = FirstParenPos(line) + 1;
      int end = pos;
      for (int k = 0; k < 3; ++k) {
        if (k > 0) pos = end;
        NextToken(line, pos, end);
      }
      // The test is on the text as written: "-5.0" or an empty token counts
      // as another material.
      const std::string material = TokenText(line, pos, end);
      if (material != "-5") otherMaterial = true;
      if (material == "-6" && UsedByNamed(elements, j, "loshine")) {
        ReplaceToken(line, pos, end, "-7");
        ++result.exchanged;
      } else if (material == "-7" && UsedByNamed(elements, j, "hishine")) {
        ReplaceToken(line, pos, end, "-6");
        ++result.exchanged;
      }
    }
    ++i;
    ++j;
    if (i >= count - 1 || !Contains(out[i], "vtx_state")) break;
  }

  if (otherMaterial) {
    for (int k = i; k <= count - 2; ++k) {
      std::string& line = out[k];
      const std::size_t at = PosOf(line, "sub_object_header");
      if (at == 0) continue;
      int pos = static_cast<int>(at) + 17;
      int end = pos;
      NextToken(line, pos, end);  // "("
      pos = end;
      NextToken(line, pos, end);
      std::string word = TokenText(line, pos, end);
      auto value = ParseInt32(word);
      if (!value)
        throw Error(AtLine(k, Message(ToolsMsg::FlagsWordNotDecimal, word)).WrappedIn(ToolsMsg::NothingCorrected));
      if (*value < 400) continue;
      char& digit = word[word.size() - 3];
      // Lowering a digit below 4 would write a non-digit into the word.
      if (digit < '4' || digit > '9') continue;
      digit = static_cast<char>(digit - 4);
      ReplaceToken(line, pos, end, word);
      ++result.flagsLowered;
    }
  }
  return result;
}

}  // namespace lodsmith
