// Built-in texts of the generation layer's messages.
#include "generation/generation_messages.h"
#include "ui/texts/messages.h"

namespace lodsmith {

namespace {

constexpr int Id(GenerationMsg m) { return static_cast<int>(m); }
using M = GenerationMsg;

constexpr MessageText kTexts[] = {
    {Id(M::Aborted), "%0 Abbruch der Aktion.", "%0 Action aborted."},

    {Id(M::GeneralError), "Allgemeiner Fehler, z.B. Eintragungen unvollständig, Datei fehlerhaft oder leer.",
     "General error, e.g. entries incomplete, file faulty or empty."},
    {Id(M::LodNotFound), "Schwerer Syntaxfehler in der Datei (LOD nicht gefunden).",
     "Severe syntax error in the file (LOD not found)."},
    {Id(M::EmptyLod),
     "LOD %1 ist leer oder ein leeres Subobjekt liegt vor nicht-leeren Subobjekten. Dies würde zum Absturz des "
     "Simulators führen.",
     "LOD %1 is empty, or an empty sub-object comes before non-empty sub-objects. This would crash the simulator."},
    {Id(M::FileEndsEarly), "Die Datei endet unerwartet (Zeile %1 fehlt).",
     "The file ends unexpectedly (line %1 is missing)."},

    {Id(M::EndsInsideLodControls),
     "Die Datei endet innerhalb von lod_controls: nach dem Subobjekt ab Zeile %1 fehlen die schließenden Zeilen.",
     "The file ends inside lod_controls: the closing lines after the sub-object from line %1 are missing."},
    {Id(M::SubObjectNotClosed),
     "Das Subobjekt ab Zeile %1 endet nicht mit je einer Zeile \")\" für primitives, sub_object, sub_objects und "
     "distance_level (Zeile %2).",
     "The sub-object from line %1 does not end in one line \")\" each for primitives, sub_object, sub_objects and "
     "distance_level (line %2)."},
    {Id(M::ValuesNotOnLine), "In Zeile %1 stehen \"%2\" und seine Werte nicht in einer Zeile (erwartet: \"%2 ( ...\").",
     "In line %1, \"%2\" and its values are not on one line (expected: \"%2 ( ...\")."},
    {Id(M::NodeNotThreeLines),
     "Der Knoten in Zeile %1 besteht nicht aus den drei Zeilen \"geometry_node ( ...\", \"cullable_prims ( ... )\" und "
     "\")\".",
     "The node in line %1 does not consist of the three lines \"geometry_node ( ...\", \"cullable_prims ( ... )\" and "
     "\")\"."},
    {Id(M::NodesNotClosed),
     "geometry_nodes ab Zeile %1 wird nicht in Zeile %2 mit einer eigenen Zeile \")\" geschlossen.",
     "geometry_nodes from line %1 is not closed in line %2 by a line \")\" of its own."},
    {Id(M::NodeCountNoNumber), "Die Knotenzahl von geometry_nodes in Zeile %1 ist keine Zahl.",
     "The node count of geometry_nodes in line %1 is not a number."},
    {Id(M::MoreNodesThanMatrices), "geometry_nodes in Zeile %1 nennt %2 Knoten, die Datei hat aber nur %3 Matrizen.",
     "geometry_nodes in line %1 names %2 nodes, but the file has only %3 matrices."},
    {Id(M::NodesNotThreeLinesEach), "Die geometry_nodes ab Zeile %1 bestehen nicht aus %2 Knoten zu je drei Zeilen.",
     "The geometry_nodes from line %1 do not consist of %2 nodes of three lines each."},
    {Id(M::NodeMapNotClosed), "geometry_node_map ab Zeile %1 wird vor den Vertices nicht geschlossen.",
     "geometry_node_map from line %1 is not closed before the vertices."},
    {Id(M::NegativeVertexCount), "vertex_set %1 hat eine negative Vertexzahl.",
     "vertex_set %1 has a negative vertex count."},
    {Id(M::VertexSetsMissing), "Im Subobjekt ab Zeile %1 fehlt der vertex_sets-Block.",
     "The sub-object from line %1 has no vertex_sets block."},
    {Id(M::VerticesMismatch),
     "Die Vertices ab Zeile %1 passen nicht zu den vertex_sets (%2 Vertices zu je drei Zeilen erwartet).",
     "The vertices from line %1 do not match the vertex_sets (%2 vertices of three lines each expected)."},
    {Id(M::VertexSetsCountMismatch), "Die Anzahl in vertex_sets (Zeile %1) passt nicht zu den gelesenen vertex_sets.",
     "The count in vertex_sets (line %1) does not match the vertex_sets read."},
    {Id(M::NoVertexSetLine), "Zeile %1 ist kein vertex_set mit ganzzahligem ersten Vertex.",
     "Line %1 is no vertex_set with a whole-number first vertex."},
    {Id(M::PrimitivesMissing), "Im Subobjekt ab Zeile %1 fehlt der primitives-Block.",
     "The sub-object from line %1 has no primitives block."},
    {Id(M::PrimitiveIncomplete), "Das Primitiv ab Zeile %1 ist unvollständig.",
     "The primitive from line %1 is incomplete."},
    {Id(M::PrimStateNoElement), "prim_state_idx in Zeile %1 verweist auf kein Element.",
     "prim_state_idx in line %1 refers to no element."},
    {Id(M::ElementInTwoPrimitives),
     "Element %1 (%2) wird von mehr als einem Primitiv verwendet (zweites ab Zeile %3); so eine Datei kann nicht in "
     "Subobjekte zerlegt werden.",
     "Element %1 (%2) is used by more than one primitive (the second from line %3); such a file cannot be split into "
     "sub-objects."},
    {Id(M::IndexNotInteger), "In den vertex_idxs in Zeile %1 steht \"%2\", das ist keine ganze Zahl.",
     "The vertex_idxs in line %1 hold \"%2\", which is not a whole number."},
    {Id(M::TriangleListNotClosed),
     "Die Dreiecksliste ab Zeile %1 wird nach ihren flags nicht mit einer eigenen Zeile \")\" geschlossen (Zeile %2).",
     "The triangle list from line %1 is not closed after its flags by a line \")\" of its own (line %2)."},
    {Id(M::AfterTriangleList),
     "Nach der Dreiecksliste, die in Zeile %1 endet, folgt in Zeile %2 weder prim_state_idx noch eine weitere "
     "Dreiecksliste noch das Ende von primitives.",
     "The triangle list that ends in line %1 is followed in line %2 by neither prim_state_idx nor a further "
     "triangle list nor the end of primitives."},

    {Id(M::DistanceMissing), "Für LOD %1 ist keine Entfernungsstufe eingetragen.",
     "No distance is entered for LOD %1."},
    {Id(M::DistanceInvalid),
     "Die Entfernung von LOD %1 \"%2\" ist keine gültige Zahl (erlaubt sind ganze Zahlen von 1 bis 2000).",
     "The distance of LOD %1 \"%2\" is not a valid number (whole numbers from 1 to 2000 are allowed)."},
    {Id(M::CellNotInteger), "Element %1 (%2): in der Spalte \"L %3\" steht keine ganze Zahl.",
     "Element %1 (%2): the column \"L %3\" does not hold a whole number."},
    {Id(M::AssignedWithoutPrimitive),
     "Element %1 (%2) ist in LOD %3 zugeordnet, wird aber von keinem Primitiv verwendet. Bitte in allen LODs 999 "
     "eintragen.",
     "Element %1 (%2) is assigned in LOD %3 but is used by no primitive. Please enter 999 in all LODs."},
    {Id(M::AssignedWithoutFaces),
     "Element %1 (%2) ist in LOD %3 zugeordnet, hat aber in der Spalte \"Faces\" keine ganze Zahl.",
     "Element %1 (%2) is assigned in LOD %3 but has no whole number in the column \"Faces\"."},
    {Id(M::AssignedWithoutVertexSet),
     "Element %1 (%2) ist in LOD %3 zugeordnet, aber sein vtx_state %4 hat kein vertex_set.",
     "Element %1 (%2) is assigned in LOD %3, but its vtx_state %4 has no vertex_set."},
    {Id(M::AssignedWithoutMatrix),
     "Element %1 (%2) ist in LOD %3 zugeordnet, aber sein vtx_state %4 verweist auf die Matrix %5, die es nicht gibt.",
     "Element %1 (%2) is assigned in LOD %3, but its vtx_state %4 refers to the matrix %5, which does not exist."},

    {Id(M::TrianglesNotWhole),
     "Element %1 (%2): die Dreiecke für LOD %3 sind keine ganzen Dreiecke (%4 Vertex-Nummern).",
     "Element %1 (%2): the triangles for LOD %3 are no whole triangles (%4 vertex numbers)."},
    {Id(M::FlagsWordNotDecimal),
     "Das Flag-Wort \"%1\" in sub_object_header (Zeile %2) ist keine Dezimalzahl mit mindestens drei Ziffern; "
     "sortierte "
     "Subobjekte können daraus nicht erzeugt werden.",
     "The flags word \"%1\" in sub_object_header (line %2) is not a decimal number of at least three digits; sorted "
     "sub-objects cannot be made from it."},
    {Id(M::NoSortIndices), "sub_object_header in Zeile %1 enthält keine Sortier-Indizes.",
     "sub_object_header in line %1 holds no sort indices."},
    {Id(M::NoVolumeForSorting),
     "Für sortierte Subobjekte wird vor sort_vectors ein volumes-Block mit einer vol_sphere gebraucht, die Datei hat "
     "keinen solchen.",
     "Sorted sub-objects need a volumes block with a vol_sphere before sort_vectors; the file has none."},
    {Id(M::VolumeUnusable),
     "Für sortierte Subobjekte wird vor sort_vectors ein volumes-Block mit einer vol_sphere gebraucht, der in Zeile %1 "
     "ist nicht verwendbar.",
     "Sorted sub-objects need a volumes block with a vol_sphere before sort_vectors; the one in line %1 cannot be "
     "used."},
    {Id(M::SortVectorsCountNoNumber), "Die Anzahl in sort_vectors (Zeile %1) ist keine ganze Zahl.",
     "The count in sort_vectors (line %1) is not a whole number."},
    {Id(M::FlagsWordCannotSort),
     "Das Flag-Wort \"%1\" in sub_object_header ist keine Dezimalzahl mit mindestens drei Ziffern; das Subobjekt kann "
     "nicht sortiert werden.",
     "The flags word \"%1\" in sub_object_header is not a decimal number of at least three digits; the sub-object "
     "cannot be sorted."},

    {Id(M::FacesNotInteger), "Element %1 (%2) hat in der Spalte \"Faces\" keine ganze Zahl.",
     "Element %1 (%2) has no whole number in the column \"Faces\"."},
    {Id(M::ElementWithoutMatrix), "Element %1 verweist auf keine vorhandene Matrix.",
     "Element %1 refers to no existing matrix."},
    {Id(M::SubObjectFacesTooLarge), "Die Flächenzahl des Subobjekts ist zu groß.",
     "The face count of the sub-object is too large."},
    {Id(M::SubObjectIndicesTooLarge), "Die Indexzahl des Subobjekts ist zu groß.",
     "The index count of the sub-object is too large."},

    {Id(M::ElementNotRead), "Element %1 wurde nicht gelesen.", "Element %1 was not read."},
    {Id(M::ElementWithoutVertexSet), "Element %1 verweist auf vtx_state %2, zu dem es kein vertex_set gibt.",
     "Element %1 refers to vtx_state %2, which has no vertex_set."},
    {Id(M::TooManyVertices), "Die vertex_sets ergeben %1 Vertices, mehr als %2.",
     "The vertex_sets add up to %1 vertices, more than %2."},

    {Id(M::TriangleVertexOutsideSet),
     "Element %1: die Dreiecke für LOD %2 nennen Vertex %3, der nicht im vertex_set von vtx_state %4 liegt.",
     "Element %1: the triangles for LOD %2 name vertex %3, which lies outside the vertex_set of vtx_state %4."},
    {Id(M::CoordinateNotFinite), "Element %1: Punkt %2 hat eine Koordinate, die keine endliche Zahl ist.",
     "Element %1: point %2 has a coordinate that is not a finite number."},
    {Id(M::SubObjectProgress), "%1. LOD %2. Subobjekt...", "LOD %1, sub-object %2..."},
    {Id(M::VerticesProgress), "Vertices...", "Vertices..."},
    {Id(M::FacesProgress), "Faces...", "Faces..."},

    {Id(M::AssignmentRefused), "Bitte nur positive ganze Zahlen 1...99 oder 0 oder 999 eintragen!",
     "Please enter only positive whole numbers 1...99, or 0, or 999!"},
    {Id(M::SortMarkRefused), "Bitte nur \"x\" oder \"X\" eintragen!", "Please enter only \"x\" or \"X\"!"},
    {Id(M::DistanceRefused), "Bitte nur positive ganze Zahlen 1...2000 eintragen!",
     "Please enter only positive whole numbers 1...2000!"},
    {Id(M::DistanceMissingHint), "Bitte Wert eintragen.", "Please enter a value."},
    {Id(M::BulkNumberRefused), "Bitte nur ganze Zahlen 0...99 oder 999 eintragen!",
     "Please enter only whole numbers 0...99 or 999!"},
    {Id(M::ShiftRowsDown),
     "Ab der Zeile mit dem Fokus alle Nummern eine Zeile nach unten rücken (sinnvoll, falls ein Element "
     "hinzugekommen ist)?",
     "Move all numbers from the focused row on one row down (useful when an element has been added)?"},
    {Id(M::ShiftRowsUp),
     "Alle Nummern unterhalb der Zeile mit dem Fokus eine Zeile nach oben rücken (sinnvoll, falls ein Element "
     "entfernt wurde)?",
     "Move all numbers below the focused row one row up (useful when an element has been removed)?"},
};

}  // namespace

std::span<const MessageText> GenerationTexts() { return kTexts; }

}  // namespace lodsmith
