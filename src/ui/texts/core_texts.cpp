// Built-in texts of the core layer's messages.
#include "core/core_messages.h"
#include "ui/texts/messages.h"

namespace lodsmith {

namespace {
constexpr int Id(CoreMsg m) { return static_cast<int>(m); }

constexpr MessageText kTexts[] = {
    {Id(CoreMsg::NotAnInteger), "\"%1\" ist keine gültige ganze Zahl.", "\"%1\" is not a valid integer."},
    {Id(CoreMsg::LineWithoutNumber), "Zeile ohne erwartete Zahl: %1", "Line without the expected number: %1"},
    {Id(CoreMsg::LineWithoutSecondNumber), "Zeile ohne zweite erwartete Zahl: %1",
     "Line without the expected second number: %1"},
    {Id(CoreMsg::KeywordMissing), "Schlüsselwort fehlt: %1", "Keyword missing: %1"},
    {Id(CoreMsg::NoNameAfter), "Kein Name nach \"%1\": %2", "No name after \"%1\": %2"},

    // Files.
    {Id(CoreMsg::CannotReadFile), "Die Datei %1 kann nicht gelesen werden: %2", "The file %1 cannot be read: %2"},
    {Id(CoreMsg::NotAFile), "%1 ist keine Datei.", "%1 is not a file."},
    {Id(CoreMsg::ReadFailed), "Die Datei %1 kann nicht gelesen werden.", "The file %1 cannot be read."},
    {Id(CoreMsg::CannotWrite), "In %1 kann nicht geschrieben werden: %2", "%1 cannot be written: %2"},
    {Id(CoreMsg::CannotWriteFolder), "In %1 kann nicht geschrieben werden: %2 ist ein Ordner.",
     "%1 cannot be written: %2 is a folder."},
    {Id(CoreMsg::CannotBackUp), "Die Sicherungskopie %1 kann nicht angelegt werden: %2",
     "The backup copy %1 cannot be made: %2"},
};
}  // namespace

std::span<const MessageText> CoreTexts() { return kTexts; }

}  // namespace lodsmith
