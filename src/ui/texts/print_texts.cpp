// Built-in texts of the print layer's messages.
#include "print/print_messages.h"
#include "ui/texts/messages.h"

namespace lodsmith {

namespace {
constexpr int Id(PrintMsg m) { return static_cast<int>(m); }

constexpr MessageText kTexts[] = {
    {Id(PrintMsg::PageNumber), "Seite %1", "Page %1"},
    {Id(PrintMsg::ElementsTitle), "Elemente", "Elements"},
    {Id(PrintMsg::SubObjectsTitle), "Subobjekte", "Sub-objects"},
    {Id(PrintMsg::LodsTitle), "LOD's", "LODs"},
    {Id(PrintMsg::MatricesTitle), "Matrizen", "Matrices"},
    {Id(PrintMsg::NumberColumn), "Nr.", "No."},
    {Id(PrintMsg::VerticesColumn), "Vert. L 1", "Vert. L 1"},
    {Id(PrintMsg::DistanceColumn), "Entfernung", "Distance"},
    {Id(PrintMsg::DetailTitle), "Detailgrad (Bildschirmfehler %1 Pixel)", "Detail (screen error %1 pixels)"},
    {Id(PrintMsg::DetailColumn), "Detailgrad", "Detail"},
    {Id(PrintMsg::Tolerances), "Toleranz Punkte: %1; Toleranz Normalen: %2",
     "Tolerance points: %1; tolerance normals: %2"},
};
}  // namespace

std::span<const MessageText> PrintTexts() { return kTexts; }

}  // namespace lodsmith
