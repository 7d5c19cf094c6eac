// Built-in texts of the platform layer's messages.
#include "ui/messages.h"

namespace lodsmith {

namespace {
constexpr MessageText kTexts[] = {
    {0, "", ""},
};
}  // namespace

std::span<const MessageText> PlatformTexts() { return kTexts; }

}  // namespace lodsmith
