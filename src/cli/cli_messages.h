// The messages of the batch program; their texts are in ui/texts/cli_texts.cpp.
#pragma once

namespace lodsmith {

enum class CliMsg : int {
  First = 2000,
  End
};

}  // namespace lodsmith
