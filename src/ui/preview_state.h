// The state of the preview window, kept by the window model like every
// other control's: the front end draws the picture TLSForm::RenderPreview
// makes, shows these captions and texts, and sends its clicks, drags and
// wheel turns to the TLSForm::Preview... handlers.
#pragma once

#include <string>

#include "preview/preview_render.h"
#include "ui/controls.h"

namespace lodsmith {

struct TPreview {
  bool Visible = false;  // the window is open
  std::string Caption;   // its title

  PreviewView View = PreviewView::Front;
  PreviewCamera Camera = CameraFor(PreviewView::Front);
  // 0: every element (no LOD filter); k: LOD k of the element grid. Its
  // maximum follows the grid's "L k" columns.
  TSpinEdit LodSpinEdit;
  TLabel LodLabel;
  bool ColourBySubObject = false;
  bool AsSeen = false;
  bool AsFirstSeen = false;  // "as seen" from where the LOD is first seen
  // The element row shown highlighted (0: none). A cell selected in the
  // element grid sets it, and its "L k" column sets the LOD.
  int HighlightRow = 0;

  std::string FrontCaption, SideCaption, TopCaption, IsoCaption, ResetCaption, AsSeenCaption, AsFirstSeenCaption,
      ColourCaption, AllLodsText;
  // Under the picture: what is shown, the height "as seen", or why nothing
  // can be shown.
  std::string StatusText;

  // The grid selection the preview last followed, so that only a new
  // selection moves the highlight and the LOD.
  int SeenCol = -1, SeenRow = -1;
};

}  // namespace lodsmith
