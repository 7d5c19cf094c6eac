// Built-in texts of the ui layer's messages.
#include "ui/texts/messages.h"
#include "ui/texts/ui_messages.h"

namespace lodsmith {

namespace {
constexpr int Id(UiMsg m) { return static_cast<int>(m); }

constexpr MessageText kTexts[] = {
    // Questions and notices of the handlers.
    {Id(UiMsg::TextChangedSave), "Text wurde geändert. Speichern?", "The text has been changed. Save it?"},
    {Id(UiMsg::NoFileName), "Kein Dateiname angegeben, es wird nicht gespeichert!",
     "No file name given, nothing is saved!"},
    {Id(UiMsg::PrintQuestion), "Einstellungen auf Standarddrucker ausgeben?",
     "Print the settings on the default printer?"},
    {Id(UiMsg::LandscapeQuestion), "Querformat (empfohlen ab 4 LOD's)?", "Landscape (recommended from 4 LODs)?"},
    {Id(UiMsg::NoPrinter), "Zur Zeit ist kein Standarddrucker gewählt", "No default printer is chosen at present"},
    {Id(UiMsg::PdfFilter), "PDF-Dateien (*.pdf)|*.pdf", "PDF files (*.pdf)|*.pdf"},
    {Id(UiMsg::PdfNotWritten), "Die Datei %1 konnte nicht geschrieben werden.", "The file %1 could not be written."},
    {Id(UiMsg::PrintFailed), "Der Ausdruck konnte nicht an den Drucker übergeben werden.",
     "The print-out could not be handed to the printer."},
    {Id(UiMsg::OverwriteHere),
     "Evtl. hier getätigte Einstellungen werden ohne Rückfrage überschrieben. Sind Sie sicher?",
     "Any settings made here are overwritten without asking. Are you sure?"},
    {Id(UiMsg::OverwriteSaved),
     "Evtl. vorher gespeicherte Einstellungen werden ohne Rückfrage überschrieben. Das gilt auch für die "
     "Einstellungen, die beim letzten Speichern der Datei mitgespeichert wurden. Sind Sie sicher?",
     "Any settings saved before are overwritten without asking. This includes the settings that were saved "
     "together with the file the last time. Are you sure?"},
    {Id(UiMsg::SettingsNotStored),
     "Die Einstellungen können nicht gespeichert werden: In %1 kann nicht geschrieben werden. Lodsmith läuft "
     "weiter, merkt sich Anzahl und Entfernungen der LODs, den letzten Ordner und die Sprache aber nur bis zum "
     "Beenden.",
     "The settings cannot be stored: %1 cannot be written. Lodsmith goes on running, but it keeps the number and "
     "distances of the LODs, the last folder and the language only until it is closed."},

    // Titles and buttons of the message boxes.
    {Id(UiMsg::BoxWarning), "Warnung", "Warning"},
    {Id(UiMsg::BoxInformation), "Information", "Information"},
    {Id(UiMsg::BoxConfirmation), "Bestätigen", "Confirm"},
    {Id(UiMsg::BoxError), "Fehler", "Error"},
    {Id(UiMsg::ButtonYes), "Ja", "Yes"},
    {Id(UiMsg::ButtonNo), "Nein", "No"},
    {Id(UiMsg::ButtonCancel), "Abbrechen", "Cancel"},
    {Id(UiMsg::ButtonOk), "OK", "OK"},

    // Design-time captions of the window. Some stand in English on the
    // German page as well: those are the same in both columns.
    {Id(UiMsg::CaptionSplittingTab), "Zerlegung", "Splitting"},
    {Id(UiMsg::CaptionSettingsTab), "Einstellungen/Settings", "Settings/Einstellungen"},
    {Id(UiMsg::CaptionCompress), "Compress/Decompress .s", "Compress/Decompress .s"},
    {Id(UiMsg::CaptionOpen), "Öffnen", "Open"},
    {Id(UiMsg::CaptionGenerate), "LOD's/Subobjekte erzeugen", "Create LODs/sub-objects"},
    {Id(UiMsg::CaptionStripAnimations), "Überz. Animationen löschen", "Delete surplus animations"},
    {Id(UiMsg::CaptionMergePoints), "Punkte zusammenfassen", "Merge points"},
    {Id(UiMsg::CaptionMergeNormals), "Normalen zusammenfassen", "Merge normals"},
    {Id(UiMsg::CaptionFixMaterials), "TSM Mat.-Fehler korrigieren", "Fix TSM material errors"},
    {Id(UiMsg::CaptionUndo), "Alles rückgängig", "Undo all"},
    {Id(UiMsg::CaptionSave), "Speichern", "Save"},
    {Id(UiMsg::CaptionSaveAs), "Speichern unter...", "Save as..."},
    {Id(UiMsg::CaptionQuit), "Weg hier!", "Exit"},
    {Id(UiMsg::CaptionReadAnimations), "Anim. lesen", "Read anim."},
    {Id(UiMsg::CaptionDefaultSettings), "Grundeinstellung", "Default settings"},
    {Id(UiMsg::CaptionSaveSettings), "Einstellung speichern", "Save settings"},
    {Id(UiMsg::CaptionLoadSettings), "Einstellung laden", "Load settings"},
    {Id(UiMsg::CaptionPrintSettings), "Einstellung drucken", "Print settings"},
    {Id(UiMsg::CaptionBeta), "Beta-Version! Benutzung auf eigene Gefahr!", "Beta version! Use at your own risk!"},
    {Id(UiMsg::CaptionElements), "Elemente", "Elements"},
    {Id(UiMsg::CaptionSubObjects), "Subobjekte", "Sub-objects"},
    {Id(UiMsg::CaptionMatrices), "Matrizen", "Matrices"},
    {Id(UiMsg::CaptionAssignHelp),
     "Hier für jedes Element eintragen, in welches Subobjekt es verschoben werden soll (Spalte \"L xx\"). "
     "Gleichzeitig bei den Subobjekten die Vertices beobachten.",
     "For each element, enter the sub-object it is to be moved to (column \"L xx\"). Watch the vertex counts of "
     "the sub-objects at the same time."},
    {Id(UiMsg::CaptionSortHelp),
     "Bei denjenigen Subobjekten, die sortiert werden sollen, ein \"x\" eintragen (Spalte \"L xx\").",
     "Enter an \"x\" for each sub-object that is to be sorted (column \"L xx\")."},
    {Id(UiMsg::CaptionVertexLimit), "Darauf achten, dass kein Subobjekt mehr als ca. 14000 Vertices enthält.",
     "Make sure that no sub-object contains more than about 14000 vertices."},
    {Id(UiMsg::CaptionNormals), "Normalen:", "Normals:"},
    {Id(UiMsg::CaptionBetaEnglish), "This program is a beta. Use at your own risk!",
     "This program is a beta. Use at your own risk!"},
    {Id(UiMsg::CaptionGermanOnly),
     "Sorry, the instructions are in German only. Please do not use the program if you don't understand the "
     "instructions.",
     "Sorry, the instructions are in German only. Please do not use the program if you don't understand the "
     "instructions."},
    {Id(UiMsg::CaptionAnimationHelp),
     "Falls eine Animation gelöscht werden soll, in der Spalte \"Anim.\" das \"x\" löschen und Schalter \"Überz. "
     "Animationen löschen\" betätigen. Zusätzliche \"x\" erzeugen keine neuen Animationen.",
     "To delete an animation, delete the \"x\" in the column \"Anim.\" and press the button \"Delete surplus "
     "animations\". Additional \"x\" do not create new animations."},
    {Id(UiMsg::CaptionLodCount), "Anzahl der LODs:", "Number of LODs:"},
    {Id(UiMsg::CaptionDistanceLevels), "Entfernungsstufen:", "Distance levels:"},
    {Id(UiMsg::CaptionLod), "LOD:", "LOD:"},
    {Id(UiMsg::CaptionLodHelp),
     "L 1 bezieht sich auf das 1. LOD, L 2 auf das 2. LOD usw. Tragen Sie pro LOD eine Zahl ab 1 (oder 0 oder "
     "999) ein und lassen Sie keine Lücken. ",
     "L 1 refers to the 1st LOD, L 2 to the 2nd LOD and so on. Enter a number from 1 up (or 0 or 999) for each "
     "LOD and leave no gaps. "},
    {Id(UiMsg::CaptionZeroHelp),
     "Eine 0 bedeutet, dass das Element in jedem Subobjekt dieses LOD's vorkommt, eine 999, dass es in diesem LOD "
     "überhaupt nicht vorkommt.",
     "A 0 means that the element occurs in every sub-object of this LOD, a 999 that it does not occur in this LOD "
     "at all."},
    {Id(UiMsg::CaptionDistanceHelp),
     "Tragen Sie Werte ungleich Null bis höchstens 2000 ein, von oben nach unten aufsteigend sortiert.",
     "Enter values other than zero, at most 2000, in ascending order from top to bottom."},
    {Id(UiMsg::CaptionDistanceMeaning), "Der Wert bezieht sich auf die höchste Entfernung, für die das LOD gilt.",
     "The value is the greatest distance at which the LOD is used."},
    {Id(UiMsg::CaptionAllElements), "Alle Elemente L 1 =", "All elements L 1 ="},
    {Id(UiMsg::CaptionSameLevel), "Zwei oder mehr LOD's mit gleicher Stufe sind sinnlos.",
     "Two or more LODs with the same distance level make no sense."},
    {Id(UiMsg::CaptionLods), "LODs", "LODs"},
    {Id(UiMsg::CaptionPointsMetres), "Punkte (Meter):", "Points (metres):"},
    {Id(UiMsg::CaptionMerge), "Zusammenfassen", "Merging"},
    {Id(UiMsg::CaptionToleranceHelp),
     "Punkte oder Normalen werden zusammengefasst, wenn sie sich in allen Koordinaten höchstens um die "
     "eingestellte Differenz oder weniger unterscheiden.",
     "Points or normals are merged when they differ in every coordinate by no more than the set difference."},
    {Id(UiMsg::CaptionZeroToleranceHelp),
     "Standard ist Null. Dann werden nur identische Punkte oder Normalen zusammengefasst. Bei allen anderen Werten "
     "kann es zu optischen Veränderungen des Modells kommen.",
     "The default is zero: then only identical points or normals are merged. Any other value may change the look "
     "of the model."},
    {Id(UiMsg::CaptionStartValueHelp),
     "Möglicher Ausgangswert für beide Einstellungen: 0,001 (also 1 Millimeter bei Punkten, 1 Tausendstel bei "
     "Normalen).",
     "A possible starting value for both settings: 0.001 (that is 1 millimetre for points, 1 thousandth for "
     "normals)."},
    {Id(UiMsg::CaptionLanguage), "Sprache:", "Language:"},
    {Id(UiMsg::CaptionLanguageEnglish), "Language (under construction):", "Language (under construction):"},
    {Id(UiMsg::CaptionTranslationNote), "Temporarily, only the buttons and labels have translated captions.",
     "Temporarily, only the buttons and labels have translated captions."},
    {Id(UiMsg::DistanceColumnHeader), "Meter", "Metres"},
    {Id(UiMsg::ReadCompressed), "%1 Zeilen – komprimiert gelesen", "%1 lines – read compressed"},
    {Id(UiMsg::ReadBinary), "%1 Zeilen – binär gelesen", "%1 lines – read binary"},
    {Id(UiMsg::ReadEightBit), "%1 Zeilen – als 8-Bit-Text gelesen", "%1 lines – read as 8-bit text"},
    {Id(UiMsg::ReadNoBom), "%1 Zeilen – als Unicode-Text ohne Kennung gelesen",
     "%1 lines – read as Unicode text without the byte-order mark"},
    {Id(UiMsg::SaveFormFilter),
     "Shape-Datei, Unicode-Text (*.s)|*.s|Shape-Datei, komprimiert (*.s)|*.s|Shape-Datei, binär (*.s)|*.s",
     "Shape file, Unicode text (*.s)|*.s|Shape file, compressed (*.s)|*.s|Shape file, binary (*.s)|*.s"},
    {Id(UiMsg::OfferBuiltInConvert),
     "Ohne ffeditc_unicode.exe kann Lodsmith die Datei selbst umwandeln: eine komprimierte oder binäre Datei "
     "wird zu Unicode-Text, eine Text-Datei wird komprimiert. Die bisherige Datei bleibt als .BAK erhalten. "
     "Datei jetzt wählen und umwandeln?",
     "Without ffeditc_unicode.exe Lodsmith can convert the file itself: a compressed or binary file becomes "
     "Unicode text, a text file is compressed. The previous file is kept as .BAK. Choose the file and convert "
     "it now?"},
    {Id(UiMsg::ConvertedToText),
     "Die Datei %1 wurde entpackt und als Unicode-Text gespeichert. Die bisherige Datei ist %2.",
     "The file %1 was decompressed and saved as Unicode text. The previous file is %2."},
    {Id(UiMsg::ConvertedToCompressed), "Die Datei %1 wurde komprimiert gespeichert. Die bisherige Datei ist %2.",
     "The file %1 was saved compressed. The previous file is %2."},
    {Id(UiMsg::NotAShapeForm),
     "Die Datei %1 ist keine Shape-Datei in einer bekannten Form. Es wurde nichts umgewandelt.",
     "The file %1 is no shape file in a known form. Nothing was converted."},
    {Id(UiMsg::WindowUsage), R"(Aufruf: lodsmith [OPTIONEN] [SHAPE]

Startet das Fenster von Lodsmith und öffnet SHAPE wie "Öffnen" (bei mehreren die
erste). Die übrigen Optionen dienen der Dokumentation und den Tests:
  --screenshot DATEI  das Fenster zeigen, ein Bild davon speichern (.png, unter
                      Windows auch .bmp) und beenden
  --open SHAPE        (mit --screenshot) vorher SHAPE öffnen
  --page N            (mit --screenshot) Seite N zeigen (0 oder 1)
  --preview           die Vorschau öffnen (mit --screenshot: ein Bild von ihr)
  -h, --help          diese Hilfe ausgeben
  --version           Namen und Version des Programms ausgeben
)",
     R"(Usage: lodsmith [OPTIONS] [SHAPE]

Starts Lodsmith's window and opens SHAPE as "Open" does (of several, the first).
The other options serve documentation and testing:
  --screenshot FILE   show the window, save a picture of it (.png, on Windows
                      also .bmp) and quit
  --open SHAPE        (with --screenshot) open SHAPE first
  --page N            (with --screenshot) show page N (0 or 1)
  --preview           open the preview (with --screenshot: a picture of it)
  -h, --help          print this help
  --version           print the program's name and version
)"},
    {Id(UiMsg::NoDisplay), "lodsmith: keine Anzeige gefunden, das Fenster kann nicht gezeigt werden.",
     "lodsmith: no display found, the window cannot be shown."},
    {Id(UiMsg::PictureNotWritten), "lodsmith: %1 kann nicht geschrieben werden.", "lodsmith: cannot write %1"},
    {Id(UiMsg::OnlyFirstShapeOpened), "Es wurden %1 Dateien angegeben; geöffnet wird nur die erste, %2.",
     "%1 files were given; only the first one, %2, is opened."},
    {Id(UiMsg::CaptionAutoLods), "Automatische LODs", "Automatic LODs"},
    {Id(UiMsg::DetailColumnHeader), "Detailgrad", "Detail"},
    {Id(UiMsg::CaptionScreenError), "Bildschirmfehler (Pixel):", "Screen error (pixels):"},
    {Id(UiMsg::CaptionSuggestDistances), "Entfernungen vorschlagen", "Suggest distances"},
    {Id(UiMsg::CaptionDetailHelp),
     "100%: die Elemente, wie sie sind. N% (1 bis 99): jedes Element des LODs behält etwa N % seiner Dreiecke. "
     "auto (nicht für LOD 1): so wenige Dreiecke, dass der Fehler dort, wo das LOD zuerst zu sehen ist, den "
     "Bildschirmfehler nicht übersteigt. \"Entfernungen vorschlagen\" setzt jede Entfernung dorthin, wo der Fehler "
     "des nächsten LODs den Bildschirmfehler einhält.",
     "100%: the elements as they are. N% (1 to 99): every element of the LOD keeps about N % of its triangles. "
     "auto (not for LOD 1): as few triangles as keep the error within the screen error where the LOD is first "
     "seen. \"Suggest distances\" sets each distance where the next LOD's error keeps within the screen error."},
};
}  // namespace

std::span<const MessageText> UiTexts() { return kTexts; }

}  // namespace lodsmith
