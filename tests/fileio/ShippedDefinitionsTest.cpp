// The definition files and pages that ship for each system: every record loads, does
// something, and has exactly one check box on its page, and every input of the page is
// such a box.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "fileio/DefinitionLoader.h"

namespace hv {
namespace {

constexpr int32_t kProfileFilesKind = static_cast<int32_t>(ItemKind::BrowserFamilyFiles);
constexpr int32_t kLastKind = kProfileFilesKind;

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST(ShippedDefinitionsTest, EveryRecordLoadsAndHasOneCheckBox) {
  for (const char* system : {"", "windows/"}) {
    const std::string folder = std::string(HUSHVAULT_SOURCE_DIR) + "/config/" + system;
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
        EXPECT_LE(item.Kind, kLastKind);
        const std::string box = "<input type=\"checkbox\" id=\"" + item.Key + "\"";
        ASSERT_EQ(Occurrences(html, box), 1u);
        // The page marks exactly the items that ask before they run.
        const size_t at = html.find(box);
        const std::string label = html.substr(at, html.find("</label>", at) - at);
        EXPECT_EQ(label.find("sensitive") != std::string::npos, item.Confirm);
        const bool files = item.Kind == static_cast<int32_t>(ItemKind::Files) ||
                           item.Kind == static_cast<int32_t>(ItemKind::NamedFiles);
        if (files) {
          EXPECT_TRUE(item.Path.starts_with('%')) << "a folder named through a placeholder";
        }
        if (item.Kind == kProfileFilesKind) {
          const std::set<std::string> families = {"firefox", "chromium", "firefox-cache",
                                                  "chromium-cache"};
          EXPECT_TRUE(families.contains(item.Path)) << item.Path;
        }
        // An empty mask would make a file or profile item do nothing.
        if (files || item.Kind == static_cast<int32_t>(ItemKind::BrowserProfile) ||
            item.Kind == kProfileFilesKind) {
          EXPECT_FALSE(item.Mask.empty());
        }
      }
    }
  }
}

}  // namespace
}  // namespace hv
