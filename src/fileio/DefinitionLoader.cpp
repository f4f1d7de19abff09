#include "fileio/DefinitionLoader.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "util/NumberedError.h"

namespace hv {
namespace {

constexpr const char* kErrorSource = "Hushvault";

// Error numbers the loader raises, as the program's run-time errors number them.
constexpr long kOverflow = 6;
constexpr long kTypeMismatch = 13;
constexpr long kFileNotFound = 53;
constexpr long kInputPastEnd = 62;
constexpr long kPathFileAccess = 75;

// Reads the comma- and line-separated fields of a definition file.
class FieldReader {
 public:
  FieldReader(const std::string& text, const std::string& path) : text_(text), path_(path) {}

  bool AtEnd() const { return pos_ >= text_.size(); }

  std::string ReadText() {
    StartField();
    if (!AtEnd() && text_[pos_] == '"') {
      const size_t open = pos_;
      const size_t close = text_.find('"', open + 1);
      if (close == std::string::npos) {
        Fail(kInputPastEnd, "Quoted text is never closed");
      }
      std::string value = text_.substr(open + 1, close - open - 1);
      CountLineBreaks(value);
      pos_ = close + 1;
      SkipToSeparator();  // anything between the closing mark and the separator is dropped
      ConsumeSeparator();
      return value;
    }
    std::string value = ReadRaw();
    ConsumeSeparator();
    return value;
  }

  int32_t ReadNumber() {
    StartField();
    const size_t fieldLine = line_;
    std::string raw = ReadRaw();
    ConsumeSeparator();
    while (!raw.empty() && (raw.back() == ' ' || raw.back() == '\t')) {
      raw.pop_back();
    }
    if (raw.empty()) {
      return 0;
    }
    const char* first = raw.data();
    const char* last = raw.data() + raw.size();
    if (*first == '+') {
      ++first;  // from_chars takes a minus sign but not a plus sign
    }
    int32_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc::result_out_of_range) {
      Fail(kOverflow, "Number out of range", fieldLine);
    }
    if (error != std::errc() || end != last || first == last) {
      Fail(kTypeMismatch, "Not a whole number: '" + Printable(raw) + "'", fieldLine);
    }
    return value;
  }

  [[noreturn]] void Fail(long number, const std::string& what) const { Fail(number, what, line_); }

  [[noreturn]] void Fail(long number, const std::string& what, size_t line) const {
    throw NumberedError(number, kErrorSource,
                        what + " in '" + path_ + "' at line " + std::to_string(line));
  }

 private:
  static bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

  // Every field read begins here: a field cannot start at the end of the file.
  void StartField() {
    if (AtEnd()) {
      Fail(kInputPastEnd, "Input past end of file");
    }
    while (!AtEnd() && (text_[pos_] == ' ' || text_[pos_] == '\t')) {
      ++pos_;
    }
  }

  std::string ReadRaw() {
    const size_t start = pos_;
    SkipToSeparator();
    return text_.substr(start, pos_ - start);
  }

  void SkipToSeparator() {
    while (!AtEnd() && text_[pos_] != ',' && !IsLineBreak(text_[pos_])) {
      ++pos_;
    }
  }

  // A comma, or one line break (CR LF, CR or LF), or the end of the file.
  void ConsumeSeparator() {
    if (AtEnd()) {
      return;
    }
    const char c = text_[pos_++];
    if (c == '\r' && !AtEnd() && text_[pos_] == '\n') {
      ++pos_;
    }
    if (IsLineBreak(c)) {
      ++line_;
    }
  }

  void CountLineBreaks(const std::string& value) {
    for (size_t i = 0; i < value.size(); ++i) {
      if (value[i] == '\n' ||
          (value[i] == '\r' && (i + 1 == value.size() || value[i + 1] != '\n'))) {
        ++line_;
      }
    }
  }

  // Shows a bad field in a message without control bytes and without flooding it.
  static std::string Printable(const std::string& raw) {
    constexpr size_t kShown = 40;
    std::string shown;
    for (size_t i = 0; i < raw.size() && i < kShown; ++i) {
      const auto c = static_cast<unsigned char>(raw[i]);
      shown += (c < 0x20 || c == 0x7F) ? '?' : static_cast<char>(c);
    }
    if (raw.size() > kShown) {
      shown += "...";
    }
    return shown;
  }

  const std::string& text_;
  const std::string& path_;
  size_t pos_ = 0;
  size_t line_ = 1;
};

std::string ReadWholeFile(const std::string& path) {
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) {
    throw NumberedError(kPathFileAccess, kErrorSource,
                        "Path/File access error: '" + path + "' is a folder");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    const int cause = errno;
    const long number = cause == ENOENT ? kFileNotFound : kPathFileAccess;
    throw NumberedError(
        number, kErrorSource,
        std::string(number == kFileNotFound ? "File not found" : "Path/File access error") + ": '" +
            path + "' (" + std::strerror(cause) + ")");
  }
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) {
    throw NumberedError(kPathFileAccess, kErrorSource, "Path/File access error: '" + path + "'");
  }
  return content.str();
}

}  // namespace

void LoadCleanItems(const std::string& path, CleanItemList& list) {
  list.clear();
  const std::string text = ReadWholeFile(path);
  FieldReader reader(text, path);
  while (!reader.AtEnd()) {
    CleanItem item;
    item.Key = reader.ReadText();
    item.Caption = reader.ReadText();
    item.Kind = reader.ReadNumber();
    item.Path = reader.ReadText();
    item.Mask = reader.ReadText();
    item.Reserved = reader.ReadNumber() != 0;
    item.NeedsRestart = reader.ReadNumber() != 0;
    item.Confirm = reader.ReadNumber() != 0;
    list.push_back(std::move(item));
  }
}

}  // namespace hv
