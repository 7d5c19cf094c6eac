// Normal merging: the normals within the tolerance of an earlier normal (of
// the same sign classes, see merge_index.h) leave the "normals" block, and
// every reference is renumbered: the third token after the first "(" of each
// vertex line (flags word, point number, normal number) and the first member
// of every pair of each "normal_idxs" list.
//
// A normal_idxs list reads: the count of pairs m after the first "(", then m
// pairs, each a normal number and a second member that stays; the pairs may
// go on over the following lines, and a line may end between the two members
// of a pair. Every line of a list is written once. The count is not changed.
//
// Use as point merging: PlanNormalMerge, CheckNormalRewrite before asking,
// then BuildNormalMerge. The lines passed in are never changed.
#pragma once

#include "tools/merge_plan.h"

namespace lodsmith {

std::optional<MergePlan> PlanNormalMerge(const Lines& lines, long double tolerance);

// Throws Error when the rewrite could not renumber every reference: a
// normal number that is not an integer or not below N, a list whose count
// exceeds the pairs that follow it (its closing parenthesis or the end of
// the document is reached first), a list count that is not an integer, or a
// vertex line or list that the rewrite would pass over (directly after a
// vertex line or a list, where the rewrite copies a line unread).
void CheckNormalRewrite(const Lines& lines, const MergePlan& plan);

// The rewritten document. Throws as CheckNormalRewrite.
Lines BuildNormalMerge(const Lines& lines, const MergePlan& plan);

}  // namespace lodsmith
