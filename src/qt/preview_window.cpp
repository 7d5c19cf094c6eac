#include "qt/preview_window.h"

#include <algorithm>

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace lodsmith {

namespace {
QString U(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

QRect BesideWindow(const QRect& main, QSize size, const QRect& area, int minWidth) {
  const int roomRight = area.right() + 1 - (main.right() + 1), roomLeft = main.left() - area.left();
  const bool right = roomRight >= roomLeft;
  const int room = right ? roomRight : roomLeft;
  int width = size.width();
  if (room < width && room >= minWidth) width = room;
  int x = right ? main.right() + 1 : main.left() - width;
  if (room < width) x = right ? area.right() + 1 - width : area.left();  // as far aside as it fits
  x = std::max(area.left(), x);
  const int y = std::max(area.top(), std::min(main.top(), area.bottom() + 1 - size.height()));
  return QRect(x, y, width, size.height());
}

// The picture, and the mouse: a drag orbits, the wheel zooms. The picture
// is made for the canvas's own size, so a resize asks for a new one.
class PreviewCanvas : public QWidget {
public:
  explicit PreviewCanvas(PreviewWindow& window) : QWidget(&window), window_(window) {
    setMinimumSize(160, 120);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  }
  QImage picture;

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(0, 0, picture);
  }
  void resizeEvent(QResizeEvent*) override {
    if (window_.isVisible()) window_.Refresh();
  }
  void mousePressEvent(QMouseEvent* e) override { last_ = e->position().toPoint(); }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (!(e->buttons() & Qt::LeftButton)) return;
    const QPoint now = e->position().toPoint(), d = now - last_;
    last_ = now;
    window_.Send([this, d] { window_.form_.PreviewOrbit(d.x(), d.y()); });
  }
  void wheelEvent(QWheelEvent* e) override {
    // One notch is 120; touch pads send less at a time.
    wheel_ += e->angleDelta().y();
    const int steps = wheel_ / 120;
    wheel_ -= steps * 120;
    if (steps) window_.Send([this, steps] { window_.form_.PreviewZoom(steps); });
  }

private:
  PreviewWindow& window_;
  QPoint last_;
  int wheel_ = 0;
};

PreviewWindow::PreviewWindow(TLSForm& form, QWidget* parent) : QWidget(parent, Qt::Window), form_(form) {
  setObjectName("PreviewWindow");
  resize(820, 680);
  auto* column = new QVBoxLayout(this);
  auto* bar = new QHBoxLayout;
  column->addLayout(bar);
  const PreviewView order[] = {PreviewView::Front, PreviewView::Side, PreviewView::Top, PreviewView::Iso};
  for (PreviewView v : order) {
    auto* b = new QPushButton(this);
    b->setAutoDefault(false);
    views_[static_cast<int>(v)] = b;
    bar->addWidget(b);
    connect(b, &QPushButton::clicked, this, [this, v] { Send([this, v] { form_.PreviewViewClick(v); }); });
  }
  reset_ = new QPushButton(this);
  reset_->setAutoDefault(false);
  bar->addWidget(reset_);
  connect(reset_, &QPushButton::clicked, this, [this] { Send([this] { form_.PreviewResetClick(); }); });
  bar->addSpacing(12);
  lodLabel_ = new QLabel(this);
  bar->addWidget(lodLabel_);
  lod_ = new QSpinBox(this);
  lod_->setObjectName("PreviewLodSpinEdit");
  bar->addWidget(lod_);
  connect(lod_, QOverload<int>::of(&QSpinBox::valueChanged), this,
          [this](int v) { Send([this, v] { form_.PreviewLodSpinEditChange(v); }); });
  colour_ = new QCheckBox(this);
  bar->addWidget(colour_);
  connect(colour_, &QCheckBox::toggled, this, [this](bool on) { Send([this, on] { form_.PreviewColourClick(on); }); });
  asSeen_ = new QCheckBox(this);
  bar->addWidget(asSeen_);
  connect(asSeen_, &QCheckBox::toggled, this, [this](bool on) { Send([this, on] { form_.PreviewAsSeenClick(on); }); });
  asFirstSeen_ = new QCheckBox(this);
  bar->addWidget(asFirstSeen_);
  connect(asFirstSeen_, &QCheckBox::toggled, this,
          [this](bool on) { Send([this, on] { form_.PreviewAsFirstSeenClick(on); }); });
  bar->addStretch(1);

  canvas_ = new PreviewCanvas(*this);
  column->addWidget(canvas_, 1);
  status_ = new QLabel(this);
  status_->setTextFormat(Qt::PlainText);
  column->addWidget(status_);
  // The captions before the first layout, so that it makes room for them.
  ShowCaptions();
}

void PreviewWindow::ShowCaptions() {
  const TPreview& p = form_.Preview;
  auto set = [](auto* widget, const std::string& text) {
    const QString t = U(text);
    if (widget->text() != t) widget->setText(t);
  };
  setWindowTitle(U(p.Caption));
  set(views_[static_cast<int>(PreviewView::Front)], p.FrontCaption);
  set(views_[static_cast<int>(PreviewView::Side)], p.SideCaption);
  set(views_[static_cast<int>(PreviewView::Top)], p.TopCaption);
  set(views_[static_cast<int>(PreviewView::Iso)], p.IsoCaption);
  set(reset_, p.ResetCaption);
  set(lodLabel_, p.LodLabel.Caption);
  set(colour_, p.ColourCaption);
  set(asSeen_, p.AsSeenCaption);
  set(asFirstSeen_, p.AsFirstSeenCaption);
  set(status_, p.StatusText);
  lod_->setSpecialValueText(U(p.AllLodsText));
}

const QImage& PreviewWindow::Picture() const { return canvas_->picture; }

void PreviewWindow::Send(const std::function<void()>& handler) {
  if (refreshing_) return;  // a widget set by Refresh, not by the user
  form_.Dispatch(handler);
  Refresh();
}

void PreviewWindow::Refresh() {
  if (refreshing_) return;
  refreshing_ = true;
  const PreviewFrame frame = form_.RenderPreview(canvas_->width(), canvas_->height());
  const TPreview& p = form_.Preview;
  ShowCaptions();
  {
    const QSignalBlocker block(lod_);
    lod_->setRange(p.LodSpinEdit.MinValue, p.LodSpinEdit.MaxValue);
    lod_->setValue(p.LodSpinEdit.Value);
  }
  {
    const QSignalBlocker block(colour_);
    colour_->setChecked(p.ColourBySubObject);
  }
  {
    const QSignalBlocker block(asSeen_);
    asSeen_->setChecked(p.AsSeen);
  }
  {
    const QSignalBlocker block(asFirstSeen_);
    asFirstSeen_->setChecked(p.AsFirstSeen);
  }
  // The frame's pixels are copied: the picture outlives the frame.
  canvas_->picture = QImage(frame.image.pixels.data(), frame.image.width, frame.image.height, frame.image.width * 4,
                            QImage::Format_RGBA8888)
                         .copy();
  canvas_->update();
  refreshing_ = false;
}

void PreviewWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  const QWidget* main = parentWidget() ? parentWidget()->window() : nullptr;
  if (placed_ || !main) return;
  placed_ = true;
  const QScreen* screen = main->screen();
  if (!screen) return;
  // The frame's own border, where the window system has told it already.
  const QSize border = frameGeometry().size() - size();
  const QRect r = BesideWindow(main->frameGeometry(), frameGeometry().size(), screen->availableGeometry(),
                               minimumSizeHint().width() + border.width());
  resize(r.width() - border.width(), height());
  move(r.topLeft());
}

void PreviewWindow::closeEvent(QCloseEvent* event) {
  form_.Dispatch([this] { form_.PreviewClose(); });
  event->accept();
}

}  // namespace lodsmith
