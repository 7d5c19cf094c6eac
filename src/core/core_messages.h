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

  // Files (file_io.h). %1 is the file; %2 the system's reason where given.
  CannotReadFile,     // %1 file, %2 reason
  NotAFile,           // %1 path
  ReadFailed,         // %1 file
  CannotWrite,        // %1 file, %2 reason
  CannotWriteFolder,  // %1 file as given, %2 the folder it names
  CannotBackUp,       // %1 backup file, %2 reason
  End
};

}  // namespace lodsmith
