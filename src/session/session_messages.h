// The messages of the session; their texts are in ui/texts/session_texts.cpp.
#pragma once

namespace lodsmith {

enum class SessionMsg : int {
  First = 1900,

  // What follows the language file's text when saving the document failed.
  SaveEmptyDocument,      // %1: the file; the document has no lines
  SaveNoPreviousVersion,  // %1: the file, which did not exist before

  End
};

}  // namespace lodsmith
