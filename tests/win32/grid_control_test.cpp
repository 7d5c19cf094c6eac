// The grid control's events, driven by the window messages a user's mouse
// and keys send: selection asked before the current cell moves, the
// in-place editor reporting every change, a refused entry emptied in the
// editor at once, and the focus-lost notice the window's exit handlers use.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "win32/grid_control.h"

namespace lodsmith {
namespace {

struct GridRig {
  HWND parent = nullptr;
  StringGrid grid{3, 6};
  std::unique_ptr<GridControl> control;
  std::vector<std::pair<int, int>> asked;
  std::vector<std::string> typed;
  bool allow = true;
  int focusLost = 0;

  static LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* rig = reinterpret_cast<GridRig*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (rig && msg == WM_COMMAND && HIWORD(wp) == EN_KILLFOCUS) ++rig->focusLost;
    return ::DefWindowProcW(hwnd, msg, wp, lp);
  }

  GridRig() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"GridRigParent";
    ::RegisterClassW(&wc);
    parent = ::CreateWindowExW(0, L"GridRigParent", L"rig", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                               nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    for (int r = 0; r < 6; ++r)
      for (int c = 0; c < 3; ++c) grid.SetCell(c, r, std::to_string(c) + "/" + std::to_string(r));
    // Column 2 takes typed text, as the LOD columns do.
    control = std::make_unique<GridControl>(
        parent, 42, grid, [](int c) { return c == 2; }, 20);
    ::MoveWindow(control->Handle(), 0, 0, 300, 200, TRUE);
    control->SetColumnWidths({60});
    control->selectAttempt = [this](int c, int r) {
      asked.emplace_back(c, r);
      return allow;
    };
    control->textEdited = [this](int c, int r, const std::string& text) {
      typed.push_back(text);
      // The handler refuses anything but digits and empties the cell.
      grid.SetCell(c, r, text.find_first_not_of("0123456789") == std::string::npos ? text : "");
    };
    control->Sync();
    ::SetFocus(control->Handle());
  }
  ~GridRig() {
    control.reset();
    ::DestroyWindow(parent);
  }
  void Click(int col, int row, UINT msg = WM_LBUTTONDOWN) {
    const RECT r = control->CellRect(col, row);
    ::SendMessageW(control->Handle(), msg, MK_LBUTTON, MAKELPARAM(r.left + 3, r.top + 3));
  }
  void Key(WPARAM vk, HWND to = nullptr) { ::SendMessageW(to ? to : control->Handle(), WM_KEYDOWN, vk, 0); }
  void Char(wchar_t ch, HWND to = nullptr) { ::SendMessageW(to ? to : control->Handle(), WM_CHAR, ch, 0); }
  std::string EditorText() const {
    wchar_t buf[64] = {};
    ::GetWindowTextW(control->Editor(), buf, 64);
    std::string s;
    for (const wchar_t* p = buf; *p; ++p) s.push_back(static_cast<char>(*p));
    return s;
  }
};

TEST(GridControl, ClicksAndKeysAskBeforeTheCurrentCellMoves) {
  GridRig rig;
  rig.grid.Col = 0;
  rig.grid.Row = 1;
  rig.Click(1, 3);
  EXPECT_EQ(rig.asked, (std::vector<std::pair<int, int>>{{1, 3}}));
  EXPECT_EQ(rig.grid.Col, 1);
  EXPECT_EQ(rig.grid.Row, 3);

  rig.Key(VK_DOWN);
  rig.Key(VK_RIGHT);
  EXPECT_EQ(rig.grid.Col, 2);
  EXPECT_EQ(rig.grid.Row, 4);

  // A refused move leaves the current cell where it was.
  rig.allow = false;
  rig.Key(VK_UP);
  EXPECT_EQ(rig.asked.back(), (std::pair<int, int>{2, 3}));
  EXPECT_EQ(rig.grid.Row, 4);

  // The header row and cells beyond the grid are never asked for.
  const std::size_t before = rig.asked.size();
  rig.allow = true;
  rig.Key(VK_RIGHT);  // past the last column
  rig.Click(0, 0);    // the header
  EXPECT_EQ(rig.asked.size(), before);
}

TEST(GridControl, TypingEditsAndARefusedEntryIsEmptiedAtOnce) {
  GridRig rig;
  rig.Click(0, 2);
  rig.Char(L'7');  // column 0 takes no text
  EXPECT_EQ(rig.control->Editor(), nullptr);
  EXPECT_TRUE(rig.typed.empty());

  rig.Click(2, 2);
  rig.Char(L'5');  // typing replaces the cell's text
  ASSERT_NE(rig.control->Editor(), nullptr);
  EXPECT_EQ(rig.typed, (std::vector<std::string>{"5"}));
  EXPECT_EQ(rig.grid.Cell(2, 2), "5");

  rig.Char(L'x', rig.control->Editor());
  EXPECT_EQ(rig.typed.back(), "5x");
  EXPECT_EQ(rig.grid.Cell(2, 2), "");
  EXPECT_EQ(rig.EditorText(), "");

  // Enter ends the edit; the arrows move again.
  rig.Key(VK_RETURN, rig.control->Editor());
  EXPECT_EQ(rig.control->Editor(), nullptr);
  rig.Key(VK_DOWN);
  EXPECT_EQ(rig.grid.Row, 3);

  // F2 and a double click edit without changing the text.
  rig.Key(VK_F2);
  ASSERT_NE(rig.control->Editor(), nullptr);
  EXPECT_EQ(rig.EditorText(), "2/3");
  rig.Key(VK_ESCAPE, rig.control->Editor());
  rig.Click(2, 4, WM_LBUTTONDBLCLK);
  EXPECT_EQ(rig.EditorText(), "2/4");
}

TEST(GridControl, FocusLeavingTheGridOrItsEditorIsTold) {
  GridRig rig;
  HWND other = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 250, 50, 20, rig.parent, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
  ::SetFocus(rig.control->Handle());
  rig.focusLost = 0;
  ::SetFocus(other);
  EXPECT_GE(rig.focusLost, 1);

  ::SetFocus(rig.control->Handle());
  rig.Click(2, 1);
  rig.Key(VK_F2);
  ASSERT_NE(rig.control->Editor(), nullptr);
  rig.focusLost = 0;
  ::SetFocus(other);
  EXPECT_GE(rig.focusLost, 1);
  ::DestroyWindow(other);
}

TEST(GridControl, ShrinkingTheGridUnderTheEditorClosesIt) {
  GridRig rig;
  rig.Click(2, 5);
  rig.Key(VK_F2);
  ASSERT_NE(rig.control->Editor(), nullptr);
  rig.grid.SetRowCount(3);
  rig.control->Sync();
  EXPECT_EQ(rig.control->Editor(), nullptr);
}

}  // namespace
}  // namespace lodsmith
