// Built-in texts of the platform layer's messages.
#include "platform/platform_messages.h"
#include "ui/texts/messages.h"

namespace lodsmith {

namespace {
constexpr int Id(PlatformMsg m) { return static_cast<int>(m); }

constexpr MessageText kTexts[] = {
    {Id(PlatformMsg::CannotWriteFile), "In %1 kann nicht geschrieben werden", "%1 cannot be written"},
};
}  // namespace

std::span<const MessageText> PlatformTexts() { return kTexts; }

}  // namespace lodsmith
