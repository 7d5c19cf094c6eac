// Built-in texts of the ui layer's messages.
#include "ui/messages.h"

namespace lodsmith {

namespace {
constexpr MessageText kTexts[] = {
    {0, "", ""},
};
}  // namespace

std::span<const MessageText> UiTexts() { return kTexts; }

}  // namespace lodsmith
