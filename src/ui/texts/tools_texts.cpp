// Built-in texts of the tools layer's messages.
#include "tools/tools_messages.h"
#include "ui/texts/messages.h"

namespace lodsmith {

namespace {

constexpr int Id(ToolsMsg m) { return static_cast<int>(m); }

constexpr MessageText kTexts[] = {
    {Id(ToolsMsg::NothingChanged), "%0 Es wurde nichts geändert.", "%0 Nothing was changed."},
    {Id(ToolsMsg::AtLine), "Zeile %1: %0", "Line %1: %0"},
    {Id(ToolsMsg::InAnimation), "Animation %1: %0", "Animation %1: %0"},
    {Id(ToolsMsg::NothingCorrected), "%0; es wurde nichts korrigiert.", "%0; nothing was corrected."},
    {Id(ToolsMsg::LayoutNotRenumbered), "%0; dieses Format kann beim Zusammenfassen nicht umnummeriert werden.",
     "%0; this layout cannot be renumbered when merging."},

    {Id(ToolsMsg::SingleLineNoBlock), "Die Datei besteht nur aus einer Zeile und enthält keinen Block \"%1\".",
     "The file consists of a single line and contains no block \"%1\"."},
    {Id(ToolsMsg::BlockCountNotInteger), "Die Anzahl des Blocks \"%1\" \"%2\" ist keine gültige ganze Zahl.",
     "The count \"%2\" of the block \"%1\" is not a valid integer."},
    {Id(ToolsMsg::BlockCountNegative), "Der Block \"%1\" hat die negative Anzahl %2.",
     "The block \"%1\" has the negative count %2."},
    {Id(ToolsMsg::BlockPastEnd), "Der Block \"%1\" soll %2 Einträge haben, die Datei endet aber nach %3 Zeilen.",
     "The block \"%1\" is to have %2 entries, but the file ends after %3 lines."},
    {Id(ToolsMsg::TextAfterBlockCount),
     "Nach der Anzahl des Blocks \"%1\" steht noch \"%2\"; jeder Eintrag \"%3 ( ... )\" muss auf einer eigenen "
     "Zeile stehen.",
     "The count of the block \"%1\" is followed by \"%2\"; every entry \"%3 ( ... )\" must stand on a line of "
     "its own."},
    {Id(ToolsMsg::BlockNotClosed),
     "Der Block \"%1\" wird nach seinen %2 Einträgen nicht geschlossen, die Datei endet vorher.",
     "The block \"%1\" is not closed after its %2 entries; the file ends before."},
    {Id(ToolsMsg::NotAnEntryLine),
     "Der Block \"%1\" aus Zeile %2 soll %3 Einträge \"%4 ( x y z )\" haben, je einen vollständig auf einer "
     "eigenen Zeile; diese Zeile enthält keinen solchen Eintrag.",
     "The block \"%1\" of line %2 is to have %3 entries \"%4 ( x y z )\", each complete on a line of its own; "
     "this line holds no such entry."},
    {Id(ToolsMsg::ExtraEntryLine),
     "Der Block \"%1\" aus Zeile %2 soll %3 Einträge haben, hier folgt aber statt der schließenden Klammer \")\" "
     "eine weitere Zeile.",
     "The block \"%1\" of line %2 is to have %3 entries, but another line follows here instead of the closing "
     "parenthesis \")\"."},
    {Id(ToolsMsg::CoordinateNotNumber), "\"%1\" ist keine gültige Zahl (Dezimaltrennzeichen \".\").",
     "\"%1\" is not a valid number (decimal separator \".\")."},

    {Id(ToolsMsg::PointNumberNotInteger), "Die Nummer \"%1\" (Punkt) ist keine gültige ganze Zahl.",
     "The number \"%1\" (point) is not a valid integer."},
    {Id(ToolsMsg::NormalNumberNotInteger), "Die Nummer \"%1\" (Normale) ist keine gültige ganze Zahl.",
     "The number \"%1\" (normal) is not a valid integer."},
    {Id(ToolsMsg::NoSuchPoint), "Punkt %1 gibt es nicht, der Block hat nur %2 Einträge.",
     "There is no point %1; the block has only %2 entries."},
    {Id(ToolsMsg::NoSuchNormal), "Normale %1 gibt es nicht, der Block hat nur %2 Einträge.",
     "There is no normal %1; the block has only %2 entries."},
    {Id(ToolsMsg::TwoVertexLines), "Zwei vertex-Zeilen folgen direkt aufeinander",
     "Two vertex lines follow each other directly"},
    {Id(ToolsMsg::VertexLineAfterVertexOrList),
     "Diese vertex-Zeile folgt direkt auf eine vertex-Zeile oder eine Liste normal_idxs",
     "This vertex line directly follows a vertex line or a normal_idxs list"},
    {Id(ToolsMsg::TwoNormalLists), "Zwei Listen normal_idxs folgen direkt aufeinander",
     "Two normal_idxs lists follow each other directly"},
    {Id(ToolsMsg::NormalListPastEnd),
     "Die Liste normal_idxs in Zeile %1 soll %2 Paare haben, die Datei endet aber vorher.",
     "The normal_idxs list in line %1 is to have %2 pairs, but the file ends before."},
    {Id(ToolsMsg::NormalListTooShort),
     "Die Liste normal_idxs in Zeile %1 soll %2 Paare haben, endet aber schon in Zeile %3.",
     "The normal_idxs list in line %1 is to have %2 pairs, but it ends in line %3 already."},
    {Id(ToolsMsg::NormalListCountNotInteger), "Die Anzahl der Liste normal_idxs \"%1\" ist keine gültige ganze Zahl.",
     "The count \"%1\" of the normal_idxs list is not a valid integer."},

    {Id(ToolsMsg::ControllerCountNotInteger),
     "Die Anzahl der Controller \"%1\" der Animation %2 ist keine gültige ganze Zahl.",
     "The controller count \"%1\" of the animation %2 is not a valid integer."},
    {Id(ToolsMsg::ControllersPastEnd), "Die Controller laufen über das Ende der Datei hinaus.",
     "The controllers run past the end of the file."},
    {Id(ToolsMsg::KeysPastEnd), "Der Controller in Zeile %1 hat %2 Schlüssel, die Datei endet aber vorher.",
     "The controller in line %1 has %2 keys, but the file ends before."},
    {Id(ToolsMsg::AnimationStripGeneral),
     "Allgemeiner Fehler, Animation %1 gelöscht, evtl. jedoch nicht die Daten. Vielleicht haben zwei oder mehr "
     "Matrizen den gleichen Namen (bitte ändern)?",
     "General error: animation %1 deleted, but possibly not its data. Do two or more matrices have the same name "
     "(please change)?"},

    {Id(ToolsMsg::NoVtxStatesBlock), "Die Datei enthält keinen Block \"vtx_states\"",
     "The file contains no block \"vtx_states\""},
    {Id(ToolsMsg::FlagsWordNotDecimal), "Das Flag-Wort \"%1\" des sub_object_header ist keine Dezimalzahl",
     "The flags word \"%1\" of the sub_object_header is not a decimal number"},

    {Id(ToolsMsg::ScriptNoOutput),
     "ffeditc_unicode.exe hat keine Ausgabe (temp.s) geschrieben; die Datei bleibt unverändert.",
     "ffeditc_unicode.exe wrote no output (temp.s); the file stays unchanged."},
    {Id(ToolsMsg::ScriptPressAnyKey), "Weiter mit einer beliebigen Taste . . . ", "Press any key to continue . . . "},
    {Id(ToolsMsg::LocateTool),
     "Bitte ffeditc_unicode.exe suchen, normalerweise im Verzeichnis (trainsimulator)\\utils\\ffedit.",
     "Please locate ffeditc_unicode.exe, normally in the folder (trainsimulator)\\utils\\ffedit."},
    {Id(ToolsMsg::ToolNotFound), "ffeditc_unicode.exe nicht gefunden, Abbruch!",
     "ffeditc_unicode.exe not found, cancelled!"},
    {Id(ToolsMsg::ToolStartFailed),
     "ffeditc_unicode.exe konnte nicht gestartet werden. Dieser Programmteil wurde nur unter Windows 2000 getestet.",
     "ffeditc_unicode.exe could not be started. This part of the program was tested under Windows 2000 only."},

    {Id(ToolsMsg::ToleranceInvalid),
     "Bitte positive Zahl eintragen, Dezimaltrennzeichen wie im Betriebssystem eingestellt.",
     "Please enter a positive number, with the decimal separator set in the operating system."},
};

}  // namespace

std::span<const MessageText> ToolsTexts() { return kTexts; }

}  // namespace lodsmith
