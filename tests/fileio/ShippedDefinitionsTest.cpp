// The definition files and pages that ship for each system: every record loads, does
// something, and has exactly one check box on its page, and every input of the page is
// such a box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempFolder.h"
#include "fileio/DefinitionLoader.h"

namespace hv {
namespace {

struct Shipped {
  const char* folder;  // below config/
  char separator;      // the one folder paths of that system end with
};

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST(ShippedDefinitionsTest, EveryRecordLoadsAndHasOneCheckBox) {
  for (const Shipped& shipped : {Shipped{"", '/'}, Shipped{"windows/", '\\'}}) {
    const std::string folder = std::string(HUSHVAULT_SOURCE_DIR) + "/config/" + shipped.folder;
    for (const auto& [definitions, page] : std::vector<std::pair<std::string, std::string>>{
             {"winclean.cln", "windows.pick"}, {"webclean.cln", "web.pick"}}) {
      SCOPED_TRACE(folder + definitions);
      CleanItemList items;
      ASSERT_NO_THROW(LoadCleanItems(folder + definitions, items));
      ASSERT_FALSE(items.empty());
      const std::string html = test::ReadFile(folder + page);
      EXPECT_EQ(Occurrences(html, "<input"), items.size());
      for (const CleanItem& item : items) {
        SCOPED_TRACE(item.Key);
        EXPECT_GE(item.Kind, 1);
        EXPECT_LE(item.Kind, 7);
        EXPECT_EQ(Occurrences(html, "<input type=\"checkbox\" id=\"" + item.Key + "\""), 1u);
        // Captions complete the sentence of the confirmation question.
        EXPECT_FALSE(item.Caption.empty() || item.Caption.back() == '.');
        if (item.Kind == static_cast<int32_t>(ItemKind::Files)) {
          ASSERT_FALSE(item.Path.empty());
          EXPECT_EQ(item.Path.front(), '%') << "a folder named through a placeholder";
          EXPECT_EQ(item.Path.back(), shipped.separator);
        }
        if (item.Kind == static_cast<int32_t>(ItemKind::Files) ||
            item.Kind == static_cast<int32_t>(ItemKind::BrowserProfile)) {
          EXPECT_FALSE(item.Mask.empty());
        }
      }
    }
  }
}

}  // namespace
}  // namespace hv
