// Built-in texts of the session's messages.
#include "session/session_messages.h"
#include "ui/texts/messages.h"

namespace lodsmith {

namespace {
constexpr int Id(SessionMsg m) { return static_cast<int>(m); }

constexpr MessageText kTexts[] = {
    {Id(SessionMsg::SaveEmptyDocument), "%1 wurde nicht geschrieben: Das Dokument ist leer.",
     "%1 was not written: the document is empty."},
    {Id(SessionMsg::SaveNoPreviousVersion), "%1 gab es vorher nicht; es gibt also keine vorherige Fassung.",
     "%1 did not exist before, so there is no previous version."},
    {Id(SessionMsg::DetailRefused), "LOD %1: \"%2\" ist kein Detailgrad (100%, 1% bis 99% oder auto).",
     "LOD %1: \"%2\" is no detail (100%, 1% to 99% or auto)."},
    {Id(SessionMsg::DetailAutoFirstLod), "LOD 1 wird ab 0 m gesehen: Der Detailgrad \"auto\" ist dort nicht möglich.",
     "LOD 1 is seen from 0 m: the detail \"auto\" is not possible there."},
    {Id(SessionMsg::ScreenErrorRefused), "Der Bildschirmfehler muss eine positive Zahl von Pixeln sein: %1",
     "The screen error must be a positive number of pixels: %1"},
    {Id(SessionMsg::DetailNeedsDistance), "LOD %1 (auto) braucht die Entfernung von LOD %2.",
     "LOD %1 (auto) needs the distance of LOD %2."},
    {Id(SessionMsg::SuggestWithAuto),
     "Ein LOD mit dem Detailgrad \"auto\" richtet sich nach den Entfernungen; es wurde nichts geändert.",
     "A LOD with the detail \"auto\" follows the distances; nothing was changed."},
};
}  // namespace

std::span<const MessageText> SessionTexts() { return kTexts; }

}  // namespace lodsmith
