// The first half of point and normal merging: finding the block, reading its
// entries and deciding which of them merge. Nothing here changes the lines;
// the second half (point_merge.h, normal_merge.h) builds the rewritten
// document from the plan once the user has agreed.
//
// Layout read: the block header is the first line from line 1 on (line 0,
// the file's header, is never examined) that contains the keyword; a header
// on the very last line counts as none. Its first token after its first "("
// is the entry count N, and nothing follows it on the line (but ")" for an
// empty block closed there). The N lines after it hold one whole entry each,
// "point ( x y z )" for points, "vector ( x y z )" for normals (the word in
// any case), and the line after the N-th is the block's closing ")". The
// coordinates are parsed with "." as the decimal separator. A block laid out
// otherwise (an entry wrapped over two lines when the file was read, two
// entries on one line, more or fewer entry lines than N) is refused, since
// the rewrites keep and drop whole lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/text.h"
#include "tools/merge_index.h"
#include "tools/refusal.h"

namespace lodsmith {

struct MergePlan {
  int header = -1;                      // line index of the block header
  int32_t N = 0;                        // entries in the block
  int32_t K = 0;                        // entries that stay
  std::vector<TMergeEntry> MergeTable;  // one entry per block entry, in block order
};

// Line index of the block header, or nothing when the document has no such
// block. Throws Error (a refusal, see refusal.h) for a document of one line,
// which has no line that could hold a block.
std::optional<int> FindMergeBlock(const Lines& lines, std::string_view keyword);

// The entry count of the header line. Throws Error when it is not a 32-bit
// integer.
int32_t ReadMergeCount(const Lines& lines, int header, std::string_view keyword);

// Reads the N entries after the header and numbers them with the tolerance.
// Throws Error (naming the line) when N is negative, when the document
// ends before N entry lines and the closing line, when the block's lines do
// not hold exactly N entries as laid out above, or when a coordinate is not
// a number written with ".".
MergePlan PlanBlockMerge(const Lines& lines, int header, int32_t n, std::string_view keyword, long double tolerance,
                         MergeKind kind);

// Shared by the rewrites: replaces the token of `line` found after its first
// "(" and `skip` further tokens, a reference into the merged block, by the
// entry's new number. Throws Error (naming line `lineIndex`) when the token
// is not an integer or not an entry of the block; `kind` tells the message
// whether a point or a normal was referred to.
void RenumberReference(std::string& line, int skip, const MergePlan& plan, int lineIndex, MergeKind kind);

// As RenumberReference for the token at the 1-based positions [pos, end);
// returns the position after the new number.
int RenumberTokenAt(std::string& line, int pos, int end, const MergePlan& plan, int lineIndex, MergeKind kind);

// Replaces the token at the 1-based positions [pos, end) of `line` by
// `value`, every other byte staying; returns the position after the new text.
int ReplaceToken(std::string& line, int pos, int end, std::string_view value);

// The token at the 1-based positions [pos, end) as text.
std::string TokenText(std::string_view line, int pos, int end);

}  // namespace lodsmith
