// The messages of the LOD and sub-object generation; their texts are in ui/texts/generation_texts.cpp.
#pragma once

namespace lodsmith {

enum class GenerationMsg : int {
  First = 1300,
  End
};

}  // namespace lodsmith
