#pragma once

#include <QString>
#include <string>

namespace hv {

// The program writes its texts with "\r\n" line breaks; Qt shows "\n" as a break.
QString DisplayText(const std::string& text);

}  // namespace hv
