#include "win32/preview_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

#include "core/native_file.h"
#include "win32/main_window.h"

namespace lodsmith {

namespace {

const wchar_t* const kPreviewClass = L"LodsmithPreview";
const wchar_t* const kCanvasClass = L"LodsmithPreviewCanvas";

// Design sizes (pixels at 96 dpi): the window's client area at first, the
// smallest it may become, the margins and the control bar's height.
constexpr int kClientWidth = 820, kClientHeight = 680, kMinWidth = 360, kMinHeight = 260;
constexpr int kMargin = 8, kGap = 6, kBarHeight = 25, kStatusHeight = 17;

// The model's texts are UTF-8; true when the text changed.
bool SetCaption(HWND hwnd, const std::string& text) { return SetTextIfChanged(hwnd, Widen(text)); }

void RegisterClasses() {
  RegisterWindowClass(kPreviewClass, true, true);
  // The canvas paints every pixel itself: no background erase, no flicker.
  RegisterWindowClass(kCanvasClass, false, false);
}

PreviewWindow* From(HWND hwnd) { return reinterpret_cast<PreviewWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

}  // namespace

RECT BesideWindow(const RECT& main, SIZE size, const RECT& area, int minWidth) {
  const LONG roomRight = area.right - main.right, roomLeft = main.left - area.left;
  const bool right = roomRight >= roomLeft;
  const LONG room = right ? roomRight : roomLeft;
  LONG width = size.cx;
  if (room < width && room >= minWidth) width = room;
  LONG x = right ? main.right : main.left - width;
  if (room < width) x = right ? area.right - width : area.left;  // as far aside as it fits
  x = std::max(area.left, x);
  LONG y = std::min(main.top, area.bottom - size.cy);
  y = std::max(area.top, y);
  return RECT{x, y, x + width, y + size.cy};
}

PreviewWindow::PreviewWindow(TLSForm& form, HWND owner, int dpi)
    : form_(form), dpi_(dpi > 0 ? dpi : 96), owner_(owner) {
  RegisterClasses();
  RECT r{0, 0, Scale(kClientWidth), Scale(kClientHeight)};
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  ::AdjustWindowRectEx(&r, style, FALSE, 0);
  hwnd_ = ::CreateWindowExW(WS_EX_CONTROLPARENT, kPreviewClass, Widen(form_.Preview.Caption).c_str(), style,
                            CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, owner, nullptr,
                            ::GetModuleHandleW(nullptr), nullptr);
  ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PreviewWindow::WndProc));

  const PreviewView order[] = {PreviewView::Front, PreviewView::Side, PreviewView::Top, PreviewView::Iso};
  for (PreviewView v : order) views_[static_cast<int>(v)] = MakeControl(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON);
  reset_ = MakeControl(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON);
  lodLabel_ = MakeControl(WC_STATICW, SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_CENTERIMAGE);
  // A read-only edit with arrows, as the main window's spin edits: the
  // value changes with the arrows (buttons, keys, wheel) only.
  lodEdit_ = MakeControl(WC_EDITW, WS_TABSTOP | ES_READONLY, WS_EX_CLIENTEDGE);
  lodArrows_ = MakeControl(UPDOWN_CLASSW, UDS_ARROWKEYS | UDS_NOTHOUSANDS);
  ::SendMessageW(lodArrows_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(lodEdit_), 0);
  colour_ = MakeControl(WC_BUTTONW, WS_TABSTOP | BS_AUTOCHECKBOX);
  asSeen_ = MakeControl(WC_BUTTONW, WS_TABSTOP | BS_AUTOCHECKBOX);
  asFirstSeen_ = MakeControl(WC_BUTTONW, WS_TABSTOP | BS_AUTOCHECKBOX);
  canvas_ = ::CreateWindowExW(0, kCanvasClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, hwnd_, nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
  ::SetWindowLongPtrW(canvas_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetWindowLongPtrW(canvas_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PreviewWindow::CanvasProc));
  status_ = MakeControl(WC_STATICW, SS_LEFTNOWORDWRAP | SS_NOPREFIX);
  ApplyDpi(dpi_);
}

PreviewWindow::~PreviewWindow() {
  // The owner's end may have destroyed the window already.
  if (hwnd_ && ::IsWindow(hwnd_)) {
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::SetWindowLongPtrW(canvas_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
  }
  if (font_) ::DeleteObject(font_);
}

HWND PreviewWindow::MakeControl(const wchar_t* cls, DWORD style, DWORD exStyle) {
  return ::CreateWindowExW(exStyle, cls, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId_++)), ::GetModuleHandleW(nullptr),
                           nullptr);
}

int PreviewWindow::Scale(int designPixels) const { return ScaleToDpi(designPixels, dpi_); }

void PreviewWindow::ApplyDpi(int dpi) {
  dpi_ = dpi > 0 ? dpi : 96;
  HFONT old = font_;
  font_ = CreateFormFont(dpi_);
  for (HWND c = ::GetWindow(hwnd_, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
    ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  if (old) ::DeleteObject(old);
  ShowCaptions();
  Layout();
}

void PreviewWindow::Show() {
  if (!placed_ && owner_) {
    // Beside the main window, not over it.
    placed_ = true;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(owner_, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT main, own;
    ::GetWindowRect(owner_, &main);
    ::GetWindowRect(hwnd_, &own);
    RECT frame{0, 0, std::max(Scale(kMinWidth), barWidth_), Scale(kMinHeight)};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
    const RECT r =
        BesideWindow(main, SIZE{own.right - own.left, own.bottom - own.top}, monitor.rcWork, frame.right - frame.left);
    ::SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::ShowWindow(hwnd_, SW_SHOWNORMAL);
  ::SetForegroundWindow(hwnd_);
  Refresh();
}

void PreviewWindow::ShowCaptions() {
  const TPreview& p = form_.Preview;
  bool changed = SetCaption(hwnd_, p.Caption);
  changed |= SetCaption(views_[static_cast<int>(PreviewView::Front)], p.FrontCaption);
  changed |= SetCaption(views_[static_cast<int>(PreviewView::Side)], p.SideCaption);
  changed |= SetCaption(views_[static_cast<int>(PreviewView::Top)], p.TopCaption);
  changed |= SetCaption(views_[static_cast<int>(PreviewView::Iso)], p.IsoCaption);
  changed |= SetCaption(reset_, p.ResetCaption);
  changed |= SetCaption(lodLabel_, p.LodLabel.Caption);
  changed |= SetCaption(colour_, p.ColourCaption);
  changed |= SetCaption(asSeen_, p.AsSeenCaption);
  changed |= SetCaption(asFirstSeen_, p.AsFirstSeenCaption);
  SetCaption(status_, p.StatusText);
  // At the lowest value the spin shows the model's word for "every LOD".
  const TSpinEdit& s = p.LodSpinEdit;
  changed |= SetCaption(lodEdit_, s.Value == s.MinValue ? p.AllLodsText : std::to_string(s.Value));
  // The bar's widths follow the captions (the language may have changed).
  if (changed) Layout();
}

void PreviewWindow::Layout() {
  if (!hwnd_ || !font_) return;
  HDC dc = ::GetDC(hwnd_);
  HGDIOBJ oldFont = ::SelectObject(dc, font_);
  auto textWidth = [dc](HWND control) {
    const std::wstring t = WindowText(control);
    SIZE size{0, 0};
    ::GetTextExtentPoint32W(dc, t.c_str(), static_cast<int>(t.size()), &size);
    return static_cast<int>(size.cx);
  };
  int x = Scale(kMargin);
  const int y = Scale(kMargin), h = Scale(kBarHeight);
  auto put = [&](HWND control, int width, int top, int height) {
    ::MoveWindow(control, x, top, width, height, TRUE);
    x += width + Scale(kGap);
  };
  for (HWND b : views_) put(b, std::max(Scale(75), textWidth(b) + Scale(16)), y, h);
  put(reset_, std::max(Scale(75), textWidth(reset_) + Scale(16)), y, h);
  x += Scale(12 - kGap);
  put(lodLabel_, textWidth(lodLabel_) + Scale(2), y, h);
  // The edit is wide enough for the "every LOD" word, the arrows beside it.
  const int editWidth = std::max(Scale(30), textWidth(lodEdit_) + Scale(10));
  ::MoveWindow(lodEdit_, x, y + Scale(1), editWidth, Scale(22), TRUE);
  ::MoveWindow(lodArrows_, x + editWidth, y + Scale(1), Scale(17), Scale(22), TRUE);
  x += editWidth + Scale(17) + Scale(kGap);
  put(colour_, textWidth(colour_) + Scale(24), y, h);
  put(asSeen_, textWidth(asSeen_) + Scale(24), y, h);
  put(asFirstSeen_, textWidth(asFirstSeen_) + Scale(24), y, h);
  ::SelectObject(dc, oldFont);
  ::ReleaseDC(hwnd_, dc);
  barWidth_ = x - Scale(kGap) + Scale(kMargin);

  RECT client;
  ::GetClientRect(hwnd_, &client);
  if (client.right < barWidth_ && !::IsZoomed(hwnd_) && !::IsIconic(hwnd_)) {
    // Wide enough for every control of the bar (longer captions in another
    // language); the resize lays the window out again.
    RECT frame{0, 0, barWidth_, client.bottom};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
    ::SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  const int m = Scale(kMargin), statusH = Scale(kStatusHeight);
  const int top = y + h + m;
  const int bottom = std::max(top + 1, static_cast<int>(client.bottom) - m - statusH - Scale(4));
  ::MoveWindow(canvas_, m, top, std::max(1, static_cast<int>(client.right) - 2 * m), bottom - top, TRUE);
  ::MoveWindow(status_, m, bottom + Scale(4), std::max(1, static_cast<int>(client.right) - 2 * m), statusH, TRUE);
}

void PreviewWindow::Send(const std::function<void()>& handler) {
  if (refreshing_) return;  // a control set by Refresh, not by the user
  form_.Dispatch(handler);
  Refresh();
}

void PreviewWindow::Refresh() {
  if (refreshing_ || !hwnd_) return;
  refreshing_ = true;
  RECT r;
  ::GetClientRect(canvas_, &r);
  const PreviewFrame frame = form_.RenderPreview(std::max<int>(1, r.right), std::max<int>(1, r.bottom));
  const TPreview& p = form_.Preview;
  ShowCaptions();
  const TSpinEdit& s = p.LodSpinEdit;
  ::SendMessageW(lodArrows_, UDM_SETRANGE32, static_cast<WPARAM>(s.MinValue), std::max(s.MinValue, s.MaxValue));
  ::SendMessageW(lodArrows_, UDM_SETPOS32, 0, s.Value);
  ::SendMessageW(colour_, BM_SETCHECK, p.ColourBySubObject ? BST_CHECKED : BST_UNCHECKED, 0);
  ::SendMessageW(asSeen_, BM_SETCHECK, p.AsSeen ? BST_CHECKED : BST_UNCHECKED, 0);
  ::SendMessageW(asFirstSeen_, BM_SETCHECK, p.AsFirstSeen ? BST_CHECKED : BST_UNCHECKED, 0);
  // A 32-bit DIB holds blue, green, red and a spare byte; the frame is
  // red, green, blue, alpha. The copy outlives the frame.
  const RgbaImage& img = frame.image;
  pictureWidth_ = img.width;
  pictureHeight_ = img.height;
  picture_.resize(img.pixels.size());
  for (std::size_t i = 0; i + 3 < img.pixels.size(); i += 4) {
    picture_[i] = img.pixels[i + 2];
    picture_[i + 1] = img.pixels[i + 1];
    picture_[i + 2] = img.pixels[i];
    picture_[i + 3] = 0;
  }
  ::InvalidateRect(canvas_, nullptr, FALSE);
  refreshing_ = false;
}

// ---- Messages ----------------------------------------------------------------------------

LRESULT CALLBACK PreviewWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (PreviewWindow* w = From(hwnd)) return w->Handle(msg, wp, lp);
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK PreviewWindow::CanvasProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (PreviewWindow* w = From(hwnd)) return w->HandleCanvas(msg, wp, lp);
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT PreviewWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND: {
      const HWND from = reinterpret_cast<HWND>(lp);
      if (!from || HIWORD(wp) != BN_CLICKED) break;
      for (int v = 0; v < 4; ++v)
        if (from == views_[v]) {
          const auto view = static_cast<PreviewView>(v);
          Send([this, view] { form_.PreviewViewClick(view); });
          return 0;
        }
      if (from == reset_) {
        Send([this] { form_.PreviewResetClick(); });
        return 0;
      }
      if (from == colour_ || from == asSeen_ || from == asFirstSeen_) {
        const bool on = ::SendMessageW(from, BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (from == colour_)
          Send([this, on] { form_.PreviewColourClick(on); });
        else if (from == asSeen_)
          Send([this, on] { form_.PreviewAsSeenClick(on); });
        else
          Send([this, on] { form_.PreviewAsFirstSeenClick(on); });
        return 0;
      }
      break;
    }
    case WM_NOTIFY: {
      const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
      if (hdr->hwndFrom == lodArrows_ && hdr->code == UDN_DELTAPOS) {
        const int v = form_.Preview.LodSpinEdit.Value + reinterpret_cast<const NMUPDOWN*>(lp)->iDelta;
        Send([this, v] { form_.PreviewLodSpinEditChange(v); });
        return TRUE;  // the model set the value; Refresh has shown it
      }
      break;
    }
    case WM_CTLCOLORSTATIC: {
      // The read-only LOD edit keeps the window colour, as in the main window.
      HDC dc = reinterpret_cast<HDC>(wp);
      ::SetBkMode(dc, TRANSPARENT);
      if (reinterpret_cast<HWND>(lp) == lodEdit_) return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_MOUSEWHEEL: {
      // The wheel zooms while the mouse is over the picture; one notch is
      // 120, touch pads send less at a time.
      POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      RECT r;
      ::GetWindowRect(canvas_, &r);
      if (!::PtInRect(&r, at)) break;
      wheel_ += GET_WHEEL_DELTA_WPARAM(wp);
      const int steps = wheel_ / WHEEL_DELTA;
      wheel_ -= steps * WHEEL_DELTA;
      if (steps) Send([this, steps] { form_.PreviewZoom(steps); });
      return 0;
    }
    case WM_SIZE:
      Layout();
      // The picture is made for the canvas's own size.
      if (::IsWindowVisible(hwnd_)) Refresh();
      return 0;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lp);
      RECT r{0, 0, std::max(Scale(kMinWidth), barWidth_), Scale(kMinHeight)};
      ::AdjustWindowRectEx(&r, static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
      info->ptMinTrackSize = POINT{r.right - r.left, r.bottom - r.top};
      return 0;
    }
    case WM_DPICHANGED: {
      ApplyDpi(HIWORD(wp));
      const RECT* suggested = reinterpret_cast<const RECT*>(lp);
      ::SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_CLOSE:
      // Hidden, not destroyed: the next click on the button shows it again.
      form_.Dispatch([this] { form_.PreviewClose(); });
      ::ShowWindow(hwnd_, SW_HIDE);
      return 0;
    default: break;
  }
  return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT PreviewWindow::HandleCanvas(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(canvas_, &ps);
      RECT r;
      ::GetClientRect(canvas_, &r);
      if (pictureWidth_ > 0 && pictureHeight_ > 0) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = pictureWidth_;
        info.bmiHeader.biHeight = -pictureHeight_;  // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        ::StretchDIBits(dc, 0, 0, pictureWidth_, pictureHeight_, 0, 0, pictureWidth_, pictureHeight_, picture_.data(),
                        &info, DIB_RGB_COLORS, SRCCOPY);
      }
      // Where the picture does not reach (a resize not yet answered).
      HBRUSH bg = ::CreateSolidBrush(RGB(kPreviewBackground.r, kPreviewBackground.g, kPreviewBackground.b));
      RECT right{pictureWidth_, 0, r.right, r.bottom}, below{0, pictureHeight_, pictureWidth_, r.bottom};
      if (right.left < right.right) ::FillRect(dc, &right, bg);
      if (below.top < below.bottom) ::FillRect(dc, &below, bg);
      ::DeleteObject(bg);
      ::EndPaint(canvas_, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
      // The focus comes here so that the wheel's messages reach this window.
      ::SetFocus(canvas_);
      ::SetCapture(canvas_);
      last_ = POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      return 0;
    case WM_MOUSEMOVE: {
      if (!(wp & MK_LBUTTON)) return 0;
      const POINT now{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      const int dx = now.x - last_.x, dy = now.y - last_.y;
      last_ = now;
      if (dx || dy) Send([this, dx, dy] { form_.PreviewOrbit(dx, dy); });
      return 0;
    }
    case WM_LBUTTONUP:
      if (::GetCapture() == canvas_) ::ReleaseCapture();
      return 0;
    default: break;
  }
  return ::DefWindowProcW(canvas_, msg, wp, lp);
}

}  // namespace lodsmith
