// The messages of the preview; their texts are in ui/texts/preview_texts.cpp.
#pragma once

namespace lodsmith {

enum class PreviewMsg : int {
  First = 1600,

  // Geometry that cannot be drawn.
  Unreadable,        // %0: what is wrong; the shape cannot be shown
  CountTooLarge,     // %1: the block, %2: the count it names, %3: the entries it holds
  ReferenceOutside,  // %1: what is referenced, %2: the index, %3: how many there are
  NoDistance,        // %1: the LOD whose distance is not a positive number ("as seen")
  PngNotWritten,     // %1: the file; %0: why

  // The words of the preview window.
  WindowTitle,        // %1: the shape's file name
  ButtonCaption,      // the form's button that opens the window
  ViewFront,          //
  ViewSide,           //
  ViewTop,            //
  ViewIso,            //
  ResetView,          //
  AsSeen,             // the perspective from the LOD's distance
  ColourBySubObject,  //
  LodLabel,           // the LOD spin edit's label
  AllLods,            // the spin edit at 0: every element, no LOD filter
  StatusShown,        // %1: triangles shown, %2: elements shown
  StatusAsSeen,       // %1: LOD, %2: distance in metres, %3: model height in screen pixels, %4: triangles
  NoShape,            // nothing is open

  // The batch program's picture.
  SizeValues,  // --size takes WIDTHxHEIGHT
  LodOutside,  // %1: the LOD asked for, %2: the LOD count
  Written,     // %1: the picture's file, %2: what it shows (StatusShown or StatusAsSeen)

  // Where a LOD is first seen (the largest distance of the LODs before it).
  AsFirstSeen,        // the preview's choice
  StatusAsFirstSeen,  // %1: LOD, %2: distance in metres, %3: height in screen pixels, %4: triangles
  FirstSeenAtZero,    // LOD 1 is seen from 0 m: there is no picture from there

  End
};

}  // namespace lodsmith
