// Removal of surplus animations: every animated node of the "animations"
// block whose matrix row carries no "x" mark loses its controllers. The node
// and its controllers line stay; the controller count becomes 0 and the
// controller blocks with their keys are deleted.
//
// Layout read: the block header is the first line from line 1 on that
// contains "animations" (a header on the last line counts as none). A node
// line contains "anim_node " (with the blank), its name is the next token;
// the line right after it is its controllers line, whose second token after
// "controllers" is the controller count c. The c controller blocks follow
// directly, each a header line whose third token from the start of the line
// is its key count n, n key lines and a closing line.
//
// A row is unmarked when its mark, lower-cased, is not exactly "x"; names
// are compared without regard to case (Latin-1 letters included).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/text.h"
#include "tools/refusal.h"

namespace lodsmith {

// One row of the matrix list: the matrix name and its "Anim." mark.
struct MatrixAnimationMark {
  std::string name;
  std::string mark;
};

struct AnimationStripResult {
  Lines lines;
  int stripped = 0;  // nodes whose controllers were removed
  int linesDeleted = 0;
};

// Line index of the "animations" header, or nothing. Throws Error (a
// refusal, see refusal.h) for a document of one line.
std::optional<int> FindAnimationsBlock(const Lines& lines);

// Strips the unmarked nodes after the header. Throws Error, the lines passed
// in never changed: ToolsMsg::AnimationStripGeneral (naming the node, without
// the note that nothing was changed) when a key count is not an integer or
// when a second unmarked row carries the name of a node already stripped; a
// refusal when a controller count is not an integer or the controller blocks
// run past the end of the document.
AnimationStripResult StripSurplusAnimations(const Lines& lines, int header,
                                            const std::vector<MatrixAnimationMark>& rows);

}  // namespace lodsmith
