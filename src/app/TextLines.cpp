#include "app/TextLines.h"

namespace hv {

QString DisplayText(const std::string& text) {
  return QString::fromStdString(text).replace("\r\n", "\n");
}

}  // namespace hv
