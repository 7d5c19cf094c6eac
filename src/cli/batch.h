// The batch program's run over its shapes: the shapes named (folders read
// with --recursive), one RunShape each on a pool of worker threads, their
// output printed in the order of the arguments, a progress line while it
// runs (on a terminal only), and for many shapes a summary.
#pragma once

#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/shape_run.h"

namespace lodsmith {

// The shape files a run works on: every argument that is no folder as it
// is; with `recursive`, every file ending in ".s" (any case) below a folder,
// sorted by path; without it, a folder as it is (its run fails, saying so).
std::vector<std::string> CollectShapes(const std::vector<std::string>& args, bool recursive);

// Runs everything and prints it; the exit status (0 every shape done, 1 any
// refused or failed, 2 an option that needs one shape given with several).
int RunBatch(const CliOptions& options, RunShared shared, Language language);

}  // namespace lodsmith
