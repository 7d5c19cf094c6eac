// Built-in texts of the print layer's messages.
#include "ui/messages.h"

namespace lodsmith {

namespace {
constexpr MessageText kTexts[] = {
    {0, "", ""},
};
}  // namespace

std::span<const MessageText> PrintTexts() { return kTexts; }

}  // namespace lodsmith
