// The messages of the batch program; their texts are in ui/texts/cli_texts.cpp.
#pragma once

namespace lodsmith {

enum class CliMsg : int {
  First = 2000,
  Usage,         // the help text of --help
  ToolNotFound,  // %1: the path tried for ffeditc_unicode.exe
  End
};

}  // namespace lodsmith
