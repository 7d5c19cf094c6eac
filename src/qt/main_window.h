// The Lodsmith window: the widgets of the form at their fixed positions,
// each event bound to the window model's handler of the same name. After
// every handler the window mirrors the whole model into the widgets; the
// widgets hold no state of their own that the model does not know.
#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/tlsform.h"

namespace lodsmith::layout {
struct Control;
}

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTranslator;

namespace lodsmith {

class GridModel;
class GridView;
class PreviewWindow;
class QtPlatform;

class MainWindow : public QWidget {
  Q_OBJECT
public:
  // Client area of the window in pixels.
  static constexpr int kClientWidth = 989;
  static constexpr int kClientHeight = 604;

  MainWindow(TLSForm& form, QtPlatform& platform, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Runs a handler of the model (an escaped exception becomes an error box)
  // and then shows the model's state.
  void Run(const std::function<void()>& handler);
  // Model -> widgets: captions, enabled flags, colours, labels, spin values
  // and limits, edit texts, the language list and the grids.
  void Mirror();
  // Sets the font of every button and label caption and every grid header
  // so that it fits its control: the inherited font where it fits, else
  // that font a pixel smaller at a time down to a floor. Runs once the
  // window is built; Mirror does it again for each caption that changes.
  void FitCaptions();
  // The smallest pixel size a caption is shrunk to.
  static constexpr int kMinCaptionPixels = 8;

  // Opens the preview window (once made, the same one) and brings it to
  // the front; Mirror refreshes it while it is open.
  void ShowPreview();
  PreviewWindow* Preview() const { return preview_; }

  // Gives a control the focus by its component name ("StringGrid4", ...).
  void FocusControl(const std::string& name);

  // Widgets by component name, for the tests and the screenshot tool.
  QWidget* Control(const std::string& name) const;
  QPushButton* Button(const std::string& name) const;
  QLabel* Label(const std::string& name) const;
  GridView* Grid(const std::string& name) const;
  GridModel* Model(const std::string& name) const;
  QTabWidget* Pages() const { return pages_; }

protected:
  void closeEvent(QCloseEvent* event) override;
  // The tab pages get their size only when the window is first shown; the
  // captions on them are fitted again then.
  void showEvent(QShowEvent* event) override;

private:
  struct ButtonBinding {
    QPushButton* widget;
    TButton* state;
  };
  struct LabelBinding {
    QLabel* widget;
    TLabel* state;
    bool autoSize;
    bool wrap;
    int designHeight;
  };
  struct EditBinding {
    QLineEdit* widget;
    TEdit* state;
  };
  struct SpinBinding {
    QSpinBox* widget;
    TSpinEdit* state;
  };
  struct GridBinding {
    GridView* view;
    GridModel* model;
    StringGrid* grid;
    std::vector<int> appliedWidths;
    int appliedCols = -1;
  };

  // Makes one control of the layout table, under its parent, bound to its
  // state and handlers in the window model.
  void AddControl(const layout::Control& c);
  QPushButton* AddButton(QWidget* parent, const char* name, TButton& state, int x, int y, int w, int h,
                         void (TLSForm::*handler)());
  QLabel* AddLabel(QWidget* parent, const char* name, TLabel& state, int x, int y, int w = -1, int h = -1,
                   Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop, bool wrap = false);
  QLineEdit* AddEdit(QWidget* parent, const char* name, TEdit& state, int x, int y, int w, int h,
                     void (TLSForm::*exitHandler)());
  QSpinBox* AddSpin(QWidget* parent, const char* name, TSpinEdit& state, int x, int y, int w, int h,
                    void (TLSForm::*setValue)(int));
  GridView* AddGrid(QWidget* parent, const char* name, StringGrid& grid, int x, int y, int w, int h,
                    std::function<bool(int col)> editable, int rowHeight);
  void BindGridEvents(GridView* view, GridModel* model, StringGrid& grid);
  void FitButton(QPushButton* b);
  void FitLabel(const LabelBinding& l);
  void FitHeaders(const GridBinding& g);
  void OnFocusChanged(QWidget* old, QWidget* now);
  // Qt's own texts (file dialog, message box buttons) in the window's
  // language, from the toolkit's translations where the system has them.
  void FollowToolkitLanguage(Language language);

  TLSForm& form_;
  QtPlatform& platform_;
  QTabWidget* pages_ = nullptr;
  QComboBox* languages_ = nullptr;
  std::vector<ButtonBinding> buttons_;
  std::vector<LabelBinding> labels_;
  std::vector<EditBinding> edits_;
  std::vector<SpinBinding> spins_;
  std::vector<GridBinding> grids_;
  std::map<std::string, QWidget*> controls_;
  // Handlers of "focus leaves this control", by the control's widget.
  std::map<QWidget*, std::function<void()>> exitHandlers_;
  bool mirroring_ = false;
  PreviewWindow* preview_ = nullptr;
  QTranslator* toolkitTexts_ = nullptr;
  std::optional<Language> toolkitLanguage_;
};

}  // namespace lodsmith
