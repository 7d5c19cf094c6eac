// The messages of the repair tools and the compression utility; their texts are in ui/texts/tools_texts.cpp.
#pragma once

namespace lodsmith {

enum class ToolsMsg : int {
  First = 1500,
  End
};

}  // namespace lodsmith
