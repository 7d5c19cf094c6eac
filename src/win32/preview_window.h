// The preview window on Windows: a non-modal window owned by the main
// window that shows the picture the window model renders
// (TLSForm::RenderPreview) and sends the model its view buttons, LOD arrows,
// toggles, mouse drags and wheel turns. It decides nothing: after each
// event it asks the model for a new picture. Its controls sit at design
// places (pixels at 96 dpi) scaled by the monitor's DPI.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "ui/tlsform.h"

namespace lodsmith {

// Where a window of `size` opens beside the window `main` (screen
// rectangles) within the work area `area`: on the side with more room,
// level with `main`'s top as far as the area allows. Where that side is
// narrower than `size` but at least `minWidth` wide, the window is narrowed
// to it; where it is narrower still, the window keeps its size and stands
// at the area's edge on that side, as far aside as it fits.
RECT BesideWindow(const RECT& main, SIZE size, const RECT& area, int minWidth);

class PreviewWindow {
public:
  // Created hidden; `owner` is the main window.
  PreviewWindow(TLSForm& form, HWND owner, int dpi);
  ~PreviewWindow();
  PreviewWindow(const PreviewWindow&) = delete;
  PreviewWindow& operator=(const PreviewWindow&) = delete;

  HWND Handle() const { return hwnd_; }
  bool Visible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }
  // Shows the window (or brings it to the front) with a new picture; the
  // first time beside its owner (BesideWindow on the owner's monitor).
  void Show();
  // Model -> controls, and a new picture for the canvas's size.
  void Refresh();

  // For the tests: the controls, the canvas and the last picture shown
  // (blue, green, red, unused per pixel, top row first).
  HWND ViewButton(PreviewView view) const { return views_[static_cast<int>(view)]; }
  HWND ResetButton() const { return reset_; }
  HWND LodEdit() const { return lodEdit_; }
  HWND LodArrows() const { return lodArrows_; }
  HWND ColourBox() const { return colour_; }
  HWND AsSeenBox() const { return asSeen_; }
  HWND Status() const { return status_; }
  HWND Canvas() const { return canvas_; }
  int PictureWidth() const { return pictureWidth_; }
  int PictureHeight() const { return pictureHeight_; }
  const std::vector<unsigned char>& Picture() const { return picture_; }

private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK CanvasProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleCanvas(UINT msg, WPARAM wp, LPARAM lp);

  // Runs a preview handler of the model, then refreshes.
  void Send(const std::function<void()>& handler);
  // The model's captions and texts into the controls (changed ones only).
  void ShowCaptions();
  // Places the bar's controls by their captions' widths, the canvas and
  // the status line, for the client area's size.
  void Layout();
  void ApplyDpi(int dpi);
  int Scale(int designPixels) const;
  HWND MakeControl(const wchar_t* cls, DWORD style, DWORD exStyle = 0);

  TLSForm& form_;
  HWND hwnd_ = nullptr;
  HWND canvas_ = nullptr;
  HWND views_[4] = {};
  HWND reset_ = nullptr;
  HWND lodLabel_ = nullptr;
  HWND lodEdit_ = nullptr;
  HWND lodArrows_ = nullptr;
  HWND colour_ = nullptr;
  HWND asSeen_ = nullptr;
  HWND asFirstSeen_ = nullptr;
  HWND status_ = nullptr;
  HFONT font_ = nullptr;
  int dpi_ = 96;
  int nextId_ = 100;
  bool refreshing_ = false;
  std::vector<unsigned char> picture_;
  int pictureWidth_ = 0, pictureHeight_ = 0;
  POINT last_{0, 0};
  int wheel_ = 0;
  int barWidth_ = 0;  // the control bar's width with its margins, in pixels
  HWND owner_ = nullptr;
  bool placed_ = false;
};

}  // namespace lodsmith
