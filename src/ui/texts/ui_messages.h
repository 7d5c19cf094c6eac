// The messages of the window model; their texts are in ui/texts/ui_texts.cpp.
#pragma once

namespace lodsmith {

enum class UiMsg : int {
  First = 1800,

  // Questions and notices of the handlers.
  TextChangedSave,    // the document has unsaved changes: save it?
  NoFileName,         // saving without a file name
  PrintQuestion,      // print the settings on the default printer?
  LandscapeQuestion,  // the print-out's orientation
  NoPrinter,          // no default printer
  PdfFilter,          // file dialog filter of the PDF listing
  PdfNotWritten,      // %1: the PDF file
  PrintFailed,        // the printer did not take the print-out
  OverwriteHere,      // settings made in the window are overwritten: sure?
  OverwriteSaved,     // settings saved before are overwritten: sure?
  SettingsNotStored,  // %1: the program's settings file

  // Titles and buttons of the message boxes.
  BoxWarning,
  BoxInformation,
  BoxConfirmation,
  BoxError,
  ButtonYes,
  ButtonNo,
  ButtonCancel,
  ButtonOk,

  // Design-time captions of the window (the language file replaces most of
  // them when the window is created).
  CaptionSplittingTab,
  CaptionSettingsTab,
  CaptionCompress,
  CaptionOpen,
  CaptionGenerate,
  CaptionStripAnimations,
  CaptionMergePoints,
  CaptionMergeNormals,
  CaptionFixMaterials,
  CaptionUndo,
  CaptionSave,
  CaptionSaveAs,
  CaptionQuit,
  CaptionReadAnimations,
  CaptionDefaultSettings,
  CaptionSaveSettings,
  CaptionLoadSettings,
  CaptionPrintSettings,
  CaptionBeta,
  CaptionElements,
  CaptionSubObjects,
  CaptionMatrices,
  CaptionAssignHelp,
  CaptionSortHelp,
  CaptionVertexLimit,
  CaptionNormals,
  CaptionBetaEnglish,
  CaptionGermanOnly,
  CaptionAnimationHelp,
  CaptionLodCount,
  CaptionDistanceLevels,
  CaptionLod,
  CaptionLodHelp,
  CaptionZeroHelp,
  CaptionDistanceHelp,
  CaptionDistanceMeaning,
  CaptionAllElements,
  CaptionSameLevel,
  CaptionLods,
  CaptionPointsMetres,
  CaptionMerge,
  CaptionToleranceHelp,
  CaptionZeroToleranceHelp,
  CaptionStartValueHelp,
  CaptionLanguage,
  CaptionLanguageEnglish,
  CaptionTranslationNote,
  DistanceColumnHeader,  // the distance grid's value column

  // The forms of a shape file.
  ReadCompressed,         // %1: line count; status line after opening a compressed file
  ReadBinary,             // %1: line count
  ReadEightBit,           // %1: line count
  ReadNoBom,              // %1: line count
  SaveFormFilter,         // save dialog filter: Unicode text, compressed, binary
  OfferBuiltInConvert,    // the utility is missing: convert with the program itself?
  ConvertedToText,        // %1: the file, now Unicode text; %2 its backup
  ConvertedToCompressed,  // %1: the file, now compressed; %2 its backup
  NotAShapeForm,          // %1: a file that is none of the shape forms

  // The window program's own output on the command line.
  WindowUsage,           // lodsmith --help (both window programs)
  NoDisplay,             // no display to show the window on
  PictureNotWritten,     // %1: the --screenshot file
  OnlyFirstShapeOpened,  // %1: how many shapes were given, %2: the one opened

  // The automatic LODs on the settings page.
  CaptionAutoLods,          // the panel's heading
  DetailColumnHeader,       // the detail grid's value column
  CaptionScreenError,       // the budget's label
  CaptionSuggestDistances,  // the button
  CaptionDetailHelp,        // what the details and the button do

  End
};

}  // namespace lodsmith
