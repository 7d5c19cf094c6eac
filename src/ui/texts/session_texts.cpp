// Built-in texts of the session's messages.
#include "session/session_messages.h"
#include "ui/messages.h"

namespace lodsmith {

namespace {
constexpr int Id(SessionMsg m) { return static_cast<int>(m); }

constexpr MessageText kTexts[] = {
    {Id(SessionMsg::SaveEmptyDocument), "%1 wurde nicht geschrieben: Das Dokument ist leer.",
     "%1 was not written: the document is empty."},
    {Id(SessionMsg::SaveNoPreviousVersion), "%1 gab es vorher nicht; es gibt also keine vorherige Fassung.",
     "%1 did not exist before, so there is no previous version."},
};
}  // namespace

std::span<const MessageText> SessionTexts() { return kTexts; }

}  // namespace lodsmith
