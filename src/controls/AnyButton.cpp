#include "controls/AnyButton.h"

#include <QCursor>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <cmath>

#include "controls/GrayScale.h"

namespace hv {
namespace {

constexpr int kLineCount = 8;

// The pixels of one border line; its end point is left to the line that starts there.
QRect LinePixels(const BorderLine& line) {
  if (line.from.y() == line.to.y()) {
    return QRect(line.from.x(), line.from.y(), line.to.x() - line.from.x(), 1);
  }
  return QRect(line.from.x(), line.from.y(), 1, line.to.y() - line.from.y());
}

}  // namespace

AnyButton::AnyButton(QWidget* parent)
    : QWidget(parent),
      picNormal_{{}, AmbientFont(), kColorButtonFace, kColorWindowText, 2},
      picOver_{{}, AmbientFont(), kColorWindow, kColorWindowText, 2},
      picDown_{{}, AmbientFont(), kColorWindow, kColorWindowText, 2},
      caption_(QStringLiteral("MyButton")),
      lineColors_{kColor3DHighlight, kColor3DLight, kColor3DDarkShadow, kColorButtonShadow} {
  // Moves must arrive without a button held, or the up look could never be drawn.
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  DrawState(kNormal);
}

AnyButton::Look& AnyButton::LookOf(State state) {
  switch (state) {
    case kDown:
      return picDown_;
    case kUp:
      return picOver_;
    case kNormal:
      break;
  }
  return picNormal_;
}

AnyButton::State AnyButton::StateOf(int position) {
  if (position == kDown) {
    return kDown;
  }
  return position == kUp ? kUp : kNormal;
}

void AnyButton::ForceDownPosition() {
  position_ = kDown;
  DrawState(kDown);
}

void AnyButton::ForceNormalPosition() {
  position_ = kNormal;
  DrawState(kNormal);
}

void AnyButton::ForceUpPosition() {
  position_ = kUp;
  DrawState(kUp);
}

void AnyButton::DOWNposition() {
  DrawState(kDown);
}

void AnyButton::NormalPosition() {
  DrawState(kNormal);
}

void AnyButton::UPposition() {
  DrawState(kUp);
}

void AnyButton::ImageGrayScale(int image) {
  if (image != kDown && image != kNormal && image != kUp) {
    return;
  }
  ToGrayScale(LookOf(static_cast<State>(image)).picture);
  RedrawPosition();
}

void AnyButton::DrawState(State state) {
  const Look& look = LookOf(state);
  parts_.picture = look.picture;
  // The caption takes the look's font before the layout measures it, so that it is
  // centred in the font it is drawn with.
  parts_.captionFont = look.font;
  LayOut();
  const QPoint offset = state == kDown ? QPoint(1, 1) : QPoint(0, 0);
  parts_.pictureAt = QPoint(placed_.imageLeft, placed_.imageTop) + offset;
  parts_.captionAt = QPoint(placed_.labelLeft, placed_.labelTop) + offset;
  parts_.back = look.back;
  parts_.fore = look.fore;
  // Lines 0 to 3 are the outer ring, 4 to 7 the inner one, each top, left, bottom, right.
  const bool sunken = state == kDown;
  for (int i = 0; i < kLineCount; ++i) {
    const bool outer = i < 4;
    const bool topOrLeft = i % 4 < 2;
    parts_.lineShown[i] = look.lines >= (outer ? 2 : 1);
    const bool lightSide = topOrLeft != sunken;
    parts_.lineColor[i] = lineColors_[lightSide ? (outer ? kUpLeftOne : kUpLeftTwo)
                                                : (outer ? kDownRightOne : kDownRightTwo)];
  }
  drawn_ = state;
  update();
}

void AnyButton::DrawUnlessDrawn(State state) {
  if (drawn_ != state) {
    DrawState(state);
  }
}

void AnyButton::RedrawPosition() {
  DrawState(StateOf(position_));
}

void AnyButton::LayOut() {
  if (const auto computed =
          LayOutParts(captionPosition_, size(), parts_.picture.size(), CaptionSize(), space_)) {
    positions_ = *computed;
    placed_ = positions_;
  } else if (captionPosition_ == kCaptionFree) {
    placed_ = positions_;
  }
}

QSize AnyButton::CaptionSize() const {
  return QFontMetrics(parts_.captionFont).size(0, caption_);
}

QSize AnyButton::AutoSizeExtent() const {
  const int border = 2 * picNormal_.lines;
  return CaptionSize() + QSize(border, border);
}

void AnyButton::ResizeToCaption() {
  // A host that fixed the size (so that its layout keeps it) gets the new one fixed too.
  if (minimumSize() == maximumSize()) {
    setFixedSize(AutoSizeExtent());
  } else {
    resize(AutoSizeExtent());
  }
  updateGeometry();
  // A hidden control hears of its new size only when shown; its layout is due now.
  DrawState(drawn_);
}

QRect AnyButton::PictureArea() const {
  return QRect(parts_.pictureAt, parts_.picture.size());
}

QRect AnyButton::CaptionArea() const {
  return QRect(parts_.captionAt, CaptionSize());
}

QSize AnyButton::sizeHint() const {
  if (autoSize_) {
    return AutoSizeExtent();
  }
  // Room around the caption as the desktop's own push buttons leave it.
  constexpr int kPaddingX = 12;
  constexpr int kPaddingY = 6;
  return AutoSizeExtent() + QSize(2 * kPaddingX, 2 * kPaddingY);
}

template <typename T>
void AnyButton::StoreAndRedraw(T& field, const T& value, const char* name) {
  field = value;
  RedrawPosition();
  emit PropertyChanged(QString::fromLatin1(name));
}

void AnyButton::StoreOnly(int& field, int value, const char* name) {
  field = value;
  emit PropertyChanged(QString::fromLatin1(name));
}

void AnyButton::SetBackColor(OleColor color) {
  StoreAndRedraw(picNormal_.back, color, "BackColor");
}

void AnyButton::SetCaption(const QString& caption) {
  caption_ = caption;
  emit PropertyChanged(QStringLiteral("Caption"));
  if (autoSize_) {
    ResizeToCaption();
  } else {
    // A caption of another length must be centred again at once, not on the next hover.
    DrawState(drawn_);
  }
}

void AnyButton::SetForeColor(OleColor color) {
  StoreAndRedraw(picNormal_.fore, color, "ForeColor");
}

void AnyButton::SetPicture(const QImage& picture) {
  StoreAndRedraw(picNormal_.picture, picture, "Picture");
}

void AnyButton::SetPictureOver(const QImage& picture) {
  StoreAndRedraw(picOver_.picture, picture, "PictureOver");
}

void AnyButton::SetPictureDown(const QImage& picture) {
  StoreAndRedraw(picDown_.picture, picture, "PictureDown");
}

void AnyButton::SetCaptionPosition(int arrangement) {
  StoreOnly(captionPosition_, arrangement, "CaptionPosition");
}

void AnyButton::SetBackColorOver(OleColor color) {
  StoreAndRedraw(picOver_.back, color, "BackColorOver");
}

void AnyButton::SetBackColorDown(OleColor color) {
  StoreAndRedraw(picDown_.back, color, "BackColorDown");
}

void AnyButton::SetForeColorOver(OleColor color) {
  StoreAndRedraw(picOver_.fore, color, "ForeColorOver");
}

void AnyButton::SetForeColorDown(OleColor color) {
  StoreAndRedraw(picDown_.fore, color, "ForeColorDown");
}

void AnyButton::SetImageTop(int top) {
  StoreOnly(positions_.imageTop, top, "ImageTop");
}

void AnyButton::SetImageLeft(int left) {
  StoreOnly(positions_.imageLeft, left, "ImageLeft");
}

void AnyButton::SetLabelTop(int top) {
  StoreOnly(positions_.labelTop, top, "LabelTop");
}

void AnyButton::SetLabelLeft(int left) {
  StoreOnly(positions_.labelLeft, left, "LabelLeft");
}

void AnyButton::SetPosition(int position) {
  StoreOnly(position_, position, "Position");
}

void AnyButton::SetNbLine(int lines) {
  StoreOnly(picNormal_.lines, lines, "NbLine");
}

void AnyButton::SetNbLineOver(int lines) {
  StoreOnly(picOver_.lines, lines, "NbLineOver");
}

void AnyButton::SetNbLineDown(int lines) {
  StoreOnly(picDown_.lines, lines, "NbLineDown");
}

void AnyButton::SetColorLineUpLeftOne(OleColor color) {
  StoreAndRedraw(lineColors_[kUpLeftOne], color, "ColorLineUpLeftOne");
}

void AnyButton::SetColorLineUpLeftTwo(OleColor color) {
  StoreAndRedraw(lineColors_[kUpLeftTwo], color, "ColorLineUpLeftTwo");
}

void AnyButton::SetColorLineDownRightOne(OleColor color) {
  StoreAndRedraw(lineColors_[kDownRightOne], color, "ColorLineDownRightOne");
}

void AnyButton::SetColorLineDownRightTwo(OleColor color) {
  StoreAndRedraw(lineColors_[kDownRightTwo], color, "ColorLineDownRightTwo");
}

void AnyButton::SetFont(const QFont& font) {
  StoreAndRedraw(picNormal_.font, font, "Font");
}

void AnyButton::SetFontOver(const QFont& font) {
  StoreAndRedraw(picOver_.font, font, "FontOver");
}

void AnyButton::SetFontDown(const QFont& font) {
  StoreAndRedraw(picDown_.font, font, "FontDown");
}

void AnyButton::SetCaptionPictureSpace(int space) {
  space_ = space;
}

void AnyButton::SetStyle(int style) {
  StoreOnly(style_, style, "Style");
}

void AnyButton::SetMouseIcon(const QImage& icon) {
  mouseIcon_ = icon;
  if (icon.isNull()) {
    unsetCursor();
  } else {
    setCursor(QCursor(QPixmap::fromImage(icon)));
  }
  emit PropertyChanged(QStringLiteral("MouseIcon"));
}

void AnyButton::SetEnabled(bool enabled) {
  enabled_ = enabled;
  setEnabled(enabled);
  update();
  emit PropertyChanged(QStringLiteral("Enabled"));
}

void AnyButton::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  emit PropertyChanged(QStringLiteral("AutoSize"));
  if (autoSize) {
    ResizeToCaption();
  }
}

void AnyButton::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QPalette& colors = palette();
  painter.fillRect(rect(), ResolveColor(parts_.back, colors));
  if (!parts_.picture.isNull()) {
    painter.drawImage(parts_.pictureAt, parts_.picture);
  }
  painter.setFont(parts_.captionFont);
  painter.setPen(ResolveColor(isEnabled() ? parts_.fore : kColorGrayText, colors));
  painter.drawText(CaptionArea(), Qt::AlignCenter, caption_);
  const auto lines = BorderGeometry(size());
  for (int i = 0; i < kLineCount; ++i) {
    if (parts_.lineShown[i]) {
      painter.fillRect(LinePixels(lines[i]), ResolveColor(parts_.lineColor[i], colors));
    }
  }
}

void AnyButton::resizeEvent(QResizeEvent* /*event*/) {
  DrawState(drawn_);
}

QPoint AnyButton::PointerAt(const QMouseEvent& event) {
  const QPointF at = event.position();
  return QPoint(static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y())));
}

bool AnyButton::IsOutside(QPoint at) const {
  // The right and bottom edges themselves still count as inside.
  return at.x() < 0 || at.y() < 0 || at.x() > width() || at.y() > height();
}

void AnyButton::TakeCapture() {
  captured_ = true;
  if (isVisible()) {
    grabMouse();
  }
}

void AnyButton::ReleaseCapture() {
  captured_ = false;
  if (QWidget::mouseGrabber() == this) {
    releaseMouse();
  }
}

bool AnyButton::ReachesControl(QPoint at) {
  if (captured_) {
    return true;
  }
  // Qt keeps sending a press's later events here wherever the pointer goes; the control
  // takes only what holding the mouse or having the pointer over it would bring.
  if (IsOutside(at)) {
    return false;
  }
  TakeCapture();
  return true;
}

void AnyButton::TrackMove(QPoint at, Qt::MouseButtons held) {
  emit EnterButton();
  if (IsOutside(at)) {
    Leave();
    return;
  }
  const bool onlyLeftHeld = held == Qt::LeftButton;
  if (style_ == 0) {
    DrawUnlessDrawn(onlyLeftHeld ? kDown : kUp);
  } else if (!onlyLeftHeld) {
    DrawUnlessDrawn(position_ == kDown ? kDown : kUp);
  }
}

void AnyButton::Leave() {
  emit ExitButton();
  ReleaseCapture();
  if (style_ == 0) {
    if (drawn_ != kNormal) {
      DrawState(kNormal);
      position_ = kNormal;
    }
  } else {
    DrawUnlessDrawn(StateOf(position_));
  }
}

void AnyButton::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = PointerAt(*event);
  if (ReachesControl(at)) {
    TrackMove(at, event->buttons());
  }
}

void AnyButton::mousePressEvent(QMouseEvent* event) {
  if (ReachesControl(PointerAt(*event)) && event->button() == Qt::LeftButton) {
    DrawState(kDown);
  }
}

void AnyButton::mouseReleaseEvent(QMouseEvent* event) {
  if (!ReachesControl(PointerAt(*event))) {
    return;
  }
  if (event->button() != Qt::LeftButton) {
    emit RightMouseUP();
    return;
  }
  if (style_ == 0) {
    DrawState(kNormal);
    position_ = kUp;
    ReleaseCapture();
  } else if (position_ != kDown) {
    DrawState(kDown);
    position_ = kDown;
  } else {
    DrawState(kNormal);
    position_ = kNormal;
  }
  emit Click();
}

void AnyButton::leaveEvent(QEvent* /*event*/) {
  // Another widget took the mouse away (a menu, a dialog): no move outside will come.
  if (captured_ && QWidget::mouseGrabber() != this) {
    Leave();
  }
}

void AnyButton::hideEvent(QHideEvent* /*event*/) {
  // A hidden control cannot hold the mouse, and must not come back looking hovered.
  if (captured_) {
    Leave();
  }
}

void AnyButton::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange && !isEnabled() && captured_) {
    ReleaseCapture();
  }
  QWidget::changeEvent(event);
}

}  // namespace hv
