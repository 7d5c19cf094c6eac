// The messages of the repair tools and the compression utility; their texts are in ui/texts/tools_texts.cpp.
#pragma once

namespace lodsmith {

enum class ToolsMsg : int {
  First = 1500,

  // Wrappers around a fault (%0): the line it was found in, the animation
  // it concerns, and what the user is told about the document.
  NothingChanged,       // %0, then: nothing was changed
  AtLine,               // %1 line number (1-based)
  InAnimation,          // %1 node name
  NothingCorrected,     // %0, then: nothing was corrected
  LayoutNotRenumbered,  // %0, then: the merge cannot renumber this layout

  // Reading a point or normal block.
  SingleLineNoBlock,     // %1 block keyword
  BlockCountNotInteger,  // %1 keyword, %2 count text
  BlockCountNegative,    // %1 keyword, %2 count
  BlockPastEnd,          // %1 keyword, %2 count, %3 lines left
  TextAfterBlockCount,   // %1 keyword, %2 token, %3 entry keyword
  BlockNotClosed,        // %1 keyword, %2 count
  NotAnEntryLine,        // %1 keyword, %2 header line, %3 count, %4 entry keyword
  ExtraEntryLine,        // %1 keyword, %2 header line, %3 count
  CoordinateNotNumber,   // %1 token

  // Renumbering the references.
  PointNumberNotInteger,   // %1 token
  NormalNumberNotInteger,  // %1 token
  NoSuchPoint,             // %1 number, %2 entries of the block
  NoSuchNormal,            // %1 number, %2 entries of the block
  TwoVertexLines,
  VertexLineAfterVertexOrList,
  TwoNormalLists,
  NormalListPastEnd,          // %1 list line, %2 pairs
  NormalListTooShort,         // %1 list line, %2 pairs, %3 line where it ends
  NormalListCountNotInteger,  // %1 count text

  // Removing surplus animations.
  ControllerCountNotInteger,  // %1 count text, %2 node name
  ControllersPastEnd,
  KeysPastEnd,            // %1 controller line, %2 keys
  AnimationStripGeneral,  // %1 node name

  // Correcting materials.
  NoVtxStatesBlock,
  FlagsWordNotDecimal,  // %1 flags word

  // Compression.
  ScriptNoOutput,     // shown by the Linux script
  ScriptPressAnyKey,  // shown by the Linux script
  LocateTool,
  ToolNotFound,
  ToolStartFailed,

  // The tolerance fields of the merges.
  ToleranceInvalid,

  End
};

}  // namespace lodsmith
