#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>
#include <array>

#include "controls/ButtonLayout.h"
#include "controls/SystemColor.h"

namespace hv {

class PropertyStore;

// The program's own push button: a picture and a caption inside a border of up to two
// one-pixel rings, drawn by the control itself in three looks (normal, up while the
// pointer is over it, down while pressed). It follows the pointer by holding the mouse,
// can latch like a toggle, and keeps every attribute as a property the host can store.
class AnyButton : public QWidget {
  Q_OBJECT

 public:
  // The looks, numbered as Position numbers them.
  enum State : int { kDown = 0, kNormal = 1, kUp = 2 };

  explicit AnyButton(QWidget* parent = nullptr);

  // Set Position and draw that look.
  void ForceDownPosition();
  void ForceNormalPosition();
  void ForceUpPosition();
  // Draw a look without touching Position.
  void DOWNposition();
  void NormalPosition();
  void UPposition();
  // Turns the picture of a look (0 down, 1 normal, 2 up) grey, then redraws.
  void ImageGrayScale(int image);
  // The host's About entry: the control has nothing of its own to show.
  void About() {}

  OleColor BackColor() const { return picNormal_.back; }
  void SetBackColor(OleColor color);
  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  OleColor ForeColor() const { return picNormal_.fore; }
  void SetForeColor(OleColor color);
  QImage Picture() const { return picNormal_.picture; }
  void SetPicture(const QImage& picture);
  QImage PictureOver() const { return picOver_.picture; }
  void SetPictureOver(const QImage& picture);
  QImage PictureDown() const { return picDown_.picture; }
  void SetPictureDown(const QImage& picture);
  int CaptionPosition() const { return captionPosition_; }
  void SetCaptionPosition(int arrangement);
  OleColor BackColorOver() const { return picOver_.back; }
  void SetBackColorOver(OleColor color);
  OleColor BackColorDown() const { return picDown_.back; }
  void SetBackColorDown(OleColor color);
  OleColor ForeColorOver() const { return picOver_.fore; }
  void SetForeColorOver(OleColor color);
  OleColor ForeColorDown() const { return picDown_.fore; }
  void SetForeColorDown(OleColor color);
  // The positions of the parts: as set for a free arrangement, otherwise as computed by
  // the last layout.
  int ImageTop() const { return positions_.imageTop; }
  void SetImageTop(int top);
  int ImageLeft() const { return positions_.imageLeft; }
  void SetImageLeft(int left);
  int LabelTop() const { return positions_.labelTop; }
  void SetLabelTop(int top);
  int LabelLeft() const { return positions_.labelLeft; }
  void SetLabelLeft(int left);
  int Position() const { return position_; }
  void SetPosition(int position);
  int NbLine() const { return picNormal_.lines; }
  void SetNbLine(int lines);
  int NbLineOver() const { return picOver_.lines; }
  void SetNbLineOver(int lines);
  int NbLineDown() const { return picDown_.lines; }
  void SetNbLineDown(int lines);
  OleColor ColorLineUpLeftOne() const { return lineColors_[kUpLeftOne]; }
  void SetColorLineUpLeftOne(OleColor color);
  OleColor ColorLineUpLeftTwo() const { return lineColors_[kUpLeftTwo]; }
  void SetColorLineUpLeftTwo(OleColor color);
  OleColor ColorLineDownRightOne() const { return lineColors_[kDownRightOne]; }
  void SetColorLineDownRightOne(OleColor color);
  OleColor ColorLineDownRightTwo() const { return lineColors_[kDownRightTwo]; }
  void SetColorLineDownRightTwo(OleColor color);
  QFont Font() const { return picNormal_.font; }
  void SetFont(const QFont& font);
  QFont FontOver() const { return picOver_.font; }
  void SetFontOver(const QFont& font);
  QFont FontDown() const { return picDown_.font; }
  void SetFontDown(const QFont& font);
  int CaptionPictureSpace() const { return space_; }
  void SetCaptionPictureSpace(int space);
  int Style() const { return style_; }
  void SetStyle(int style);
  QImage MouseIcon() const { return mouseIcon_; }
  void SetMouseIcon(const QImage& icon);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);

  // Every property from the host's store (a missing one takes its default), then the look
  // Position names is drawn. Nothing is reported as changed while loading.
  void ReadProperties(const PropertyStore& store);
  // Every property into the host's store; values equal to their defaults are not kept.
  void WriteProperties(PropertyStore& store) const;

  // The font the host gives its controls, the default of the three font properties.
  QFont AmbientFont() const { return QWidget::font(); }

  // What is drawn now: the look, and where the picture and the caption are.
  State DrawnState() const { return drawn_; }
  QRect PictureArea() const;
  QRect CaptionArea() const;

  QSize sizeHint() const override;

 signals:
  // The left button was released on the control.
  void Click();
  // Another button was released on the control.
  void RightMouseUP();
  // The pointer moved while the control follows it.
  void EnterButton();
  // The pointer left the control.
  void ExitButton();
  // A property changed, under its own name, so that the host can store it again.
  void PropertyChanged(const QString& name);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // What one look is made of: the holders PicNormal, PicOver and PicDown.
  struct Look {
    QImage picture;
    QFont font;
    OleColor back;
    OleColor fore;
    int lines;  // border rings: 0 none, 1 inner, 2 or more both
  };

  enum LineColor { kUpLeftOne, kUpLeftTwo, kDownRightOne, kDownRightTwo };

  // The drawn parts: the picture area PicMain, the caption Label1 and the border lines,
  // as the last drawing of a look left them.
  struct Parts {
    QImage picture;
    QPoint pictureAt;
    QFont captionFont;
    QPoint captionAt;
    OleColor back = 0;
    OleColor fore = 0;
    std::array<bool, 8> lineShown{};
    std::array<OleColor, 8> lineColor{};
  };

  Look& LookOf(State state);
  static State StateOf(int position);
  void DrawState(State state);
  void DrawUnlessDrawn(State state);
  void RedrawPosition();
  void LayOut();
  QSize CaptionSize() const;
  QSize AutoSizeExtent() const;
  void ResizeToCaption();

  // Writers of the families that redraw, and of those that only store.
  template <typename T>
  void StoreAndRedraw(T& field, const T& value, const char* name);
  void StoreOnly(int& field, int value, const char* name);

  // Following the pointer.
  static QPoint PointerAt(const QMouseEvent& event);
  bool IsOutside(QPoint at) const;
  void TakeCapture();
  void ReleaseCapture();
  bool ReachesControl(QPoint at);
  void TrackMove(QPoint at, Qt::MouseButtons held);
  void Leave();

  Look picNormal_;
  Look picOver_;
  Look picDown_;
  QString caption_;
  int captionPosition_ = kCaptionBelow;
  PartPositions positions_;  // the four position properties
  PartPositions placed_;     // where the parts sit, before the down look's offset
  int position_ = kNormal;
  std::array<OleColor, 4> lineColors_{};
  int space_ = 0;
  int style_ = 0;
  QImage mouseIcon_;
  bool enabled_ = true;
  bool autoSize_ = false;

  State drawn_ = kNormal;
  bool captured_ = false;
  Parts parts_;
};

}  // namespace hv
