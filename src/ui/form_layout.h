// Where every control of the main window stands: one table that the Qt and
// the Windows window both build from. Positions and sizes are design pixels
// of the client area (96 dots per inch), relative to the control's parent.
// The table holds no toolkit type: each control names its state in the
// window model and the handlers its events run.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/texts/ui_messages.h"
#include "ui/tlsform.h"

namespace lodsmith::layout {

enum class Kind {
  Pages,  // the page control; its pages are "TabSheet1" and "TabSheet3"
  Panel,
  Label,
  Button,
  Edit,
  Spin,
  Grid,
  Combo,  // the language list (its height counts the drop-down part)
};

enum class Align { Left, Right, Centre };
enum class Frame { Raised, Sunken };

// Which cells of a grid the user types into.
enum class Editable { None, Assignments, SortMarks, AnimationMarks, Distances, Details };

struct Control {
  Kind kind;
  const char* name;
  const char* parent;  // nullptr: the window itself
  int x, y;
  int w = -1, h = -1;  // a label without a size sizes itself to its caption
  TLabel TLSForm::*label = nullptr;
  TButton TLSForm::*button = nullptr;
  TEdit TLSForm::*edit = nullptr;
  TSpinEdit TLSForm::*spin = nullptr;
  StringGrid& (*grid)(TLSForm&) = nullptr;   // the grids are the session's tables
  void (TLSForm::*click)() = nullptr;        // a button's click
  void (TLSForm::*exit)() = nullptr;         // the focus leaves an edit or spin edit
  void (TLSForm::*setValue)(int) = nullptr;  // a spin edit's arrows or typed value
  Align align = Align::Left;
  bool wrap = false;     // a label that breaks its caption into lines
  bool warning = false;  // a label in red
  Frame frame = Frame::Raised;
  Editable editable = Editable::None;
  int rowHeight = 24;
  bool smallFont = false;  // the LOD overview's face
  // The caption of a label or button: the built-in text it is made with (or
  // a fixed text that is no language's), and what applying the language in
  // use puts there: the language file's text `number`, or else `language`.
  std::optional<UiMsg> made = std::nullopt;
  const char* fixed = nullptr;
  int number = 0;
  std::optional<UiMsg> language = std::nullopt;

  // This control, made with `design`, which language text `n` replaces (0:
  // none does).
  Control Says(UiMsg design, int n = 0) const;
  // This control, made with a fixed caption.
  Control Says(const char* text) const;
  // This control, its caption `text` in the language in use.
  Control Speaks(UiMsg text) const;
};

// The controls in the order they are made: every parent before its children.
const std::vector<Control>& MainWindowControls();

// The caption a label or button control holds in `form`; null for the
// other kinds.
std::string* CaptionOf(TLSForm& form, const Control& c);

// Whether column `col` of a grid with the rule `rule` takes typed text.
bool IsEditableColumn(Editable rule, int col);

}  // namespace lodsmith::layout
