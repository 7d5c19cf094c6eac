// Built-in texts of the cli layer's messages.
#include "ui/cli_messages.h"
#include "ui/messages.h"

namespace lodsmith {

namespace {
constexpr int Id(CliMsg m) { return static_cast<int>(m); }

// The batch program's help names the window's buttons by their German
// captions, in both languages.
constexpr const char* kUsage = R"(Usage: lodsmith-cli [OPTIONS] SHAPE.s [OPTIONS]

Opens SHAPE.s, in any of its forms, as the window's "Öffnen" does (analysis,
default assignment, and the shape's own .Lodsmith settings file when there is
one), runs the actions in the order given, then writes the result if asked.

Output:
  -o, --output FILE     write the shape to FILE (as "Speichern unter...": FILE's
                        previous content becomes FILE's .BAK) and the per-model
                        settings beside FILE
  --save                save over SHAPE.s (as "Speichern": SHAPE.BAK keeps the
                        previous file) and its settings file
  --format text|compressed|binary
                        the form -o/--save write the shape in (default: as
                        "Speichern", which keeps a compressed or binary shape in
                        its form and writes every other one as Unicode text)
  --decompress          the same as --format text
  --compress-builtin    the same as --format compressed (the program's own
                        converter; no utility needed)
  --report json|tsv     print all five grids, the messages shown, the line count
                        and the changed flag (after the actions)

Settings:
  --settings FILE       load this per-model settings file instead of the shape's own
  --lods N              set the number of LODs (1..99) as the settings page does
  --distances D1,D2,... set the distance of LOD 1, 2, ... (1..2000 each)

Actions (run in the order given):
  --generate            "LOD's/Subobjekte erzeugen"
  --merge-points TOL    "Punkte zusammenfassen" with tolerance TOL (written with ".")
  --merge-normals TOL   "Normalen zusammenfassen" with tolerance TOL (written with ".")
  --fix-materials       "TSM Mat.-Fehler korrigieren"
                        (an action whose button the window shows disabled, such
                        as --generate on a shape with several LODs, is refused)
  --strip-animations    "Überz. Animationen löschen" (marks from the settings file
                        or the shape's own animations)
  --print               print the settings listing on the default printer
  --landscape           answer the print-out's orientation question with Yes
  --print-pdf FILE      write the settings listing as a PDF file
  --compress FILE       run the simulator's compression utility on FILE and wait
                        (after the shape and the listings are written)
  --tool PATH           path of ffeditc_unicode.exe for --compress
  --render FILE.png     write the "Vorschau" picture of the shape as a PNG file

Picture (for every --render):
  --lod K               only the elements the assignment puts into LOD K,
                        coloured by sub-object (default 0: every element)
  --size WxH            the picture's size in pixels (default 800x600)
  --view front|side|top|iso
                        the direction it is seen from (default front)
  --as-seen             as a 1920 x 1080 screen with a 55 degree field of view
                        shows it from LOD K's distance, enlarged with square
                        pixels; stderr names the model's height in pixels

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
confirmation, error).

Exit status: 0 when every action ran, 1 when an action was refused or failed
(nothing is written then: the shape, its settings file and the PDF listings
and pictures are written only after every action ran), 2 for usage errors.
)";

constexpr MessageText kTexts[] = {
    {Id(CliMsg::Usage), kUsage, kUsage},
    {Id(CliMsg::ToolNotFound), "ffeditc_unicode.exe nicht gefunden, Abbruch! (%1)",
     "ffeditc_unicode.exe not found, cancelled! (%1)"},
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
    {Id(CliMsg::TooManyDistances), "%1 Entfernungen angegeben, aber nur %2 LOD's vorhanden.",
     "%1 distances given for %2 LODs"},
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
};
}  // namespace

std::span<const MessageText> CliTexts() { return kTexts; }

}  // namespace lodsmith
