// The messages of the print-out and the PDF writer; their texts are in ui/texts/print_texts.cpp.
#pragma once

namespace lodsmith {

enum class PrintMsg : int {
  First = 1750,
  // The words of the settings listing.
  PageNumber,       // %1 page number
  ElementsTitle,    //
  SubObjectsTitle,  //
  LodsTitle,        //
  MatricesTitle,    //
  NumberColumn,     //
  VerticesColumn,   // the sub-object grid's vertex column (always of LOD 1)
  DistanceColumn,   //
  Tolerances,       // %1 point tolerance, %2 normal tolerance
  DetailTitle,      // %1 the screen error in pixels
  DetailColumn,     //
  End
};

}  // namespace lodsmith
