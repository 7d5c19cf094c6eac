// Built-in texts of the generation layer's messages.
#include "ui/messages.h"

namespace lodsmith {

namespace {
constexpr MessageText kTexts[] = {
    {0, "", ""},
};
}  // namespace

std::span<const MessageText> GenerationTexts() { return kTexts; }

}  // namespace lodsmith
