// Point merging: the points that lie within the tolerance of an earlier
// point leave the "points" block, and every vertex line refers to the point
// that stays.
//
// Vertex lines are the lines after the block that contain "vertex " (with
// the blank); the point number is their second token after the first "(".
// A vertex line is followed by at least one other line (its texture
// coordinates) before the next vertex line; that line is copied as it is.
//
// Use: PlanPointMerge (merge_plan.h does the reading), and when points merge
// (plan.N > plan.K): CheckPointRewrite before asking the user, then
// BuildPointMerge. The lines passed in are never changed.
#pragma once

#include "tools/merge_plan.h"

namespace lodsmith {

// FindMergeBlock, ReadMergeCount and PlanBlockMerge for "points" in one call;
// nothing when there is no block.
std::optional<MergePlan> PlanPointMerge(const Lines& lines, long double tolerance);

// Throws Error when the rewrite could not renumber every vertex line:
// a point number that is not an integer or not below N, or a vertex line
// that directly follows another one (it would keep its old number).
void CheckPointRewrite(const Lines& lines, const MergePlan& plan);

// The rewritten document: the header count becomes K, the merged point lines
// are dropped, every vertex line's point number is replaced by its new
// number in place. Every other byte stays. Throws as CheckPointRewrite.
Lines BuildPointMerge(const Lines& lines, const MergePlan& plan);

}  // namespace lodsmith
