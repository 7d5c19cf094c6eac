// The messages of reading, analysing and checking shapes and files; their texts are in ui/texts/document_texts.cpp.
#pragma once

namespace lodsmith {

enum class DocumentMsg : int {
  First = 1100,
  End
};

}  // namespace lodsmith
