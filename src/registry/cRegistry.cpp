#include "registry/cRegistry.h"

#include <cstring>
#include <exception>

#include "platform/EnvironmentExpansion.h"
#include "platform/ExecutableName.h"
#include "registry/DefaultRegistry.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

constexpr uint32_t kSectionNameBuffer = 255;
// A value that changes size between the size query and the data query is read again,
// a few times at most, so that a second running copy cannot make a read spin.
constexpr int kReadAttempts = 3;

// Closes the key it holds when the operation ends, whichever way it ends.
class KeyCloser {
 public:
  explicit KeyCloser(RegistryBackend& backend) : backend_(backend) {}
  ~KeyCloser() {
    if (key != 0) {
      backend_.CloseKey(key);
    }
  }
  KeyCloser(const KeyCloser&) = delete;
  KeyCloser& operator=(const KeyCloser&) = delete;

  RegKey key = 0;

 private:
  RegistryBackend& backend_;
};

RegKey Root(int32_t classKey) {
  return static_cast<RegKey>(classKey);
}

// A text with two percent signs around at least one character holds a reference.
bool HoldsReference(const std::string& text) {
  const size_t first = text.find('%');
  return first != std::string::npos && text.find('%', first + 2) != std::string::npos;
}

int32_t LittleEndianDword(const ByteArray& data) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4 && i < data.size(); ++i) {
    value |= static_cast<uint32_t>(data[i]) << (8 * i);
  }
  return static_cast<int32_t>(value);
}

// A stored string ends in one NUL, which is not part of the text; data that lacks it
// loses nothing.
std::string StoredText(const ByteArray& data) {
  std::string text(data.begin(), data.end());
  if (!text.empty() && text.back() == '\0') {
    text.pop_back();
  }
  return text;
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

const std::string& OrDefault(const std::string& text, const std::string& fallback) {
  return text.empty() ? fallback : text;
}

}  // namespace

RegistryBackend& cRegistry::Backend() const {
  return backend_ != nullptr ? *backend_ : DefaultRegistryBackend();
}

bool cRegistry::KeyExists() const {
  KeyCloser opened(Backend());
  return Backend().OpenKeyEx(Root(classKey_), sectionKey_.c_str(), reg::kQueryValue, &opened.key) ==
         reg::kSuccess;
}

bool cRegistry::CreateKey() {
  KeyCloser created(Backend());
  if (Backend().CreateKeyEx(Root(classKey_), sectionKey_.c_str(), reg::kAllSpecificRights,
                            &created.key) != reg::kSuccess) {
    Raise(kRegistryError, "Failed to create registry Key: '" + sectionKey_);
  }
  return true;
}

bool cRegistry::DeleteKey(
    const std::function<void(const std::string& subkey, bool deleted)>& subkeyDone) {
  std::vector<std::string> sections;
  int32_t count = 0;
  EnumerateSections(sections, count);
  for (int32_t i = 1; i <= count; ++i) {
    // A subkey that has subkeys of its own stays, and with it the key.
    const bool deleted =
        Backend().DeleteKey(Root(classKey_), (sectionKey_ + "\\" + sections[i]).c_str()) ==
        reg::kSuccess;
    if (subkeyDone) {
      subkeyDone(sections[i], deleted);
    }
  }
  return Backend().DeleteKey(Root(classKey_), sectionKey_.c_str()) == reg::kSuccess;
}

bool cRegistry::DeleteValue() {
  KeyCloser opened(Backend());
  const std::string root = std::to_string(classKey_);
  if (Backend().OpenKeyEx(Root(classKey_), sectionKey_.c_str(), reg::kAllSpecificRights,
                          &opened.key) != reg::kSuccess) {
    Raise(kRegistryError,
          "Failed to open key '" + root + "',Section: '" + sectionKey_ + "' for delete access");
  }
  if (Backend().DeleteValue(opened.key, valueKey_.c_str()) != reg::kSuccess) {
    Raise(kRegistryError, "Failed to delete registry Key: '" + root + "',Section: '" + sectionKey_ +
                              "',Key: '" + valueKey_);
  }
  return true;
}

Variant cRegistry::Value() {
  KeyCloser opened(Backend());
  // A key that cannot be opened leaves the handle 0, and the query below then fails.
  Backend().OpenKeyEx(Root(classKey_), sectionKey_.c_str(), reg::kQueryValue, &opened.key);
  uint32_t type = 0;
  uint32_t size = 0;
  const long found = Backend().QueryValueEx(opened.key, valueKey_.c_str(), &type, nullptr, &size);
  if (found != reg::kSuccess && found != reg::kMoreData) {
    return default_;
  }
  valueType_ = static_cast<int32_t>(type);
  return ReadData(opened.key, type, size);
}

Variant cRegistry::ReadData(RegKey key, uint32_t type, uint32_t size) {
  ByteArray data(size);
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    data.resize(size);
    const long result = Backend().QueryValueEx(key, valueKey_.c_str(), nullptr,
                                               size == 0 ? nullptr : data.data(), &size);
    if (result != reg::kMoreData) {
      data.resize(result == reg::kSuccess ? size : data.size());
      break;
    }
  }
  switch (type) {
    case reg::kSz:
    case reg::kMultiSz:
      return StoredText(data);
    case reg::kExpandSz:
      return ExpandEnvironmentText(StoredText(data));
    case reg::kDword:
      return LittleEndianDword(data);
    case reg::kDwordBigEndian:
      return ReverseByteOrder(LittleEndianDword(data));
    default:
      // Callers rely on one element more than the data holds, always 0.
      data.push_back(0);
      return data;
  }
}

void cRegistry::Value(const Variant& vValue) {
  long result = reg::kSuccess;
  {
    KeyCloser created(Backend());
    if (Backend().CreateKeyEx(Root(classKey_), sectionKey_.c_str(), reg::kAllSpecificRights,
                              &created.key) != reg::kSuccess) {
      Raise(kRegistryError, SetValueMessage(vValue));
    }
    result = WriteData(created.key, vValue);
  }
  if (result != reg::kSuccess) {
    Raise(kRegistrySetValueError, SetValueMessage(vValue));
  }
}

long cRegistry::WriteData(RegKey key, const Variant& vValue) {
  const char* name = valueKey_.c_str();
  switch (valueType_) {
    case reg::kSz:
    case reg::kExpandSz: {
      const std::string text = VariantText(vValue);
      const uint32_t type = HoldsReference(text) ? reg::kExpandSz : reg::kSz;
      return Backend().SetValueEx(key, name, type, reinterpret_cast<const uint8_t*>(text.c_str()),
                                  static_cast<uint32_t>(text.size() + 1));
    }
    case reg::kBinary: {
      const auto* bytes = std::get_if<ByteArray>(&vValue);
      if (bytes == nullptr) {
        throw NumberedError(kRegistryError, "", "Application-defined or object-defined error");
      }
      return Backend().SetValueEx(key, name, reg::kBinary, bytes->data(),
                                  static_cast<uint32_t>(bytes->size()));
    }
    case reg::kDword:
    case reg::kDwordBigEndian: {
      uint32_t number = 0;
      if (const auto* small = std::get_if<int16_t>(&vValue)) {
        number = static_cast<uint32_t>(static_cast<int32_t>(*small));
      } else if (const auto* large = std::get_if<int32_t>(&vValue)) {
        number = static_cast<uint32_t>(*large);
      } else {
        return reg::kSuccess;  // only integers are written as numbers; the rest is ignored
      }
      const uint8_t data[4] = {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
                               static_cast<uint8_t>(number >> 16),
                               static_cast<uint8_t>(number >> 24)};
      return Backend().SetValueEx(key, name, reg::kDword, data, sizeof data);
    }
    default:
      return reg::kInvalidData;
  }
}

bool cRegistry::EnumerateValues(std::vector<std::string>& sKeyNames, int32_t& iKeyCount) {
  sKeyNames.clear();
  iKeyCount = 0;
  KeyCloser opened(Backend());
  if (Backend().OpenKeyEx(Root(classKey_), sectionKey_.c_str(), reg::kQueryValue, &opened.key) !=
      reg::kSuccess) {
    return true;
  }
  uint32_t longest = 0;
  if (Backend().QueryInfoKey(opened.key, &longest) != reg::kSuccess) {
    return true;
  }
  bool remeasured = false;
  for (uint32_t index = 0;;) {
    std::string name(longest + 1, '\0');
    uint32_t size = longest + 1;
    const long result = Backend().EnumValue(opened.key, index, name.data(), &size);
    if (result == reg::kMoreData && !remeasured) {
      // Another running copy added a longer name meanwhile: measure again, once.
      remeasured = true;
      if (Backend().QueryInfoKey(opened.key, &longest) == reg::kSuccess) {
        continue;
      }
    }
    if (result != reg::kSuccess) {
      break;
    }
    name.resize(size);
    sKeyNames.push_back(std::move(name));
    ++iKeyCount;
    ++index;
    remeasured = false;
  }
  return true;
}

bool cRegistry::EnumerateSections(std::vector<std::string>& sSect, int32_t& iSectCount) {
  KeyCloser opened(Backend());
  try {
    sSect.clear();
    iSectCount = 0;
    long result = Backend().OpenKeyEx(Root(classKey_), sectionKey_.c_str(), reg::kEnumerateSubKeys,
                                      &opened.key);
    for (uint32_t index = 0; result == reg::kSuccess; ++index) {
      char name[kSectionNameBuffer] = {};
      result = Backend().EnumKey(opened.key, index, name, kSectionNameBuffer);
      if (result == reg::kSuccess) {
        ++iSectCount;
        sSect.resize(static_cast<size_t>(iSectCount) + 1);
        sSect[iSectCount].assign(name, strnlen(name, kSectionNameBuffer));
      }
    }
  } catch (const std::exception& error) {
    Raise(kRegistryEnumerateError, error.what());
  }
  return true;
}

void cRegistry::CreateEXEAssociation(const std::string& sExePath, const std::string& sClassName,
                                     const std::string& sClassDescription,
                                     const std::string& sAssociation,
                                     const std::string& sOpenMenuText, bool bSupportPrint,
                                     const std::string& sPrintMenuText, bool bSupportNew,
                                     const std::string& sNewMenuText, bool bSupportInstall,
                                     const std::string& sInstallMenuText,
                                     int32_t lDefaultIconIndex) {
  std::string quoted = Trimmed(sExePath);
  if (quoted.empty() || quoted.front() != '"') {
    quoted.insert(quoted.begin(), '"');
  }
  if (quoted.back() != '"') {
    quoted += '"';
  }
  ClassKey(kHkeyClassesRoot);
  ValueType(static_cast<int32_t>(reg::kSz));
  ValueKey("");
  const auto write = [this](const std::string& section, const std::string& text) {
    SectionKey(section);
    Value(Variant(text));
  };
  write("." + sAssociation, sClassName);
  write(sClassName, sClassDescription);

  struct Verb {
    const char* key;
    bool applies;
    std::string menuText;
    const char* suffix;
  };
  const Verb verbs[] = {
      {"\\shell\\open", true, OrDefault(sOpenMenuText, "&Open"), " "},
      {"\\shell\\print", bSupportPrint, OrDefault(sPrintMenuText, "&Print"), " /p "},
      {"\\shell\\add", bSupportInstall, OrDefault(sInstallMenuText, "&Install " + sAssociation),
       " /a "},
      {"\\shell\\new", bSupportNew, OrDefault(sNewMenuText, "&New"), " /n "},
  };
  for (const Verb& verb : verbs) {
    if (verb.applies) {
      write(sClassName + verb.key, verb.menuText);
      write(sClassName + verb.key + "\\command", quoted + verb.suffix + "\"%1\"");
    }
  }
  if (lDefaultIconIndex > -1) {
    write(sClassName + "\\DefaultIcon", quoted + "," + std::to_string(lDefaultIconIndex));
  }
}

void cRegistry::CreateAdditionalEXEAssociations(const std::string& sClassName,
                                                const std::vector<Variant>& vItems) {
  if (vItems.size() % 3 != 0) {
    Raise(kRegistryAssociationListError,
          "Invalid parameter list passed to CreateAdditionalEXEAssociations - expected "
          "Name/Text/Command");
  }
  SectionKey(sClassName);
  if (!KeyExists()) {
    Raise(kRegistryClassMissingError,
          "Error - attempt to create additional associations before class defined.");
  }
  // Each write stands alone: one that fails is passed over and the next one runs.
  const auto writeOrSkip = [this](const std::string& section, const Variant& value) {
    try {
      SectionKey(section);
      ValueKey("");
      Value(value);
    } catch (const NumberedError&) {
    }
  };
  for (size_t i = 0; i < vItems.size(); i += 3) {
    const std::string verbKey = sClassName + "\\shell\\" + VariantText(vItems[i]);
    ValueType(static_cast<int32_t>(reg::kSz));
    writeOrSkip(verbKey, vItems[i + 1]);
    writeOrSkip(verbKey + "\\command", vItems[i + 2]);
  }
}

int32_t cRegistry::ReverseByteOrder(int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  return static_cast<int32_t>((bits >> 24) | ((bits >> 8) & 0xFF00u) | ((bits << 8) & 0xFF0000u) |
                              (bits << 24));
}

std::string cRegistry::ExpandEnvironmentText(const std::string& text) {
  // Text the system cannot expand is kept as it was stored.
  return ExpandEnvironmentStrings(text).value_or(text);
}

std::string cRegistry::SetValueMessage(const Variant& vValue) const {
  return "Failed to set registry value Key: '" + std::to_string(classKey_) + "',Section: '" +
         sectionKey_ + "',Key: '" + valueKey_ + "' to value: '" + VariantDisplayText(vValue) + "'";
}

void cRegistry::Raise(long number, const std::string& description) const {
  static const std::string source = ExecutableName() + ".cRegistry";
  throw NumberedError(number, source, description);
}

}  // namespace hv
