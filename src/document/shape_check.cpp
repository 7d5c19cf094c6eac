#include "document/shape_check.h"

#include "document/document_messages.h"
#include "document/shape_check_parts.h"

// The check runs in two steps: reading the blocks (shape_check_reader.cpp)
// and checking the kept ones against each other (shape_check_structure.cpp).

namespace lodsmith {

std::vector<ShapeProblem> CheckShape(const Lines& lines) {
  shape_check::ProblemLog log;
  const shape_check::BlockTree tree = shape_check::ReadBlocks(lines, log);
  if (tree.topCount != 1 || tree.topShape < 0) {
    log.AddSyntax(ShapeFault::NotOneShape, "shape", -1, Message(DocumentMsg::CheckNotOneShape));
  } else {
    shape_check::CheckStructure(tree, tree.nodes[tree.topShape], log);
  }
  return log.Take();
}

std::optional<ShapeProblem> FirstNewProblem(const std::vector<ShapeProblem>& before,
                                            const std::vector<ShapeProblem>& after) {
  for (const ShapeProblem& p : after) {
    bool known = false;
    for (const ShapeProblem& q : before)
      if (p.SameKind(q)) {
        known = true;
        break;
      }
    if (!known) return p;
  }
  return std::nullopt;
}

Message RefusedRewriteMessage(const ShapeProblem& problem) {
  return problem.message.WrappedIn(DocumentMsg::RefusedRewrite);
}

Message StructureNoteMessage(const ShapeProblem& problem) {
  return problem.message.WrappedIn(DocumentMsg::StructureNote);
}

}  // namespace lodsmith
