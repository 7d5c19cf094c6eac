// The messages of the print-out and the PDF writer; their texts are in ui/texts/print_texts.cpp.
#pragma once

namespace lodsmith {

enum class PrintMsg : int {
  First = 1750,
  End
};

}  // namespace lodsmith
