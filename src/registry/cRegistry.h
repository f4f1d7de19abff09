#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/RegistryBackend.h"
#include "registry/Variant.h"

namespace hv {

// Error numbers raised by cRegistry (the object-error base 0x80040000 + 1048 + 26001...).
inline constexpr long kRegistryError = 26001;
inline constexpr long kRegistrySetValueError = -2147194455;         // 0x800469A9
inline constexpr long kRegistryEnumerateError = -2147194454;        // 0x800469AA
inline constexpr long kRegistryAssociationListError = -2147194452;  // 0x800469AC
inline constexpr long kRegistryClassMissingError = -2147194451;     // 0x800469AD

// The registry object: set where it points (ClassKey, SectionKey, ValueKey) and, for a
// write, ValueType, then call one operation. Every operation opens the key it needs and
// closes it again before it returns or throws, so the object holds only its settings.
// Failures are thrown as NumberedError where noted.
class cRegistry {
 public:
  // Uses the program's registry (DefaultRegistryBackend()) as it is at each operation, so
  // that an object kept for the life of the process follows a replaced registry.
  cRegistry() = default;
  explicit cRegistry(RegistryBackend& backend) : backend_(&backend) {}

  // True when SectionKey can be opened for reading.
  bool KeyExists() const;
  // Creates SectionKey (or opens it when present); throws 26001 when it cannot.
  bool CreateKey();
  // Deletes SectionKey with its immediate subkeys; false when the key stays. subkeyDone,
  // when given, hears each subkey's name and whether it went.
  bool DeleteKey(
      const std::function<void(const std::string& subkey, bool deleted)>& subkeyDone = {});
  // Deletes the value ValueKey; throws 26001 when the key or the value cannot be reached.
  bool DeleteValue();

  // Reads ValueKey; Default when it cannot be read. A successful read sets ValueType.
  Variant Value();
  // Writes ValueKey as ValueType says; throws on failure.
  void Value(const Variant& vValue);

  // The value names of SectionKey, indexed from 0; true even for a missing key.
  bool EnumerateValues(std::vector<std::string>& sKeyNames, int32_t& iKeyCount);
  // The subkey names of SectionKey at indexes 1 to iSectCount (index 0 is unused).
  bool EnumerateSections(std::vector<std::string>& sSect, int32_t& iSectCount);

  // Registers the file extension sAssociation for an executable below HKEY_CLASSES_ROOT.
  void CreateEXEAssociation(const std::string& sExePath, const std::string& sClassName,
                            const std::string& sClassDescription, const std::string& sAssociation,
                            const std::string& sOpenMenuText = "", bool bSupportPrint = false,
                            const std::string& sPrintMenuText = "", bool bSupportNew = false,
                            const std::string& sNewMenuText = "", bool bSupportInstall = false,
                            const std::string& sInstallMenuText = "",
                            int32_t lDefaultIconIndex = -1);
  // Adds verbs to a registered class: vItems holds (verb name, menu text, command) triples.
  void CreateAdditionalEXEAssociations(const std::string& sClassName,
                                       const std::vector<Variant>& vItems);

  int32_t ValueType() const { return valueType_; }
  void ValueType(int32_t eValueType) { valueType_ = eValueType; }
  int32_t ClassKey() const { return classKey_; }
  void ClassKey(int32_t eKey) { classKey_ = eKey; }
  const std::string& SectionKey() const { return sectionKey_; }
  void SectionKey(const std::string& sSectionKey) { sectionKey_ = sSectionKey; }
  const std::string& ValueKey() const { return valueKey_; }
  void ValueKey(const std::string& sValueKey) { valueKey_ = sValueKey; }
  const Variant& Default() const { return default_; }
  void Default(const Variant& vDefault) { default_ = vDefault; }

 private:
  static int32_t ReverseByteOrder(int32_t value);
  static std::string ExpandEnvironmentText(const std::string& text);

  Variant ReadData(RegKey key, uint32_t type, uint32_t size);
  long WriteData(RegKey key, const Variant& vValue);
  std::string SetValueMessage(const Variant& vValue) const;
  [[noreturn]] void Raise(long number, const std::string& description) const;

  RegistryBackend& Backend() const;

  RegistryBackend* backend_ = nullptr;
  int32_t classKey_ = 0;
  std::string sectionKey_;
  std::string valueKey_;
  int32_t valueType_ = 0;
  Variant default_;
};

}  // namespace hv
