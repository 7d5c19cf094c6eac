// The preview window: a non-modal window that shows the picture the window
// model renders (TLSForm::RenderPreview) and sends the model its buttons,
// LOD spin edit, toggles, mouse drags and wheel turns. It decides nothing:
// after each event it asks the model for a new picture.
#pragma once

#include <QImage>
#include <QWidget>

#include "ui/tlsform.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace lodsmith {

class PreviewCanvas;

// Where a window of frame size `size` opens beside the window `main` (frame
// rectangles) within the screen's available area: on the side with more
// room, level with `main`'s top as far as the area allows. Where that side
// is narrower than `size` but at least `minWidth` wide, the window is
// narrowed to it; where it is narrower still, the window keeps its size and
// stands at the area's edge on that side, as far aside as it fits.
QRect BesideWindow(const QRect& main, QSize size, const QRect& area, int minWidth);

class PreviewWindow : public QWidget {
  Q_OBJECT
public:
  explicit PreviewWindow(TLSForm& form, QWidget* parent = nullptr);

  // Model -> widgets, and a new picture for the canvas's size.
  void Refresh();
  // The last picture shown, for the tests.
  const QImage& Picture() const;
  QPushButton* ViewButton(PreviewView view) const { return views_[static_cast<int>(view)]; }
  QSpinBox* LodSpin() const { return lod_; }
  QCheckBox* ColourBox() const { return colour_; }
  QCheckBox* AsSeenBox() const { return asSeen_; }
  QCheckBox* AsFirstSeenBox() const { return asFirstSeen_; }
  QLabel* Status() const { return status_; }

protected:
  void closeEvent(QCloseEvent* event) override;
  // The first time: beside the main window, not over it.
  void showEvent(QShowEvent* event) override;

private:
  friend class PreviewCanvas;
  // The model's captions and texts into the widgets (changed ones only).
  void ShowCaptions();
  // Runs a preview handler of the model, then refreshes.
  void Send(const std::function<void()>& handler);

  TLSForm& form_;
  PreviewCanvas* canvas_ = nullptr;
  QPushButton* views_[4] = {};
  QPushButton* reset_ = nullptr;
  QLabel* lodLabel_ = nullptr;
  QSpinBox* lod_ = nullptr;
  QCheckBox* colour_ = nullptr;
  QCheckBox* asSeen_ = nullptr;
  QCheckBox* asFirstSeen_ = nullptr;
  QLabel* status_ = nullptr;
  bool refreshing_ = false;
  bool placed_ = false;
};

}  // namespace lodsmith
