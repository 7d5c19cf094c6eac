// Built-in texts of the cli layer's messages.
#include "cli/cli_messages.h"
#include "ui/texts/messages.h"

namespace lodsmith {

namespace {
constexpr int Id(CliMsg m) { return static_cast<int>(m); }

// The batch program's help names the window's buttons by their German
// captions, in both languages.
constexpr const char* kUsageEnglish = R"(Usage: lodsmith-cli [OPTIONS] SHAPE... [OPTIONS]

Opens each SHAPE, in any of its forms, as the window's "Open" does (analysis,
default assignment, and the shape's own .Lodsmith settings file when there is
one), applies the settings options, runs the actions in the order given, then
writes the result if asked. The order of the settings options does not matter.

Shapes:
  SHAPE...              one shape file or several; a folder with --recursive
  -r, --recursive       work on every .s file below each folder given
  -j, --jobs N          work on N shapes at once (default: one per core)
  -q, --quiet           no line per action, no progress line
  --timing              print where the time went (opening, actions, saving,
                        the program's own share per shape)

Output:
  -o, --output FILE     write the shape to FILE (as "Save as...": FILE's
                        previous content becomes FILE's .BAK) and the per-model
                        settings beside FILE (one shape only)
  --save                save over SHAPE (as "Save": SHAPE.BAK keeps the
                        previous file) and its settings file
  --format text|compressed|binary
                        the form -o/--save write the shape in (default: as
                        "Save", which keeps a compressed or binary shape in
                        its form and writes every other one as Unicode text)
  --decompress          the same as --format text
  --compress-builtin    the same as --format compressed (the program's own
                        converter; no utility needed)
  --report json|tsv     print all five grids, the messages shown, the line count
                        and the changed flag (after the actions); json adds the
                        actions and the notes, one line per shape

Settings (applied after the settings file, whatever their order):
  --settings FILE       load this per-model settings file instead of the shape's own
  --lods N              the number of LODs (1..99), as the settings page sets it
  --distances D1,D2,... the distance of LOD 1, 2, ... (1..2000 each)
  --assign ROW=S1,S2,...
                        the cells of element row ROW (or of the element named
                        ROW, when one element has that name) from LOD 1 on:
                        a sub-object number 1..99, 0 (every sub-object) or 999
                        (not in this LOD)
  --assign-all LOD=VALUE
                        every element's cell of LOD to VALUE ("All elements")
  --sort LOD:SUB        mark sub-object SUB of LOD as sorted
  --anim MATRIX=on|off  the "Anim." mark of matrix row MATRIX (or its name)
  --detail LOD=N%|N|auto
                        the detail of LOD: every element keeps about N % of its
                        triangles (1..100; 100 keeps them as they are), or the
                        fewest whose error stays within the screen error where
                        the LOD is first seen (auto; not for LOD 1)
  --screen-error PX     the screen error auto allows, in pixels (default 1)
  --suggest-distances   each distance the smallest from which the next LOD's
                        error stays within the screen error (not with auto)

Actions (run in the order given):
  --generate            "Create LODs/sub-objects"
  --merge-points TOL    "Merge points" with tolerance TOL (written with ".")
  --merge-normals TOL   "Merge normals" with tolerance TOL (written with ".")
  --fix-materials       "Fix TSM material errors"
                        (an action whose button the window shows disabled, such
                        as --generate on a shape with several LODs, is refused)
  --strip-animations    "Delete surplus animations" (the "Anim." marks decide)
  --print               print the settings listing on the default printer
  --landscape           answer the print-out's orientation question with Yes
  --print-pdf FILE      write the settings listing as a PDF file (one shape only)
  --compress FILE       run the simulator's compression utility on FILE and wait
                        (after the shape and the listings are written)
  --tool PATH           path of ffeditc_unicode.exe for --compress
  --render FILE.png     write the "Preview" picture as a PNG file (one shape only)

Picture (for --render):
  --lod K               only the elements the assignment puts into LOD K,
                        coloured by sub-object (default 0: every element)
  --size WxH            the picture's size in pixels (default 800x600)
  --view front|side|top|iso
                        the direction it is seen from (default front)
  --as-seen             as a 1920 x 1080 screen with a 55 degree field of view
                        shows LOD K from its distance, enlarged with square
                        pixels; the "done" line names the model's height there
  --as-first-seen       the same from where LOD K is first seen (the largest
                        distance of the LODs before it): the error its detail
                        allows

Answers:
  --no                  answer No to the confirmations of the actions
  --force               open a file that is none of the shape forms (Unicode,
                        8-bit or unmarked UTF-16 text, binary, compressed)

Language:
  --lang de|en          the language of the messages and the print-out for this
                        run (default: the language the window last used)

Information:
  -h, --help            print this help
  --version             print the program's name and version

Every message box is printed to stderr as "KIND: TEXT" (warning, information,
confirmation, error); each action that ran says what it did ("done: TEXT"),
and what looks wrong without stopping anything is a "note: TEXT". With
several shapes every line starts with the shape's name, the output comes in
the order of the arguments, and a summary ends the run.

Exit status: 0 when every action ran on every shape, 1 when an action was
refused or failed on a shape (nothing is written for that shape: its file,
its settings file, the PDF listings and the pictures are written only after
every action ran; the other shapes go on), 2 for usage errors.
)";

constexpr const char* kUsageGerman = R"(Aufruf: lodsmith-cli [OPTIONEN] SHAPE... [OPTIONEN]

Öffnet jede SHAPE-Datei in jeder ihrer Formen wie "Öffnen" im Fenster (Analyse,
Grundeinstellung und die eigene .Lodsmith-Einstellungsdatei der Shape-Datei,
wenn es sie gibt), übernimmt die Einstellungs-Optionen, führt die Aktionen in
der angegebenen Reihenfolge aus und schreibt das Ergebnis, wenn verlangt. Die
Reihenfolge der Einstellungs-Optionen spielt keine Rolle.

Shape-Dateien:
  SHAPE...              eine oder mehrere Shape-Dateien; ein Ordner mit --recursive
  -r, --recursive       jede .s-Datei unter jedem angegebenen Ordner bearbeiten
  -j, --jobs N          N Shape-Dateien zugleich bearbeiten (Vorgabe: eine je Kern)
  -q, --quiet           keine Zeile je Aktion, keine Fortschrittszeile
  --timing              ausgeben, wofür die Zeit gebraucht wurde (Öffnen,
                        Aktionen, Speichern, der eigene Anteil je Shape-Datei)

Ausgabe:
  -o, --output DATEI    die Shape-Datei nach DATEI schreiben (wie "Speichern
                        unter...": der bisherige Inhalt wird DATEI.BAK) und die
                        Modell-Einstellungen neben DATEI (nur eine Shape-Datei)
  --save                SHAPE überschreiben (wie "Speichern": SHAPE.BAK behält
                        die bisherige Datei), dazu ihre Einstellungsdatei
  --format text|compressed|binary
                        die Form, in der -o/--save schreiben (Vorgabe: wie
                        "Speichern", das eine komprimierte oder binäre Datei in
                        ihrer Form behält und jede andere als Unicode-Text schreibt)
  --decompress          dasselbe wie --format text
  --compress-builtin    dasselbe wie --format compressed (der eigene Konverter
                        des Programms; kein Hilfsprogramm nötig)
  --report json|tsv     alle fünf Tabellen, die gezeigten Meldungen, die
                        Zeilenzahl und die Änderungsmarke ausgeben (nach den
                        Aktionen); json fügt die Aktionen und Hinweise hinzu,
                        eine Zeile je Shape-Datei

Einstellungen (nach der Einstellungsdatei übernommen, in jeder Reihenfolge):
  --settings DATEI      diese Modell-Einstellungsdatei statt der eigenen laden
  --lods N              die Anzahl der LOD's (1..99) wie auf der Einstellungsseite
  --distances E1,E2,... die Entfernung von LOD 1, 2, ... (je 1..2000)
  --assign ZEILE=S1,S2,...
                        die Zellen der Element-Zeile ZEILE (oder des Elements
                        namens ZEILE, wenn nur ein Element so heißt) ab LOD 1:
                        eine Subobjekt-Nummer 1..99, 0 (jedes Subobjekt) oder
                        999 (nicht in diesem LOD)
  --assign-all LOD=WERT die Zelle jedes Elements in LOD auf WERT ("Alle Elemente")
  --sort LOD:SUB        Subobjekt SUB von LOD als sortiert markieren
  --anim MATRIX=on|off  die "Anim."-Marke der Matrix-Zeile MATRIX (oder ihres Namens)
  --detail LOD=N%|N|auto
                        der Detailgrad von LOD: jedes Element behält etwa N %
                        seiner Dreiecke (1..100; 100 lässt sie, wie sie sind),
                        oder die wenigsten, deren Fehler dort, wo das LOD zuerst
                        gesehen wird, im Bildschirmfehler bleibt (auto; nicht
                        für LOD 1)
  --screen-error PX     der Bildschirmfehler, den auto erlaubt, in Pixeln
                        (Vorgabe 1)
  --suggest-distances   jede Entfernung die kleinste, ab der der Fehler des
                        nächsten LOD's im Bildschirmfehler bleibt (nicht mit auto)

Aktionen (in der angegebenen Reihenfolge):
  --generate            "LOD's/Subobjekte erzeugen"
  --merge-points TOL    "Punkte zusammenfassen" mit Toleranz TOL (mit "." geschrieben)
  --merge-normals TOL   "Normalen zusammenfassen" mit Toleranz TOL (mit "." geschrieben)
  --fix-materials       "TSM Mat.-Fehler korrigieren"
                        (eine Aktion, deren Knopf das Fenster gesperrt zeigt, etwa
                        --generate bei mehreren LOD's, wird abgelehnt)
  --strip-animations    "Überz. Animationen löschen" (die "Anim."-Marken entscheiden)
  --print               die Einstellungsliste auf dem Standarddrucker drucken
  --landscape           die Frage nach dem Querformat des Ausdrucks mit Ja beantworten
  --print-pdf DATEI     die Einstellungsliste als PDF-Datei schreiben (nur eine
                        Shape-Datei)
  --compress DATEI      das Komprimierungsprogramm des Simulators auf DATEI
                        ausführen und warten (nachdem Shape-Datei und Listen
                        geschrieben sind)
  --tool PFAD           Pfad von ffeditc_unicode.exe für --compress
  --render DATEI.png    das Bild der "Vorschau" als PNG-Datei schreiben (nur eine
                        Shape-Datei)

Bild (für --render):
  --lod K               nur die Elemente, die die Zuordnung in LOD K legt, in
                        den Farben ihrer Subobjekte (Vorgabe 0: alle Elemente)
  --size BxH            die Größe des Bildes in Pixeln (Vorgabe 800x600)
  --view front|side|top|iso
                        die Richtung, aus der es gesehen wird (Vorgabe front)
  --as-seen             wie ein Bildschirm mit 1920 x 1080 Pixeln und 55 Grad
                        Blickwinkel LOD K aus seiner Entfernung zeigt, mit
                        quadratischen Pixeln vergrößert; die "done"-Zeile nennt
                        die Höhe des Modells dort
  --as-first-seen       dasselbe von dort, wo LOD K zuerst zu sehen ist (die
                        größte Entfernung der LODs davor): der Fehler, den
                        sein Detailgrad erlaubt

Antworten:
  --no                  die Rückfragen der Aktionen mit Nein beantworten
  --force               eine Datei öffnen, die keine der Shape-Formen hat
                        (Unicode-, 8-Bit- oder UTF-16-Text ohne Marke, binär,
                        komprimiert)

Sprache:
  --lang de|en          die Sprache der Meldungen und des Ausdrucks für diesen
                        Lauf (Vorgabe: die zuletzt im Fenster gewählte Sprache)

Information:
  -h, --help            diese Hilfe ausgeben
  --version             Name und Version des Programms ausgeben

Jedes Meldungsfenster wird auf stderr als "ART: TEXT" ausgegeben (warning,
information, confirmation, error); jede ausgeführte Aktion sagt, was sie getan
hat ("done: TEXT"), und was falsch aussieht, ohne etwas aufzuhalten, ist ein
"note: TEXT". Bei mehreren Shape-Dateien beginnt jede Zeile mit dem Namen der
Shape-Datei, die Ausgabe folgt der Reihenfolge der Argumente, und eine
Zusammenfassung beendet den Lauf.

Rückgabewert: 0, wenn jede Aktion bei jeder Shape-Datei ausgeführt wurde, 1,
wenn eine Aktion bei einer Shape-Datei abgelehnt wurde oder fehlschlug (für
diese Shape-Datei wird nichts geschrieben: Datei, Einstellungsdatei,
PDF-Listen und Bilder werden erst geschrieben, wenn jede Aktion ausgeführt ist; die
anderen Shape-Dateien laufen weiter), 2 bei Aufruffehlern.
)";

constexpr MessageText kTexts[] = {
    {Id(CliMsg::Usage), kUsageGerman, kUsageEnglish},
    {Id(CliMsg::ToolNotFound),
     "ffeditc_unicode.exe nicht gefunden, Abbruch! (%1) Den Pfad mit --tool angeben, oder die Shape-Datei mit "
     "--compress-builtin ohne Hilfsprogramm komprimiert schreiben.",
     "ffeditc_unicode.exe not found, cancelled! (%1) Give its path with --tool, or write the shape compressed "
     "without the utility with --compress-builtin."},
    {Id(CliMsg::TryHelp), "Hilfe: 'lodsmith-cli --help'.", "Try 'lodsmith-cli --help'."},
    {Id(CliMsg::NeedsFileName), "%1 braucht einen Dateinamen.", "%1 needs a file name"},
    {Id(CliMsg::NeedsForm), "%1 braucht text, compressed oder binary.", "%1 needs text, compressed or binary"},
    {Id(CliMsg::FormValues), "--format kennt nur text, compressed oder binary.",
     "--format takes text, compressed or binary"},
    {Id(CliMsg::NeedsLanguage), "%1 braucht de oder en.", "%1 needs de or en"},
    {Id(CliMsg::LanguageValues), "--lang kennt nur de oder en.", "--lang takes de or en"},
    {Id(CliMsg::ReportValues), "--report kennt nur json oder tsv.", "--report takes json or tsv"},
    {Id(CliMsg::NeedsTolerance), "%1 braucht eine Toleranz.", "%1 needs a tolerance"},
    {Id(CliMsg::ToleranceNoNumber), "%1: \"%2\" ist keine Zahl (mit \".\" schreiben).",
     "%1: \"%2\" is no number (write it with \".\")"},
    {Id(CliMsg::NeedsNumber), "%1 braucht eine Zahl.", "%1 needs a number"},
    {Id(CliMsg::LodsRange), "--lods braucht eine Zahl von 1 bis 99.", "--lods takes a number from 1 to 99"},
    {Id(CliMsg::NeedsValue), "%1 braucht einen Wert.", "%1 needs a value"},
    {Id(CliMsg::UnknownOption), "Unbekannte Option %1.", "unknown option %1"},
    {Id(CliMsg::OneShapeOnly), "Es kann nur eine Shape-Datei angegeben werden.", "only one shape file can be given"},
    {Id(CliMsg::NoShape), "Es wurde keine Shape-Datei angegeben.", "no shape file given"},
    {Id(CliMsg::SaveAndOutput), "--save und --output schließen einander aus.",
     "--save and --output exclude each other"},
    {Id(CliMsg::FileNotFound), "Die Datei %1 wurde nicht gefunden.", "%1: file not found"},
    {Id(CliMsg::SettingsNotFound), "Die Einstellungsdatei %1 wurde nicht gefunden.", "%1: settings file not found"},
    {Id(CliMsg::NotOpened), "Die Datei %1 wurde nicht geöffnet.", "%1 was not opened"},
    {Id(CliMsg::NotAvailable), "%1: \"%2\" ist für diese Shape-Datei zur Zeit nicht verfügbar.",
     "%1: \"%2\" is not available for this shape now"},
    {Id(CliMsg::TooManyDistances), "%1 Entfernungen angegeben, aber nur %2 %{2:LOD|LOD's} vorhanden.",
     "%1 distances given for %2 %{2:LOD|LODs}"},
    {Id(CliMsg::PrintNotOnWindows),
     "--print ist unter Windows nicht verfügbar; die Liste mit --print-pdf DATEI als PDF-Datei schreiben.",
     "--print is not available on Windows; write the listing with --print-pdf FILE"},
    {Id(CliMsg::SettingsNotWritable),
     "Die Einstellungsdatei %1 kann nicht geschrieben werden. Es wurde nichts gespeichert.",
     "%1: the settings file cannot be written; nothing was saved"},
    {Id(CliMsg::CompressionFailed), "Die Komprimierung ist fehlgeschlagen.", "compression failed"},
    {Id(CliMsg::NothingToPrint), "Die Shape-Datei enthält keine Elemente. Es wurde nichts ausgegeben.",
     "the shape lists no elements: nothing to print"},
    {Id(CliMsg::PdfNotWritten), "Die PDF-Datei %1 konnte nicht geschrieben werden.",
     "%1: the PDF file could not be written"},
    {Id(CliMsg::ScriptNotRun), "Das Komprimierungs-Skript konnte nicht gestartet werden.",
     "the compression script could not be run"},
    {Id(CliMsg::ToolOutputMissing),
     "ffeditc_unicode.exe hat temp.s nicht geschrieben, oder temp.s konnte nicht über %1 verschoben werden.",
     "ffeditc_unicode.exe did not write temp.s, or it could not be moved over %1"},
    {Id(CliMsg::ValueNotNumber), "%1: \"%2\" ist keine Zahl.", "%1: \"%2\" is not a number"},
    {Id(CliMsg::ValueOutOfRange), "%1: \"%2\" liegt nicht zwischen %3 und %4.", "%1: \"%2\" is not within %3..%4"},
    {Id(CliMsg::CellValueRefused), "%1: \"%2\" ist keine Subobjekt-Nummer (0 bis 99 oder 999).",
     "%1: \"%2\" is no sub-object number (0 to 99, or 999)"},
    {Id(CliMsg::AssignForm), "%1: \"%2\" hat nicht die Form ZEILE=S1,S2,...",
     "%1: \"%2\" is not of the form ROW=S1,S2,..."},
    {Id(CliMsg::AssignAllForm), "%1: \"%2\" hat nicht die Form LOD=WERT.", "%1: \"%2\" is not of the form LOD=VALUE"},
    {Id(CliMsg::SortForm), "%1: \"%2\" hat nicht die Form LOD:SUB.", "%1: \"%2\" is not of the form LOD:SUB"},
    {Id(CliMsg::AnimForm), "%1: \"%2\" hat nicht die Form MATRIX=on oder MATRIX=off.",
     "%1: \"%2\" is not of the form MATRIX=on or MATRIX=off"},
    {Id(CliMsg::ValueNotOneOf), "%1: \"%2\" ist keiner der Werte %3.", "%1: \"%2\" is not one of %3"},
    {Id(CliMsg::OneShapeOption), "%1 geht nur mit einer Shape-Datei.", "%1 works on one shape file only"},
    {Id(CliMsg::NoSuchRow), "%1: Zeile %2 gibt es nicht (die Tabelle hat %3 %{3:Zeile|Zeilen}).",
     "%1: there is no row %2 (the grid has %3 %{3:row|rows})"},
    {Id(CliMsg::NameNotFound), "%1: Kein Eintrag heißt \"%2\".", "%1: nothing is named \"%2\""},
    {Id(CliMsg::NameNotUnique), "%1: %3 Einträge heißen \"%2\"; bitte die Zeile angeben.",
     "%1: %3 rows are named \"%2\"; give the row instead"},
    {Id(CliMsg::TooManyCells), "%1: %2 Werte angegeben, aber nur %3 %{3:LOD|LOD's} vorhanden.",
     "%1: %2 values given for %3 %{3:LOD|LODs}"},
    {Id(CliMsg::NoSuchLod), "%1: LOD %2 gibt es nicht (%3 %{3:LOD|LOD's}).",
     "%1: there is no LOD %2 (%3 %{3:LOD|LODs})"},
    {Id(CliMsg::NoSuchSubObject), "%1: Subobjekt %2 gibt es nicht (%3 %{3:Subobjekt|Subobjekte}).",
     "%1: there is no sub-object %2 (%3 %{3:sub-object|sub-objects})"},
    {Id(CliMsg::IsFolder), "%1 ist ein Ordner (mit --recursive werden seine Shape-Dateien bearbeitet).",
     "%1 is a folder (--recursive works on its shape files)"},
    {Id(CliMsg::DonePointsMerged), "%1 von %2 %{2:Punkt|Punkten} zusammengefasst.", "points merged: %1 of %2"},
    {Id(CliMsg::DoneNormalsMerged), "%1 von %2 %{2:Normale|Normalen} zusammengefasst.", "normals merged: %1 of %2"},
    {Id(CliMsg::DoneGenerated), "%1 %{1:LOD|LOD's} mit %2 %{2:Subobjekt|Subobjekten} geschrieben.",
     "%1 %{1:LOD|LODs} with %2 %{2:sub-object|sub-objects} written"},
    {Id(CliMsg::DoneMaterialsFixed),
     "%1 %{1:Material|Materialien} getauscht, %2 %{2:Material-Flag|Material-Flags} korrigiert.",
     "%1 light %{1:material|materials} exchanged, %2 material %{2:flag|flags} corrected"},
    {Id(CliMsg::DoneAnimations), "%1 %{1:Animation|Animationen} entfernt, %2 %{2:Zeile|Zeilen} gelöscht.",
     "%1 %{1:animation|animations} removed, %2 %{2:line|lines} deleted"},
    {Id(CliMsg::DoneWritten), "%1 geschrieben (%2, %3 %{3:Zeile|Zeilen}).", "%1 written (%2, %3 %{3:line|lines})"},
    {Id(CliMsg::DoneSettingsWritten), "Einstellungen nach %1 geschrieben.", "settings written to %1"},
    {Id(CliMsg::DonePdfWritten), "%1 geschrieben.", "%1 written"},
    {Id(CliMsg::DonePrinted), "Einstellungsliste gedruckt.", "settings listing printed"},
    {Id(CliMsg::DoneCompressed), "%1 komprimiert.", "%1 compressed"},
    {Id(CliMsg::NoteDistanceNotAscending), "LOD %1: Entfernung %2 ist kleiner als %3 beim LOD davor.",
     "LOD %1: distance %2 is less than the %3 of the LOD before"},
    {Id(CliMsg::NoteDistanceRepeated), "LOD %1: Entfernung %2 wie beim LOD davor; dieser LOD wird nie gezeigt.",
     "LOD %1: distance %2 as the LOD before; this LOD is never shown"},
    {Id(CliMsg::NoteDistanceZero), "LOD %1: Entfernung 0.", "LOD %1: distance 0"},
    {Id(CliMsg::NoteDistanceAboveMax), "LOD %1: Entfernung %2 liegt über dem Höchstwert %3 der Einstellungsseite.",
     "LOD %1: distance %2 is above the largest the settings page takes (%3)"},
    {Id(CliMsg::NoteCellAbsent),
     "Element \"%1\" (Zeile %2), LOD %3: \"%4\" lässt das Element weg; dafür 999 schreiben.",
     "element \"%1\" (row %2), LOD %3: \"%4\" leaves the element out; write 999 for that"},
    {Id(CliMsg::Progress), "%1/%2 Shape-Dateien, %3 je Sekunde – %4", "%1/%2 shapes, %3 per second – %4"},
    {Id(CliMsg::Summary), "%1 %{1:Shape-Datei|Shape-Dateien} in %5 s: %2 erledigt, %3 abgelehnt, %4 fehlgeschlagen.",
     "%1 %{1:shape|shapes} in %5 s: %2 done, %3 refused, %4 failed"},
    {Id(CliMsg::SummaryRefused), "abgelehnt (%1): %2", "refused (%1): %2"},
    {Id(CliMsg::SummaryFailed), "fehlgeschlagen (%1): %2", "failed (%1): %2"},
    {Id(CliMsg::Timing),
     "Zeit: %5 s; Öffnen %1 s, Aktionen %2 s, Speichern %3 s (alle Shape-Dateien); Ablauf %4 ms je Shape-Datei",
     "time: %5 s; opening %1 s, actions %2 s, saving %3 s (all shapes); runner %4 ms per shape"},
    {Id(CliMsg::EmptyShapeArgument), "Ein leeres Argument ist keine Shape-Datei.",
     "an empty argument is no shape file"},
    {Id(CliMsg::OutputsClash), "%1 und %2 würden beide %3 schreiben; es wurde nichts geschrieben.",
     "%1 and %2 would both write %3; nothing was written"},
    {Id(CliMsg::OutputIsInput), "%1 würde %2 überschreiben, das dieser Lauf liest; es wurde nichts geschrieben.",
     "%1 would write over %2, which this run reads; nothing was written"},
    {Id(CliMsg::ToleranceNegative), "%1: \"%2\" ist negativ; die Toleranz ist eine Zahl ab 0 (mit \".\" geschrieben).",
     "%1: \"%2\" is negative; the tolerance is a number from 0 up (written with \".\")"},
    {Id(CliMsg::NoShapeForm),
     "Die Datei beginnt nicht mit der Unicode-Kennung (UTF-16) und hat keine der anderen Formen einer "
     "Shape-Datei; mit --force wird sie trotzdem geöffnet.",
     "The file does not start with the Unicode mark (UTF-16) and has none of the other shape forms; --force opens "
     "it all the same."},
    {Id(CliMsg::NoShapeFormForced),
     "Die Datei beginnt nicht mit der Unicode-Kennung (UTF-16) und hat keine der anderen Formen einer "
     "Shape-Datei; wegen --force wird sie trotzdem geöffnet.",
     "The file does not start with the Unicode mark (UTF-16) and has none of the other shape forms; opened all the "
     "same because of --force."},
    {Id(CliMsg::ToolNotFoundNoPath),
     "ffeditc_unicode.exe nicht gefunden, Abbruch! Den Pfad mit --tool angeben, oder die Shape-Datei mit "
     "--compress-builtin ohne Hilfsprogramm komprimiert schreiben.",
     "ffeditc_unicode.exe not found, cancelled! Give its path with --tool, or write the shape compressed without "
     "the utility with --compress-builtin."},
    {Id(CliMsg::FormText), "Text", "text"},
    {Id(CliMsg::FormCompressed), "komprimiert", "compressed"},
    {Id(CliMsg::FormBinary), "binär", "binary"},
    {Id(CliMsg::DetailForm), "%1: \"%2\" hat nicht die Form LOD=N%, LOD=N (1 bis 100) oder LOD=auto.",
     "%1: \"%2\" is not of the form LOD=N%, LOD=N (1 to 100) or LOD=auto"},
    {Id(CliMsg::DetailAutoFirstLod), "%1: \"%2\": LOD 1 wird ab 0 m gesehen, \"auto\" ist dort nicht möglich.",
     "%1: \"%2\": LOD 1 is seen from 0 m, \"auto\" is not possible there"},
    {Id(CliMsg::ScreenErrorValue), "%1: \"%2\" ist keine positive Zahl von Pixeln.",
     "%1: \"%2\" is no positive number of pixels"},
    {Id(CliMsg::DoneSimplified), "LOD %1 (%2): %3 -> %4 %{4:Dreieck|Dreiecke}, Fehler %5 mm, beurteilt bei %6 m.",
     "LOD %1 (%2): %3 -> %4 %{4:triangle|triangles}, error %5 mm, judged at %6 m"},
    {Id(CliMsg::DoneSimplifiedEarly),
     "LOD %1 (%2): %3 -> %4 %{4:Dreieck|Dreiecke}, Fehler %5 mm, beurteilt bei %6 m; vorzeitig beendet, "
     "weil keine zulässige Vereinfachung mehr blieb.",
     "LOD %1 (%2): %3 -> %4 %{4:triangle|triangles}, error %5 mm, judged at %6 m; stopped early, no allowed "
     "collapse was left"},
    {Id(CliMsg::DoneDistancesSuggested), "Entfernungen vorgeschlagen: %1.", "distances suggested: %1"},
};
}  // namespace

std::span<const MessageText> CliTexts() { return kTexts; }

}  // namespace lodsmith
