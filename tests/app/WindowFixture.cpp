#include "WindowFixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QTabBar>
#include <QTest>
#include <QWebEnginePage>
#include <QWidget>
#include <chrono>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <thread>

#include "app/SelectionPage.h"
#include "clean/StandardCleanActions.h"
#include "controls/TabControl.h"
#include "registry/cRegistry.h"

namespace hv::test {
namespace {

constexpr const char* kSoftwareKey = "Software\\Hushvault";

cRegistry At(const std::string& section) {
  cRegistry registry;
  registry.ClassKey(kHkeyCurrentUser);
  registry.SectionKey(std::string(kSoftwareKey) + "\\" + section);
  return registry;
}

// Stands in for the file item over the item's folder, sorted by name: each file is reported
// and removed, or in a preview only reported. Mask "throw" fails; mask "hold" stops after
// kHeldAfter files until the run is asked to stop, as a long walk would be cancelled.
void FakeFilesAction(const CleanItem& item, CleanContext& context) {
  if (item.Mask == "throw") {
    throw std::runtime_error("the folder could not be read");
  }
  std::set<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(item.Path, error)) {
    files.insert(entry.path());
  }
  size_t done = 0;
  for (const std::filesystem::path& file : files) {
    if (item.Mask == "hold" && done == kHeldAfter) {
      const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (!context.report.StopRequested() && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    }
    if (context.report.StopRequested()) {
      return;
    }
    const uint64_t bytes = std::filesystem::file_size(file);
    if (!context.preview) {
      std::filesystem::remove(file);
    }
    context.report.Add({EntryType::kFile, file.string(), bytes,
                        context.preview ? EntryOutcome::kWouldBeRemoved : EntryOutcome::kRemoved,
                        ""});
    ++done;
  }
}

}  // namespace

std::string PageWith(const std::vector<TestBox>& boxes, const std::string& extraBody) {
  std::string html =
      "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body data-clicks=\"\">";
  for (const TestBox& box : boxes) {
    html += "<p><input type=\"checkbox\"";
    if (!box.key.empty()) {
      html += " id=\"" + box.key + "\"";
    }
    html += box.checked ? " checked" : "";
    html += " onclick=\"document.body.dataset.clicks += this.id + ' '\"></p>";
  }
  return html + extraBody + "</body></html>";
}

std::string DefinitionsFor(const std::vector<std::string>& keys, const std::string& folder,
                           const std::string& mask) {
  std::string file;
  for (const std::string& key : keys) {
    file += "\"" + key + "\",\"clean " + key + "\",2,\"" + folder + "\",\"" + mask + "\",0,0,0\r\n";
  }
  return file;
}

WindowFixture::WindowFixture() : services_(MakePlatformServices()) {
  WriteConfig("winclean.cln", DefinitionsFor({"A1", "A2", "A3"}));
  WriteConfig("windows.pick", PageWith({{"A1", true}, {"A2", false}, {"A3", true}}));
  WriteConfig("webclean.cln", DefinitionsFor({"B1", "B2"}));
  WriteConfig("web.pick", PageWith({{"B1", true}, {"B2", false}}));
}

WindowFixture::~WindowFixture() = default;

void WindowFixture::WriteConfig(const std::string& file, const std::string& content) const {
  folder_.Write("config/" + file, content);
}

void WindowFixture::RemoveConfig(const std::string& file) const {
  std::filesystem::remove(folder_ / ("config/" + file));
}

frmMain& WindowFixture::Make() {
  frmMainSetup setup;
  setup.configFolder = QString::fromStdString((folder_.Path() / "config").string());
  setup.configNotFound = configNotFound;
  setup.ui = &ui;
  if (standardActions) {
    setup.actions = StandardCleanActions(services_);
  } else {
    setup.actions.Register(ItemKind::Files, [this](const CleanItem& item, CleanContext& context) {
      cleaned.push_back(item.Key);
      FakeFilesAction(item, context);
    });
  }
  setup.restart = services_.restart.get();
  setup.openUrl = [this](const QUrl& url) { opened.push_back(url); };
  window_ = std::make_unique<frmMain>(std::move(setup));
  return *window_;
}

frmMain& WindowFixture::Start() {
  Make();
  window_->show();
  window_->Load();
  return *window_;
}

void WindowFixture::Close() {
  window_->close();
  window_.reset();
}

WebSelectionDocument WindowFixture::Document(const char* page) const {
  return WebSelectionDocument(*Find<SelectionPage>(page)->page());
}

std::vector<bool> WindowFixture::States(const char* page) {
  WebSelectionDocument document = Document(page);
  std::vector<bool> states;
  const int count = document.CheckBoxCount();
  for (int position = 0; position < count; ++position) {
    states.push_back(document.CheckBoxState(position));
  }
  return states;
}

void WindowFixture::ClickBox(const char* page, int position) {
  Document(page).ClickCheckBox(position);
}

QStringList WindowFixture::Clicks(const char* page) {
  return Document(page)
      .Evaluate("return document.body.dataset.clicks;")
      .toString()
      .split(' ', Qt::SkipEmptyParts);
}

void WindowFixture::SelectTab(int n) {
  Find<TabControl>("tabMain")->Bar()->setCurrentIndex(n - 1);
}

void WindowFixture::PickEntry(const char* list, int position) {
  auto* combo = Find<QComboBox>(list);
  combo->showPopup();
  QAbstractItemView* view = combo->view();
  view->setCurrentIndex(view->model()->index(position, combo->modelColumn()));
  QTest::keyClick(view, Qt::Key_Return);
}

void ClearProgramRegistry() {
  for (const char* section : {"Presets\\Windows", "Presets\\Web", "Settings"}) {
    At(section).DeleteKey();
  }
}

void WritePresetBytes(const std::string& kind, const std::string& name, const ByteArray& bytes) {
  cRegistry registry = At("Presets\\" + kind);
  registry.ValueKey(name);
  registry.ValueType(static_cast<int32_t>(reg::kBinary));
  registry.Value(Variant(bytes));
}

Variant ReadValue(const std::string& section, const std::string& name) {
  cRegistry registry = At(section);
  registry.ValueKey(name);
  return registry.Value();
}

}  // namespace hv::test
