#include "registry/Presets.h"

#include <gtest/gtest.h>

#include "InMemoryDocument.h"
#include "registry/cRegistry.h"

namespace hv {
namespace {

using test::InMemoryDocument;

class RecordingList : public PresetList {
 public:
  std::vector<std::string> entries;
  int selected = -1;
  std::vector<int> changes;

  int Count() const override { return static_cast<int>(entries.size()); }
  std::string Text(int position) const override { return entries.at(position); }
  int SelectedPosition() const override { return selected; }
  void Select(int position) override {
    if (position != selected) {
      selected = position;
      changes.push_back(position);
    }
  }
  void Clear() override {
    entries.clear();
    selected = -1;
  }
  void Add(const std::string& name) override { entries.push_back(name); }
};

class PresetsTest : public testing::Test {
 protected:
  void SetUp() override { presets.DeleteKey(); }
  void Store(const std::string& name, const Variant& data, uint32_t type) {
    presets.ValueKey(name);
    presets.ValueType(static_cast<int32_t>(type));
    presets.Value(data);
  }
  static InMemoryDocument PageOf(size_t boxes) {
    InMemoryDocument page;
    for (size_t i = 0; i < boxes; ++i) {
      page.Box(std::to_string(i), true);
    }
    return page;
  }

  cRegistry presets = [] {
    cRegistry registry;
    registry.ClassKey(kHkeyCurrentUser);
    registry.SectionKey("Software\\Hushvault\\Presets\\Windows");
    return registry;
  }();
};

// The window tests cover saving, deleting and how each stored byte sets a box; here, what
// Apply and Delete refuse.
TEST_F(PresetsTest, ApplyAndDeleteRaiseForWhatIsNoPresetAndApplyForAPageTwoBoxesLonger) {
  Store("Text", Variant(std::string("101")), reg::kSz);
  for (const char* name : {"Missing", "Text"}) {
    SCOPED_TRACE(name);
    InMemoryDocument page = PageOf(3);
    EXPECT_ANY_THROW(ApplyPreset(name, "Windows", page));
    EXPECT_TRUE(page.clicks.empty());
  }
  EXPECT_ANY_THROW(DeletePreset("Missing", "Windows"));
  // The stored bytes and the extra 0 reach six boxes: the read past them fails.
  Store("P", ByteArray{1, 0, 1, 0, 1}, reg::kBinary);
  InMemoryDocument page = PageOf(8);
  EXPECT_ANY_THROW(ApplyPreset("P", "Windows", page));
}

TEST_F(PresetsTest, FillListsThePresetsAndSelectsTheRememberedPositionOrTheNearest) {
  struct Case {
    std::vector<std::string> stored;
    int remembered;
    int selected;
  };
  const std::vector<std::string> three = {"A", "B", "C"};
  for (const Case& c : {Case{{}, 0, -1}, Case{three, -1, 0}, Case{three, 7, 2}}) {
    SCOPED_TRACE(c.remembered);
    for (const std::string& name : c.stored) {
      Store(name, ByteArray{1}, reg::kBinary);
    }
    RecordingList list;
    list.entries.assign(8, "old");
    list.selected = c.remembered;
    FillPresetList("Windows", list);
    EXPECT_EQ(list.entries, c.stored);
    EXPECT_EQ(list.selected, c.selected);
    // The refilled list had no selection, so the final pick is at most one change.
    EXPECT_EQ(list.changes, c.selected < 0 ? std::vector<int>() : std::vector<int>{c.selected});
  }
}

}  // namespace
}  // namespace hv
