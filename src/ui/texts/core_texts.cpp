// Built-in texts of the core layer's messages.
#include "ui/messages.h"

namespace lodsmith {

namespace {
constexpr MessageText kTexts[] = {
    {0, "", ""},
};
}  // namespace

std::span<const MessageText> CoreTexts() { return kTexts; }

}  // namespace lodsmith
