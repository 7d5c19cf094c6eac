// Built-in texts of the document layer's messages.
#include "ui/messages.h"

namespace lodsmith {

namespace {
constexpr MessageText kTexts[] = {
    {0, "", ""},
};
}  // namespace

std::span<const MessageText> DocumentTexts() { return kTexts; }

}  // namespace lodsmith
