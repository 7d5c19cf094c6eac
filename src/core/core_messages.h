// The messages of the text helpers and grids; their texts are in ui/texts/core_texts.cpp.
#pragma once

namespace lodsmith {

enum class CoreMsg : int {
  First = 1000,
  End
};

}  // namespace lodsmith
