// The messages of the window model; their texts are in ui/texts/ui_texts.cpp.
#pragma once

namespace lodsmith {

enum class UiMsg : int {
  First = 1800,
  End
};

}  // namespace lodsmith
