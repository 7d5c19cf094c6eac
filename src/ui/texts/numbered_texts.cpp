// The built-in copy of the language file's numbered texts that the program's
// messages and the batch program's lines are made of: what is shown when the
// file has no such text in the chosen language. A test keeps it equal to the
// file's German and English sections.
#include "ui/texts/messages.h"

namespace lodsmith {

namespace {

constexpr MessageText kNumbered[] = {
    {3, "LOD's/Subobjekte erzeugen", "Create LODs/sub-objects"},
    {5, "Punkte zusammenfassen", "Merge points"},
    {6, "Normalen zusammenfassen", "Merge normals"},
    {7, "TSM Mat.-Fehler korrigieren", "Fix TSM material errors"},
    {20,
     "Die Bildschirmauflösung ist kleiner als 1024 x 768 Pixel. Bitte eine Auflösung von mindestens 1024 x 768 "
     "einstellen, sonst ist das Fenster nicht vollständig sichtbar.",
     "The screen resolution is smaller than 1024 x 768 pixels. Please set a resolution of at least 1024 x 768, "
     "otherwise the window cannot be shown completely."},
    {22, "Zeilen", "lines"},
    {23, "Zeilen gespeichert", "lines saved"},
    {24, "von", "of"},
    {27, "Nr.", "No."},
    {28, "Entfernung", "Distance"},
    {59, "Die Datei konnte nicht gespeichert werden. Die vorherige Fassung ist unverändert erhalten.",
     "The file could not be saved. The previous version has been kept unchanged."},
    {60,
     "Die Datei konnte nicht vollständig gelesen oder ausgewertet werden. Sie ist möglicherweise fehlerhaft oder keine "
     "Shape-Datei im erwarteten Aufbau.",
     "The file could not be read or analysed completely. It may be damaged, or it is not a shape file of the expected "
     "layout."},
    {61,
     "Die Datei beginnt nicht mit der Unicode-Kennung (UTF-16) und ist wahrscheinlich keine unkomprimierte "
     "Shape-Datei. Trotzdem öffnen?",
     "The file does not start with the Unicode mark (UTF-16) and is probably not an uncompressed shape file. Open it "
     "anyway?"},
    {62, "Sind Sie sicher?", "Are you sure?"},
    {63, "Punkte können zusammengefasst werden, Toleranz", "points can be merged, tolerance"},
    {64, "Zusammenfassen?", "Merge them?"},
    {65, "Es gibt keine Punkte, die zusammengefasst werden können.", "There are no points that can be merged."},
    {66, "Normalen können zusammengefasst werden, Toleranz", "normals can be merged, tolerance"},
    {67, "Es gibt keine Normalen, die zusammengefasst werden können.", "There are no normals that can be merged."},
    {68, "Es gibt nichts rückgängig zu machen.", "There is nothing to undo."},
    {69, "Alle Änderungen seit dem Öffnen der Datei rückgängig machen?",
     "Undo all changes made since the file was opened?"},
};

}  // namespace

std::span<const MessageText> NumberedTexts() { return kNumbered; }

std::string BuiltInNumberedText(int n, Language language) {
  for (const MessageText& t : kNumbered)
    if (t.id == n) return language == Language::English ? t.english : t.german;
  return "";
}

}  // namespace lodsmith
