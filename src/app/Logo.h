#pragma once

#include <QPixmap>

namespace hv {

// The program's logo, a shield with a keyhole, drawn at the given size.
QPixmap DrawLogo(int size);

}  // namespace hv
