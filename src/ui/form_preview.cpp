// The preview window's handlers: the window model keeps the camera, the LOD
// and the selection; the front end only draws the picture made here.
#include <algorithm>
#include <cstdio>

#include "core/file_io.h"
#include "core/grid_columns.h"
#include "preview/preview_messages.h"
#include "preview/preview_render.h"
#include "ui/tlsform.h"

namespace lodsmith {

using grid::ElementLodColumn;

void TLSForm::ApplyPreviewTexts() {
  auto text = [this](PreviewMsg id) { return Text(Message(id)); };
  PreviewButton.Caption = text(PreviewMsg::ButtonCaption);
  Preview.Caption = Text(Message(PreviewMsg::WindowTitle, FileName.empty() ? "" : ExtractFileName(FileName)));
  Preview.FrontCaption = text(PreviewMsg::ViewFront);
  Preview.SideCaption = text(PreviewMsg::ViewSide);
  Preview.TopCaption = text(PreviewMsg::ViewTop);
  Preview.IsoCaption = text(PreviewMsg::ViewIso);
  Preview.ResetCaption = text(PreviewMsg::ResetView);
  Preview.AsSeenCaption = text(PreviewMsg::AsSeen);
  Preview.AsFirstSeenCaption = text(PreviewMsg::AsFirstSeen);
  Preview.ColourCaption = text(PreviewMsg::ColourBySubObject);
  Preview.LodLabel.Caption = text(PreviewMsg::LodLabel);
  Preview.AllLodsText = text(PreviewMsg::AllLods);
}

void TLSForm::PreviewButtonClick() {
  ApplyPreviewTexts();
  // The selection the grid holds now is not a choice made for the preview.
  Preview.SeenCol = StringGrid1.Col;
  Preview.SeenRow = StringGrid1.Row;
  Preview.LodSpinEdit.MinValue = 0;
  Preview.LodSpinEdit.MaxValue = std::max(1, LodCount);
  Preview.Visible = true;
  platform_.ShowPreviewWindow();
}

void TLSForm::PreviewViewClick(PreviewView view) {
  const double zoom = Preview.Camera.zoom;
  Preview.View = view;
  Preview.Camera = CameraFor(view);
  Preview.Camera.zoom = zoom;
}

void TLSForm::PreviewResetClick() {
  Preview.View = PreviewView::Front;
  Preview.Camera = CameraFor(PreviewView::Front);
  Preview.HighlightRow = 0;
}

void TLSForm::PreviewOrbit(int dx, int dy) { OrbitCamera(Preview.Camera, dx, dy); }

void TLSForm::PreviewZoom(int steps) { ZoomCamera(Preview.Camera, steps); }

void TLSForm::PreviewLodSpinEditChange(int value) {
  TSpinEdit& s = Preview.LodSpinEdit;
  s.Value = std::clamp(value, s.MinValue, s.MaxValue);
}

void TLSForm::PreviewColourClick(bool on) { Preview.ColourBySubObject = on; }

// "As seen" and "as first seen" exclude each other.
void TLSForm::PreviewAsSeenClick(bool on) {
  Preview.AsSeen = on;
  if (on) Preview.AsFirstSeen = false;
}

void TLSForm::PreviewAsFirstSeenClick(bool on) {
  Preview.AsFirstSeen = on;
  if (on) Preview.AsSeen = false;
}

void TLSForm::PreviewClose() { Preview.Visible = false; }

PreviewFrame TLSForm::RenderPreview(int width, int height) {
  TSpinEdit& spin = Preview.LodSpinEdit;
  // A cell chosen in the element grid since the last picture: its row is
  // highlighted and its "L k" column chooses the LOD. Only while the window
  // is open: a selection made before it was is no choice for it.
  if (Preview.Visible && (StringGrid1.Col != Preview.SeenCol || StringGrid1.Row != Preview.SeenRow)) {
    Preview.SeenCol = StringGrid1.Col;
    Preview.SeenRow = StringGrid1.Row;
    if (StringGrid1.Row >= 1 && StringGrid1.Row < StringGrid1.RowCount()) Preview.HighlightRow = StringGrid1.Row;
    const int lod = StringGrid1.Col - ElementLodColumn(1) + 1;
    if (lod >= 1) spin.Value = lod;
  }
  PreviewSettings s;
  s.width = std::max(1, width);
  s.height = std::max(1, height);
  Preview.Caption = Text(Message(PreviewMsg::WindowTitle, FileName.empty() ? "" : ExtractFileName(FileName)));
  spin.MinValue = 0;
  spin.MaxValue = std::max(1, LodCount);
  spin.Value = std::clamp(spin.Value, spin.MinValue, spin.MaxValue);

  s.camera = Preview.Camera;
  s.lod = spin.Value;
  s.colourBySubObject = Preview.ColourBySubObject;
  s.highlightElement = Preview.HighlightRow;
  s.asSeen = Preview.AsSeen;
  s.asFirstSeen = Preview.AsFirstSeen;
  PreviewFrame f;
  try {
    Preview.StatusText = Text(session.Shot(s, f));
  } catch (const Error& e) {
    // The background, and why nothing is drawn on it.
    Preview.StatusText = Text(e.message());
    f = PreviewFrame{};
    f.image = Raster(s.width, s.height, kPreviewBackground).TakeImage();
  }
  return f;
}

}  // namespace lodsmith
