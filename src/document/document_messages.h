// The messages of reading, analysing and checking shapes and files; their texts are in ui/texts/document_texts.cpp.
#pragma once

namespace lodsmith {

enum class DocumentMsg : int {
  First = 1100,

  // The analysis (analysis.h).
  AnalysisLine,             // %1 1-based line; %0 what was wrong there
  FileEndsEarly,            //
  KeywordNotFound,          // %1 keyword
  BlockNotFound,            // %1 block keyword
  NegativeCount,            // %1 block keyword
  ImageWithoutParentheses,  // %1 line
  ImageWithoutName,         // %1 line
  IndexOutside,             // %1 table, %2 index, %3 entries read
  VertexSetNegativeStart,   // %1 first vertex
  VertexSetNegativeCount,   // %1 count
  VertexSetTooLarge,        // %1 first vertex, %2 last vertex, %3 most vertices
  VertexSetsTooLarge,       // %1 total, %2 most vertices
  TooManyFaces,             // %1 faces of one primitive, %2 most faces
  NoPrimState,              //
  SeveralLods,              // warning; %1 LOD count as written
  SeveralSubObjects,        // warning; %1 sub-object count as written

  // The geometry (model_geometry.h).
  GeometryBlockMissing,      // %1: the block keyword
  GeometryUnbalanced,        // %1: the 1-based line of a bracket without its partner
  GeometryNotANumber,        // %1: the text, %2: the block it stands in
  GeometryCountTooLarge,     // %1: the block, %2: the count it names, %3: the entries it holds
  GeometryReferenceOutside,  // %1: what is referenced, %2: the index, %3: how many there are
  GeometryHierarchyLoop,     // %1: the matrix whose parent chain comes back to itself

  // The structural check (shape_check.h). In the problems of a block %1 is
  // the block's keyword and %2 its 1-based line.
  CheckNotOneShape,            //
  CheckUnclosedBlock,          // %1 block, %2 line
  CheckUnnamedBlock,           // %1 line
  CheckStrayToken,             // %1 line, %2 the text
  CheckListCount,              // %1 list, %2 line, %3 count as written, %4 entries, %5 entry keyword
  CheckBlockCount,             // %1 block, %2 line, %3 count as written, %4 child blocks
  CheckMatrixIndex,            // %1 vtx_state number, %2 line, %3 matrix
  CheckLodControlsMissing,     //
  CheckBlockMissing,           // %1 block, %2 line, %3 the missing block
  CheckSubObjectIncomplete,    // %1, %2
  CheckTrilistIncomplete,      // %1, %2
  CheckNodesMissing,           // %1, %2
  CheckDistanceSelection,      // %1, %2
  CheckNoSubObjects,           // %1, %2
  CheckSortVectorIndex,        // %1, %2, %3 index
  CheckVolumeIndex,            // %1, %2, %3 index
  CheckVertexSetStart,         // %1, %2, %3 first vertex, %4 expected
  CheckVertexSetState,         // %1, %2, %3 vtx_state
  CheckVertexSetCoverage,      // %1, %2, %3 covered, %4 vertices
  CheckPrimStateIndex,         // %1, %2
  CheckIndexCount,             // %1, %2, %3 count, %4 indices
  CheckCountMismatch,          // %1, %2
  CheckFaceCounts,             // %1, %2
  CheckIndexNotANumber,        // %1, %2, %3 the word
  CheckIndexOutside,           // %1, %2, %3 index, %4 vertices
  CheckIndexOutsideSet,        // %1, %2, %3 index, %4 vtx_state
  CheckGeometryInfo,           // %1, %2, %3 faces, %4 primitives
  CheckMapTooLong,             // %1, %2
  CheckMapEntry,               // %1, %2, %3 entry, %4 matrix
  CheckMapNodes,               // %1, %2, %3 entries, %4 nodes
  CheckNodeCounts,             // %1, %2, %3 matrix
  CheckPrimitivesWithoutNode,  // %1, %2, %3 matrix
  // A problem (%0) in a refused rewrite, and in the note on an opened shape.
  RefusedRewrite,
  StructureNote,

  // The forms of a shape file (shape_forms.h): a compressed or binary file
  // that breaks its form, and text that cannot be written in binary form.
  // Byte offsets count in the uncompressed blocks, from the file's start.
  FormNotThisForm,        //
  FormTruncated,          // %1 byte offset where the data ends too early
  FormLengthMismatch,     // %1 length the file announces, %2 length of the data
  FormBadStream,          // %1 the decompressor's report
  FormBlockPastParent,    // %1 block, %2 byte offset, %3 its byte count, %4 bytes left around it
  FormValuesDoNotFit,     // %1 block, %2 byte offset
  FormCountExceedsBlock,  // %1 block, %2 byte offset, %3 count as written, %4 entries
  FormUnknownToken,       // %1 token number, %2 byte offset
  FormUnexpectedBlock,    // %1 block found, %2 enclosing block, %3 byte offset
  FormTooDeep,            // %1 byte offset, %2 deepest nesting read
  TextUnknownBlock,       // %1 block name, %2 line
  TextBadValue,           // %1 the word, %2 block, %3 line, %4 kind of value expected
  TextUnexpected,         // %1 the word or block, %2 enclosing block, %3 line
  TextMissingValue,       // %1 block, %2 line
  TextUnbalanced,         // %1 line
  TextTooDeep,            // %1 line, %2 deepest nesting read

  End
};

}  // namespace lodsmith
