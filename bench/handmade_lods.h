// The quality report's section on the LODs modellers made by hand: for
// every shape of a folder whose second distance level has fewer triangles
// than its first, the first level's elements simplified to the error of one
// screen pixel where the modeller switches to the second level, beside the
// modeller's own second level.
#pragma once

#include <filesystem>

namespace lodsmith::bench {

// Prints the section for the shapes (*.s) of `folder` to stdout, in file
// name order: one row per shape with its first level's triangles, the
// hand-made second level's triangles and measured error, ours and our
// measured error (millimetres, and pixels at the switch distance), then the
// summary line. Shapes that cannot be read are named on stderr and left
// out; shapes with one level, or whose second level is not smaller, are
// named in the section and not counted.
void PrintHandmadeSection(const std::filesystem::path& folder);

}  // namespace lodsmith::bench
