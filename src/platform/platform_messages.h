// The messages of settings files and the machine; their texts are in ui/texts/platform_texts.cpp.
#pragma once

namespace lodsmith {

enum class PlatformMsg : int {
  First = 1700,
  End
};

}  // namespace lodsmith
