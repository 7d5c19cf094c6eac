// Correction of the material errors that TSM writes into shapes:
//
// 1. The light-material number of a vtx_state (the third token after the
//    first "(" of each line of the "vtx_states" block) is exchanged where the
//    names of the elements (prim_states) using it call for the other one: -6
//    becomes -7 when an element using the vtx_state has "loshine" in its
//    lower-cased name, -7 becomes -6 for "hishine". Only the first such
//    element in element order is looked at; each vtx_state changes at most
//    once.
// 2. When any vtx_state has a light-material text other than "-5", the flags
//    word of every "sub_object_header" after the vtx_states (the second token
//    after the keyword; the first is the "(") is lowered: a word whose
//    decimal reading is 400 or more gets its third character from the end
//    lowered by 4 (00000400 becomes 00000000, 00000500 becomes 00000100). A
//    word that this would turn into a non-digit is left as it is.
//
// The block is found from line 1 on; its lines follow the header directly,
// each containing "vtx_state"; the last line of the document is never read
// as one. The sub-object headers are looked for up to the second-last line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/text.h"

namespace lodsmith {

// One element (row of the element list): its name and the vtx_state its
// prim_state uses (nothing when unknown).
struct MaterialElement {
  std::string name;
  std::optional<int32_t> vtxState;
};

struct MaterialFixResult {
  Lines lines;           // the corrected document
  int exchanged = 0;     // light materials exchanged
  int flagsLowered = 0;  // sub-object header flags words changed
};

// Throws Error, with the document untouched, when there is no "vtx_states"
// block before the last line, or when a flags word to be read is not a
// decimal integer; the message ends in the note that nothing was corrected
// (ToolsMsg::NothingCorrected).
MaterialFixResult FixTsmMaterials(const Lines& lines, const std::vector<MaterialElement>& elements);

}  // namespace lodsmith
