#include "registry/Variant.h"

#include <charconv>

namespace hv {
namespace {

struct TextOf {
  std::string operator()(std::monostate) const { return {}; }
  std::string operator()(const std::string& text) const { return text; }
  std::string operator()(int16_t number) const { return std::to_string(number); }
  std::string operator()(int32_t number) const { return std::to_string(number); }
  std::string operator()(const ByteArray& bytes) const { return {bytes.begin(), bytes.end()}; }
  std::string operator()(bool flag) const { return flag ? "True" : "False"; }
  std::string operator()(uint8_t number) const { return std::to_string(number); }
  std::string operator()(double number) const {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, number).ptr;
    return {text, end};
  }
};

}  // namespace

std::string VariantText(const Variant& value) {
  return std::visit(TextOf{}, value);
}

std::string VariantDisplayText(const Variant& value) {
  const auto* bytes = std::get_if<ByteArray>(&value);
  if (bytes == nullptr) {
    return VariantText(value);
  }
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (const uint8_t byte : *bytes) {
    if (!text.empty()) {
      text += ' ';
    }
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  return text;
}

}  // namespace hv
