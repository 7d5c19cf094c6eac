// Which matrices the shape animates: a matrix counts as animated when an
// anim_node of the same name (letter case aside) has a controller count
// other than "0".
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/text.h"

namespace lodsmith {

// One mark per name of `matrixNames` (true = animated), or nothing when the
// shape has no "animations" line before its last line: the marks shown are
// then to be left as they are. Reads only; never throws.
//
// After each "anim_node " line the next line is taken as its controller
// line, whatever it holds; a node line that directly follows another node
// line is therefore not read as a node.
std::optional<std::vector<bool>> ReadMatrixAnimations(const Lines& lines, const std::vector<std::string>& matrixNames);

}  // namespace lodsmith
