#include "document/animations.h"

#include <unordered_set>

namespace lodsmith {

std::optional<std::vector<bool>> ReadMatrixAnimations(const Lines& lines, const std::vector<std::string>& matrixNames) {
  const int last = static_cast<int>(lines.size()) - 1;
  SearchResult start = Search(lines, 1, "animations");
  if (!start.found || start.line == last) return std::nullopt;

  // Names of the animated nodes, lower-cased, so that many matrices and many
  // nodes cost one pass each.
  std::unordered_set<std::string> animated;
  int i = start.line;
  while (i < last) {
    ++i;
    const std::string& node = lines[i];
    if (!Contains(node, "anim_node ")) continue;
    int p = static_cast<int>(PosOf(node, "anim_node ")) + 9;
    std::string name = TakeName(node, p);
    ++i;
    if (i > last) break;  // a node line as the document's last line has no controllers
    const std::string& ctl = lines[i];
    if (!Contains(ctl, "controllers")) continue;
    int q = static_cast<int>(PosOf(ctl, "controllers")) + 11;
    TakeToken(ctl, q);
    if (TakeToken(ctl, q) != "0") animated.insert(FoldCase(name));
  }

  std::vector<bool> marks(matrixNames.size(), false);
  for (std::size_t m = 0; m < matrixNames.size(); ++m) marks[m] = animated.count(FoldCase(matrixNames[m])) > 0;
  return marks;
}

}  // namespace lodsmith
