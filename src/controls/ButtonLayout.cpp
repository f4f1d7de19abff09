#include "controls/ButtonLayout.h"

namespace hv {

std::optional<PartPositions> LayOutParts(int captionPosition, QSize inner, QSize picture,
                                         QSize caption, int space) {
  const int w = inner.width();
  const int h = inner.height();
  const int pw = picture.width();
  const int ph = picture.height();
  const int lw = caption.width();
  const int lh = caption.height();
  PartPositions at;
  switch (captionPosition) {
    case kCaptionBelow:
      at.imageTop = Half(h - (ph + lh + space));
      at.imageLeft = Half(w - pw);
      at.labelTop = at.imageTop + ph + space;
      at.labelLeft = Half(w - lw);
      return at;
    case kCaptionRight:
      at.imageTop = Half(h - ph);
      at.imageLeft = Half(w - (pw + lw + space));
      at.labelTop = Half(h - lh);
      at.labelLeft = at.imageLeft + pw + space;
      return at;
    case kCaptionLeft:
      at.imageTop = Half(h - ph);
      at.imageLeft = Half(w - (pw + lw + space)) + space + lw;
      at.labelTop = Half(h - lh);
      at.labelLeft = at.imageLeft - lw - space;
      return at;
    case kCaptionAbove:
      at.imageTop = Half(h - (ph + lh + space)) + space + lh;
      at.imageLeft = Half(w - pw);
      at.labelTop = at.imageTop - lh - space;
      at.labelLeft = Half(w - lw);
      return at;
    default:
      return std::nullopt;
  }
}

std::array<BorderLine, 8> BorderGeometry(QSize inner) {
  const int w = inner.width();
  const int h = inner.height();
  return {{
      {"LineTop1", {0, 0}, {w - 1, 0}},
      {"LineLeft1", {0, 0}, {0, h - 1}},
      {"LineDown1", {0, h - 1}, {w, h - 1}},
      {"LineRight1", {w - 1, 0}, {w - 1, h}},
      {"LineTop2", {1, 1}, {w - 2, 1}},
      {"LineLeft2", {1, 1}, {1, h - 2}},
      {"LineDown2", {1, h - 2}, {w - 2, h - 2}},
      {"LineRight2", {w - 2, 1}, {w - 2, h - 1}},
  }};
}

}  // namespace hv
