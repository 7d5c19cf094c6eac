// Built-in texts of the simplifier's messages.
#include "simplify/simplify_messages.h"
#include "ui/texts/messages.h"

namespace lodsmith {

namespace {
constexpr int Id(SimplifyMsg m) { return static_cast<int>(m); }

constexpr MessageText kTexts[] = {
    {Id(SimplifyMsg::NotFinite), "Die Koordinaten des Vertex %1 sind keine endlichen Zahlen.",
     "The coordinates of vertex %1 are not finite numbers."},
    {Id(SimplifyMsg::IndexOutside), "Der Vertex-Index %1 liegt außerhalb der %2 Vertices.",
     "The vertex index %1 lies outside the %2 vertices."},
    {Id(SimplifyMsg::SizesDiffer), "Die Listen des Netzes haben nicht je einen Eintrag pro Vertex.",
     "The mesh's lists do not have one entry per vertex."},
};
}  // namespace

std::span<const MessageText> SimplifyTexts() { return kTexts; }

}  // namespace lodsmith
