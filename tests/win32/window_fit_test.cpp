// The Windows window fits its content at the form's places and sizes: every
// caption whole in the face the machine has (smaller where it must be), a
// grid's scroll bars only where its cells do not fit, the spin edits' arrows
// joined to their edits, and the preview opening beside the main window.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <tuple>

#include "mesh_shape.h"
#include "test_env.h"
#include "ui/form_layout.h"
#include "ui/tlsform.h"
#include "win32/main_window.h"
#include "win32/win32_platform.h"

namespace lodsmith {
namespace {

using test::TempDir;
using test::WriteBytes;

RECT ScreenRect(HWND w) {
  RECT r;
  ::GetWindowRect(w, &r);
  return r;
}

bool HasBar(HWND grid, LONG_PTR bar) { return (::GetWindowLongPtrW(grid, GWL_STYLE) & bar) != 0; }

struct OpenWindow {
  TempDir dir;
  Win32Platform platform;
  TLSForm form{platform};
  std::unique_ptr<MainWindow> window;
  OpenWindow() {
    const std::string shape = dir.File("signal.s");
    WriteBytes(shape, test::Utf16Shape(test::MeshShape(test::SignalSample())));
    platform.FollowLanguage(&form.LanguageName);
    window = std::make_unique<MainWindow>(form, platform);
    platform.SetWindow(window.get());
    window->Run([&] { form.FormCreate(); });
    platform.scriptedOpen = shape;
    window->Run([&] { form.OeffnenButtonClick(); });
    platform.scriptedOpen.reset();
  }
};

// Both languages: each label's caption, each grid header whole.
TEST(WindowFit, EveryCaptionAndHeaderFitsItsBoxInBothLanguages) {
  OpenWindow w;
  ASSERT_GE(w.form.SpracheComboBox.Items.size(), 2u) << "the language file beside the tests has both languages";
  // The choice is stored in the language file beside the tests, which the
  // batch program's tests read after these: it goes back as it was.
  const int stored = w.form.SpracheComboBox.ItemIndex;
  for (int language : {0, 1}) {
    w.form.SpracheComboBox.ItemIndex = language;
    w.window->Run([&] { w.form.SpracheComboBoxSelect(); });
    SCOPED_TRACE(w.form.SpracheComboBox.Items[static_cast<std::size_t>(language)]);
    ASSERT_FALSE(w.form.Label7.Caption.empty());
    for (const layout::Control& c : layout::MainWindowControls()) {
      if (c.kind == layout::Kind::Label) {
        EXPECT_TRUE(w.window->CaptionFits(c.name)) << c.name;
      }
      if (c.kind != layout::Kind::Grid) continue;
      GridControl* g = w.window->Grid(c.name);
      ASSERT_NE(g, nullptr) << c.name;
      for (int col = 0; col < g->Grid().ColCount(); ++col)
        EXPECT_TRUE(g->HeaderFits(col)) << c.name << " column " << col << " \"" << g->Grid().Cell(col, 0) << "\"";
    }
  }
  w.form.SpracheComboBox.ItemIndex = stored;
  w.window->Run([&] { w.form.SpracheComboBoxSelect(); });
}

// With the sample open every grid's cells fit: no bar. Thirty LODs make
// the element grid wider and the distance grid longer than their boxes.
TEST(WindowFit, ScrollBarsShowOnlyWhereTheCellsDoNotFit) {
  OpenWindow w;
  for (const char* name : {"StringGrid1", "StringGrid2", "StringGrid3", "StringGrid4", "StringGrid5"}) {
    HWND g = w.window->Control(name);
    EXPECT_FALSE(HasBar(g, WS_VSCROLL)) << name;
    EXPECT_FALSE(HasBar(g, WS_HSCROLL)) << name;
  }
  w.window->Run([&] { w.form.SetLODAnzSpinEditValue(30); });
  w.window->Run([&] { w.form.LODAnzSpinEditExit(); });
  ASSERT_EQ(w.form.StringGrid4.RowCount(), 31);
  EXPECT_TRUE(HasBar(w.window->Control("StringGrid1"), WS_HSCROLL));
  EXPECT_FALSE(HasBar(w.window->Control("StringGrid1"), WS_VSCROLL));
  EXPECT_TRUE(HasBar(w.window->Control("StringGrid4"), WS_VSCROLL));
  EXPECT_FALSE(HasBar(w.window->Control("StringGrid4"), WS_HSCROLL));
}

// The arrows stand at the right end of the spin edit's box, joined to the
// edit, as high as it.
TEST(WindowFit, SpinArrowsTouchTheirEdit) {
  OpenWindow w;
  for (const layout::Control& c : layout::MainWindowControls()) {
    if (c.kind != layout::Kind::Spin) continue;
    SCOPED_TRACE(c.name);
    HWND edit = w.window->Control(c.name);
    HWND arrows = nullptr;
    for (HWND s = ::GetWindow(::GetParent(edit), GW_CHILD); s; s = ::GetWindow(s, GW_HWNDNEXT))
      if (reinterpret_cast<HWND>(::SendMessageW(s, UDM_GETBUDDY, 0, 0)) == edit) arrows = s;
    ASSERT_NE(arrows, nullptr);
    const RECT e = ScreenRect(edit), a = ScreenRect(arrows);
    EXPECT_LE(a.left, e.right);      // no gap
    EXPECT_GE(a.left, e.right - 3);  // at most the edit's border under them
    EXPECT_LE(a.top, e.top);         // as high as the edit
    EXPECT_GE(a.bottom, e.bottom);
    POINT origin{0, 0};
    ::ClientToScreen(::GetParent(edit), &origin);
    EXPECT_EQ(e.left - origin.x, c.x);  // the edit where the form puts it
    EXPECT_LE(a.right - origin.x, c.x + c.w);
  }
}

TEST(WindowFit, PreviewOpensBesideTheMainWindow) {
  const RECT area{0, 0, 1920, 1040};
  const SIZE size{836, 719};
  const int minimum = 376;
  // main window, expected left and right of the preview
  for (const auto& [main, left, right] : {
           std::tuple{RECT{0, 0, 995, 633}, 995L, 1831L},        // room on the right
           std::tuple{RECT{925, 100, 1920, 733}, 89L, 925L},     // room on the left
           std::tuple{RECT{462, 200, 1457, 833}, 1457L, 1920L},  // room for a narrower one
           std::tuple{RECT{142, 0, 1137, 633}, 1137L, 1920L},    // the wider side
       }) {
    const RECT r = BesideWindow(main, size, area, minimum);
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.right, right);
    EXPECT_TRUE(r.right <= main.left || r.left >= main.right) << "over the main window";
  }
  // A small screen: as far aside as fits, at its size, within the screen.
  const RECT small{0, 0, 1280, 720};
  const RECT r = BesideWindow(RECT{142, 40, 1137, 673}, size, small, minimum);
  EXPECT_EQ(r.right, 1280);
  EXPECT_EQ(r.right - r.left, size.cx);
  EXPECT_EQ(r.top, 1);
  EXPECT_EQ(BesideWindow(RECT{0, 0, 995, 633}, SIZE{836, 2000}, small, minimum).top, 0);

  // The window itself opens there.
  OpenWindow w;
  ::SetWindowPos(w.window->Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  w.window->Run([&] { w.form.PreviewButtonClick(); });
  ASSERT_NE(w.window->Preview(), nullptr);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ::GetMonitorInfoW(::MonitorFromWindow(w.window->Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT main = ScreenRect(w.window->Handle()), preview = ScreenRect(w.window->Preview()->Handle());
  const LONG room = monitor.rcWork.right - main.right;
  if (room >= 376) {
    EXPECT_EQ(preview.left, main.right);
  }
  EXPECT_LE(preview.right, monitor.rcWork.right);
  EXPECT_GT(preview.left, main.left);
}

}  // namespace
}  // namespace lodsmith
