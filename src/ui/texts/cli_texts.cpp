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
are written only after every action ran), 2 for usage errors.
)";

constexpr MessageText kTexts[] = {
    {Id(CliMsg::Usage), kUsage, kUsage},
    {Id(CliMsg::ToolNotFound), "ffeditc_unicode.exe nicht gefunden, Abbruch! (%1)",
     "ffeditc_unicode.exe not found, cancelled! (%1)"},
};
}  // namespace

std::span<const MessageText> CliTexts() { return kTexts; }

}  // namespace lodsmith
