// Built-in texts of the preview's messages and the words of its window.
#include "preview/preview_messages.h"
#include "ui/texts/messages.h"

namespace lodsmith {

namespace {
constexpr int Id(PreviewMsg m) { return static_cast<int>(m); }

constexpr MessageText kTexts[] = {
    {Id(PreviewMsg::Unreadable), "Die Vorschau kann die Form nicht zeigen: %0",
     "The preview cannot show the shape: %0"},
    {Id(PreviewMsg::CountTooLarge), "\"%1\" nennt %2 Einträge, hat aber nur %3.",
     "\"%1\" names %2 entries but holds only %3."},
    {Id(PreviewMsg::ReferenceOutside), "Verweis auf %1 %2, es gibt aber nur %3.",
     "Reference to %1 %2, but there are only %3."},
    {Id(PreviewMsg::NoDistance), "LOD %1 hat keine Entfernung größer als 0.", "LOD %1 has no distance greater than 0."},
    {Id(PreviewMsg::PngNotWritten), "Das Bild %1 wurde nicht geschrieben: %0", "The picture %1 was not written: %0"},
    {Id(PreviewMsg::WindowTitle), "Vorschau – %1", "Preview – %1"},
    {Id(PreviewMsg::ButtonCaption), "Vorschau", "Preview"},
    {Id(PreviewMsg::ViewFront), "Vorne", "Front"},
    {Id(PreviewMsg::ViewSide), "Seite", "Side"},
    {Id(PreviewMsg::ViewTop), "Oben", "Top"},
    {Id(PreviewMsg::ViewIso), "Iso", "Iso"},
    {Id(PreviewMsg::ResetView), "Zurücksetzen", "Reset"},
    {Id(PreviewMsg::AsSeen), "Wie aus der Entfernung gesehen", "As seen from the distance"},
    {Id(PreviewMsg::ColourBySubObject), "Farbe nach Subobjekt", "Colour by sub-object"},
    {Id(PreviewMsg::LodLabel), "LOD", "LOD"},
    {Id(PreviewMsg::AllLods), "alle", "all"},
    {Id(PreviewMsg::StatusShown), "%1 %{1:Dreieck|Dreiecke}, %2 %{2:Element|Elemente}",
     "%1 %{1:triangle|triangles}, %2 %{2:element|elements}"},
    {Id(PreviewMsg::StatusAsSeen), "LOD %1 aus %2 m: %3 Pixel hoch, %4 %{4:Dreieck|Dreiecke} (1920 × 1080, 55°)",
     "LOD %1 from %2 m: %3 pixels high, %4 %{4:triangle|triangles} (1920 × 1080, 55°)"},
    {Id(PreviewMsg::NoShape), "Keine Form geöffnet.", "No shape open."},
    {Id(PreviewMsg::SizeValues), "--size erwartet BREITExHÖHE in Pixeln (1..8192), z. B. 800x600.",
     "--size takes WIDTHxHEIGHT in pixels (1..8192), e.g. 800x600."},
    {Id(PreviewMsg::LodOutside), "LOD %1 gibt es nicht: die Form hat %2 LOD's.",
     "There is no LOD %1: the shape has %2 LODs."},
    {Id(PreviewMsg::Written), "%1: %2", "%1: %2"},
    {Id(PreviewMsg::AsFirstSeen), "Wie zuerst gesehen", "As first seen"},
    {Id(PreviewMsg::StatusAsFirstSeen),
     "LOD %1 aus %2 m, wo es zuerst zu sehen ist: %3 Pixel hoch, %4 %{4:Dreieck|Dreiecke} (1920 × 1080, 55°)",
     "LOD %1 from %2 m, where it is first seen: %3 pixels high, %4 %{4:triangle|triangles} (1920 × 1080, 55°)"},
    {Id(PreviewMsg::FirstSeenAtZero), "LOD 1 wird ab 0 m gesehen; wählen Sie ein späteres LOD.",
     "LOD 1 is seen from 0 m; choose a later LOD."},
};
}  // namespace

std::span<const MessageText> PreviewTexts() { return kTexts; }

}  // namespace lodsmith
