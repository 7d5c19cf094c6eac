// The messages of the text helpers and grids; their texts are in ui/texts/core_texts.cpp.
#pragma once

namespace lodsmith {

enum class CoreMsg : int {
  First = 1000,
  NotAnInteger,             // %1: the text
  LineWithoutNumber,        // %1: the line
  LineWithoutSecondNumber,  // %1: the line
  KeywordMissing,           // %1: the keyword
  NoNameAfter,              // %1: the keyword, %2: the line
  End
};

}  // namespace lodsmith
