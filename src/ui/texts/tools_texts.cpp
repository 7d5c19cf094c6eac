// Built-in texts of the tools layer's messages.
#include "ui/messages.h"

namespace lodsmith {

namespace {
constexpr MessageText kTexts[] = {
    {0, "", ""},
};
}  // namespace

std::span<const MessageText> ToolsTexts() { return kTexts; }

}  // namespace lodsmith
