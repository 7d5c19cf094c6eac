// Plain state of the window's controls. The window model changes these
// members; the toolkit front end mirrors them after every handler and at
// every processing of pending window messages.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace lodsmith {

struct TControl {
  bool Enabled = true;
  bool Visible = true;
};

struct TButton : TControl {
  std::string Caption;
  unsigned FontColor = clWindowText;
};

struct TLabel : TControl {
  std::string Caption;
};

struct TEdit : TControl {
  std::string Text;
};

struct TSpinEdit : TControl {
  int Value = 1;
  int MinValue = 1;
  int MaxValue = 99;
};

struct TComboBox : TControl {
  std::vector<std::string> Items;
  int ItemIndex = -1;
};

struct TTabSheet {
  std::string Caption;
};

}  // namespace lodsmith
