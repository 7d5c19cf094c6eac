// The messages of the LOD and sub-object generation and of the entry of its
// assignment in the window; their texts are in ui/texts/generation_texts.cpp.
//
// A refusal of the generation is its fault wrapped in Aborted (the fault,
// then "action aborted"); the faults of the vertex estimate stand alone.
#pragma once

namespace lodsmith {

enum class GenerationMsg : int {
  First = 1300,

  // ---- The wrapper of every refusal ----------------------------------------
  Aborted,  // %0 = the fault

  // ---- Locating the template -----------------------------------------------
  GeneralError,   // entries incomplete, file broken or empty
  LodNotFound,    // no "distance_levels " line before the template
  EmptyLod,       // %1 = LOD
  FileEndsEarly,  // %1 = missing line

  // ---- The template's layout ----------------------------------------------
  EndsInsideLodControls,    // %1 = first line of the sub-object
  SubObjectNotClosed,       // %1 = first line of the sub-object, %2 = line
  ValuesNotOnLine,          // %1 = line, %2 = keyword
  NodeNotThreeLines,        // %1 = line
  NodesNotClosed,           // %1 = geometry_nodes line, %2 = line that should close it
  NodeCountNoNumber,        // %1 = line
  MoreNodesThanMatrices,    // %1 = line, %2 = nodes, %3 = matrices
  NodesNotThreeLinesEach,   // %1 = line, %2 = nodes
  NodeMapNotClosed,         // %1 = line
  NegativeVertexCount,      // %1 = vertex set
  VertexSetsMissing,        // %1 = first line of the sub-object
  VerticesMismatch,         // %1 = vertices line, %2 = vertices expected
  VertexSetsCountMismatch,  // %1 = line
  NoVertexSetLine,          // %1 = line
  PrimitivesMissing,        // %1 = first line of the sub-object
  PrimitiveIncomplete,      // %1 = line
  PrimStateNoElement,       // %1 = line
  ElementInTwoPrimitives,   // %1 = element row, %2 = name, %3 = line of the second
  IndexNotInteger,          // %1 = line, %2 = the text
  TriangleListNotClosed,    // %1 = first line of the primitive, %2 = line
  AfterTriangleList,        // %1 = last line of the list, %2 = line that follows

  // ---- The inputs ----------------------------------------------------------
  DistanceMissing,           // %1 = LOD
  DistanceInvalid,           // %1 = LOD, %2 = the text
  CellNotInteger,            // %1 = element row, %2 = name, %3 = LOD
  AssignedWithoutPrimitive,  // %1 = element row, %2 = name, %3 = LOD
  AssignedWithoutFaces,      // %1 = element row, %2 = name, %3 = LOD
  AssignedWithoutVertexSet,  // %1 = element row, %2 = name, %3 = LOD, %4 = vtx_state
  AssignedWithoutMatrix,     // %1 = element row, %2 = name, %3 = LOD, %4 = vtx_state, %5 = matrix
  TrianglesNotWhole,         // %1 = element row, %2 = name, %3 = LOD, %4 = indices given

  // ---- Sorted sub-objects ----------------------------------------------------
  FlagsWordNotDecimal,  // %1 = flags word, %2 = line
  NoSortIndices,        // %1 = line
  NoVolumeForSorting,
  VolumeUnusable,            // %1 = line
  SortVectorsCountNoNumber,  // %1 = line
  FlagsWordCannotSort,       // %1 = flags word

  // ---- Writing -------------------------------------------------------------
  FacesNotInteger,       // %1 = element row, %2 = name
  ElementWithoutMatrix,  // %1 = element row
  SubObjectFacesTooLarge,
  SubObjectIndicesTooLarge,

  // ---- The vertex estimate ---------------------------------------------------
  ElementNotRead,            // %1 = element row
  ElementWithoutVertexSet,   // %1 = element row, %2 = vtx_state
  TooManyVertices,           // %1 = vertices, %2 = the largest count
  TriangleVertexOutsideSet,  // %1 = element row, %2 = LOD, %3 = vertex, %4 = vtx_state

  // ---- The element meshes ------------------------------------------------------
  CoordinateNotFinite,  // %1 = element row, %2 = point

  // ---- Progress --------------------------------------------------------------
  SubObjectProgress,  // %1 = LOD, %2 = sub-object
  VerticesProgress,
  FacesProgress,

  // ---- The assignment's entry in the window ------------------------------------
  AssignmentRefused,
  SortMarkRefused,
  DistanceRefused,
  DistanceMissingHint,
  BulkNumberRefused,
  ShiftRowsDown,
  ShiftRowsUp,

  End
};

}  // namespace lodsmith
