// The messages of the session; their texts are in ui/texts/session_texts.cpp.
#pragma once

namespace lodsmith {

enum class SessionMsg : int {
  First = 1900,

  // What follows the language file's text when saving the document failed.
  SaveEmptyDocument,      // %1: the file; the document has no lines
  SaveNoPreviousVersion,  // %1: the file, which did not exist before

  // The detail per LOD and the screen-error budget.
  DetailRefused,        // %1: the LOD, %2: the text (no 100%, 1%..99% or auto)
  DetailAutoFirstLod,   // auto for LOD 1, which is seen from 0 m
  ScreenErrorRefused,   // %1: the value (no positive number)
  DetailNeedsDistance,  // %1: the LOD whose detail needs it, %2: the LOD without a distance
  SuggestWithAuto,      // the suggestion changes nothing while a LOD is auto

  End
};

}  // namespace lodsmith
