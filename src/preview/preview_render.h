// The preview picture of a shape: which triangles are shown (all, or the
// elements an assignment puts into one LOD), their colours, the camera, and
// the rendering into an RGBA image.
//
// Camera. The eye looks along d = (sin(yaw) cos(pitch), -sin(pitch),
// cos(yaw) cos(pitch)) in model space (y up); the screen's right is
// r = (cos(yaw), 0, -sin(yaw)) and its up u = d x r. Front looks along +z
// (yaw 0, pitch 0), side along -x (yaw -90), top downwards (pitch 90), iso
// from front right above (yaw -45, pitch 35.264, the cube's diagonal).
//
// Framing (orthographic views). All triangles' corners are projected
// to (p.r, p.u); their bounding box, centred in the image, is scaled by one
// factor to fill the image less a margin of floor(min(width, height) / 10)
// pixels on every side along the tighter axis, then by the camera's zoom
// about the image centre. A pixel is drawn when its centre lies inside a
// triangle (raster.h), so a box side that falls at s draws the pixels from
// ceil(s - 0.5) on.
//
// As seen. A perspective from the LOD's distance to the centre of the shown
// geometry's box, as a 1920 x 1080 screen with a 55 degree vertical field of
// view shows it: the picture is rendered with the screen's own pixels and
// then enlarged by a whole factor (square pixels) so that the model fills
// about four fifths of the image, and the model's height on that screen is
// reported. A triangle with a corner nearer than 5 cm to the eye is left
// out. Each screen pixel shows the mean of up to 4 x 4 samples (no more
// along an axis than the enlargement), and a sample is drawn by every
// triangle that touches it, so that parts thinner than a pixel show
// blended instead of vanishing.
//
// The orthographic views frame every triangle of the shape, whichever LOD
// is shown, so that switching LODs keeps the frame.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "preview/raster.h"
#include "preview/shape_geometry.h"

namespace lodsmith {

struct LodAssignment;

enum class PreviewView { Front, Side, Top, Iso };

struct PreviewCamera {
  double yawDegrees = 0;
  double pitchDegrees = 0;
  double zoom = 1;  // > 0; 1 = the framing above
};

// The camera of a named view, zoom 1.
PreviewCamera CameraFor(PreviewView view);
// Degrees the camera turns per pixel dragged, and the zoom factor per
// wheel step.
inline constexpr double kOrbitDegreesPerPixel = 0.5;
inline constexpr double kZoomPerWheelStep = 1.15;
// A drag of dx, dy pixels turns the camera: the model follows the mouse (a
// drag to the right turns its left side into view, a drag down its top);
// the pitch stays within +-90 degrees.
void OrbitCamera(PreviewCamera& camera, int dx, int dy);
// Wheel steps zoom (positive: in), within limits far enough either way to
// lose nothing and near enough to stay finite.
void ZoomCamera(PreviewCamera& camera, int steps);
// "front", "side", "top", "iso"; nothing for any other text.
std::optional<PreviewView> PreviewViewNamed(const std::string& name);

// The screen "as seen" pictures are made for.
inline constexpr int kAsSeenScreenHeight = 1080;
inline constexpr int kAsSeenScreenWidth = 1920;
inline constexpr double kAsSeenFieldOfViewDegrees = 55;

struct PreviewSettings {
  int width = 800;  // pixels, >= 1
  int height = 600;
  PreviewCamera camera;
  // 0: every triangle of the shape; k >= 1: the elements whose cell of
  // "L k" places them (0: every sub-object, a sub-object number), 999 and
  // every other cell leaving them out.
  int32_t lod = 0;
  // Colour by the sub-object the LOD's cell names (LOD 1's when lod is 0)
  // instead of one colour per element.
  bool colourBySubObject = false;
  // Element row (1-based) shown in its colour while the rest is dimmed; 0:
  // none.
  int32_t highlightElement = 0;
  // Perspective from the LOD's distance (needs lod >= 1 and a positive
  // distance in the assignment).
  bool asSeen = false;
  // With asSeen: a distance above 0 is the one looked from instead of the
  // LOD's own (where the LOD is first seen).
  double asSeenFrom = 0;
  // "As seen" from where the LOD is first seen (Session::Shot sets asSeen
  // and asSeenFrom for it).
  bool asFirstSeen = false;
};

struct PreviewFrame {
  RgbaImage image;
  int64_t shownTriangles = 0;
  int32_t shownElements = 0;
  // As seen: the distance used and the model's height on the screen in
  // pixels.
  double distance = 0;
  double screenHeightPixels = 0;
};

// The background and the colours, for tests that tell shown from empty.
inline constexpr Rgba kPreviewBackground{48, 52, 60, 255};
// Element row e's own colour and sub-object s's colour (0: every
// sub-object), before shading.
Rgba ElementColour(int32_t element);
Rgba SubObjectColour(int32_t subObject);

// Renders the geometry. `assignment` may be null when lod is 0 and the
// colours are per element. Raises Error (PreviewMsg::NoDistance) for "as
// seen" without a positive distance for the LOD. An empty selection gives
// the background alone.
PreviewFrame RenderPreview(const ShapeGeometry& geometry, const LodAssignment* assignment,
                           const PreviewSettings& settings);

}  // namespace lodsmith
