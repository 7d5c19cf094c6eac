// The parts of the structural check (shape_check.h) and what they share:
// the blocks the reader keeps (a tree of the shape's outline) and the list
// of problems both steps add to.
//   shape_check_kinds.cpp     the blocks the checks know
//   shape_check_reader.cpp    one pass over the text: brackets, names, counts
//   shape_check_structure.cpp the kept blocks against each other
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/message.h"
#include "core/text.h"
#include "document/document_messages.h"
#include "document/shape_check.h"

namespace lodsmith::shape_check {

struct BlockKind;

// A kept block.
struct Node {
  std::string_view name;
  int line = 0;
  const BlockKind* kind = nullptr;
  int valueCount = 0;
  std::string_view first;
  std::vector<std::string_view> values;  // Values::All
  int entries = 0;                       // child blocks named as the list's entries
  int blocks = 0;                        // every child block
  std::vector<int> kids;                 // kept child blocks (indices into the tree)
  // Values::Indices: the values after the first.
  bool badIndex = false;
  std::string_view firstBad;
  int64_t minIndex = INT64_MAX;
  int64_t maxIndex = INT64_MIN;
};

// The kept blocks, parents before their children, and the top level.
struct BlockTree {
  std::vector<Node> nodes;
  int topCount = 0;   // blocks at the top level
  int topShape = -1;  // the node of the one block "shape", when it is the first
};

constexpr int64_t kNoValue = -999999;

// Lines are counted from 1 for the user.
inline int LineNo(int line) { return line + 1; }

// A problem of a block: the block's keyword and line come first in each of
// these messages.
template <typename... Args>
Message At(DocumentMsg id, const Node& n, Args&&... args) {
  return Message(id, n.name, LineNo(n.line), std::forward<Args>(args)...);
}

// The problems found so far: those of the syntax (brackets, names) come
// before those of the structure, each in the order found.
class ProblemLog {
public:
  // A broken file can repeat one fault countless times; a few of each kind
  // tell as much. True while this kind (fault and block) has room; counts
  // the problem that is to follow.
  bool Room(ShapeFault fault, std::string_view block) {
    int& seen = perKind_[{fault, std::string(block)}];
    return seen++ < kPerKind;
  }

  void AddSyntax(ShapeFault fault, std::string_view block, int line, Message message) {
    syntax_.push_back({fault, std::string(block), line, std::move(message)});
  }
  void AddStructure(ShapeFault fault, std::string_view block, int line, Message message) {
    structure_.push_back({fault, std::string(block), line, std::move(message)});
  }

  // A structure problem, when its kind has room.
  void Problem(ShapeFault fault, std::string_view block, int line, Message message) {
    if (Room(fault, block)) AddStructure(fault, block, line, std::move(message));
  }

  // Every problem: the syntax ones first.
  std::vector<ShapeProblem> Take() {
    std::vector<ShapeProblem> all = std::move(syntax_);
    all.insert(all.end(), std::make_move_iterator(structure_.begin()), std::make_move_iterator(structure_.end()));
    return all;
  }

private:
  static constexpr int kPerKind = 50;
  std::vector<ShapeProblem> syntax_, structure_;
  std::map<std::pair<ShapeFault, std::string>, int> perKind_;
};

// Reads the bracket syntax of `lines` (line 0, the header, is not read):
// syntax problems, and the counted lists that do not hold their count, go to
// `log`; the blocks the structure checks need come back as a tree.
BlockTree ReadBlocks(const Lines& lines, ProblemLog& log);

// The checks of the kept blocks of one block "shape" against each other:
// indices inside their tables, vertex sets, primitives and geometry nodes.
void CheckStructure(const BlockTree& tree, const Node& shape, ProblemLog& log);

}  // namespace lodsmith::shape_check
