// The files a batch run reads and writes, checked before anything is
// written: each shape is worked on once however it is named, no file has
// two writers, and nothing is written over a file the run reads.
//
// Files are compared by what the paths point to: an existing file by its
// identity on disk (links, "./a.s" and "a.s", hard links), a file still to
// be made by its full path with links resolved (case-folded on Windows).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/options.h"
#include "core/message.h"

namespace lodsmith {

// The shapes in their order, every later name of a file named before left
// out.
std::vector<std::string> DistinctShapes(const std::vector<std::string>& shapes);

// The first clash among the files the run would write, as a usage error:
// two writers of one file (-o and --render with one name, two shapes whose
// backups or settings files coincide as "x.s" and "x.S" do), or a file
// written that the run reads (a shape, the --settings file, the --tool).
// The shape written by --save or by -o naming it is its own run's, and so
// is its settings file. `shapes` as DistinctShapes gives them.
std::optional<Message> FileClash(const CliOptions& options, const std::vector<std::string>& shapes);

}  // namespace lodsmith
