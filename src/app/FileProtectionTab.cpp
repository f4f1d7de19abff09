#include "app/FileProtectionTab.h"

#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScopedValueRollback>
#include <algorithm>
#include <exception>
#include <filesystem>

#include "app/BackgroundRun.h"
#include "app/FileDrops.h"
#include "app/Settings.h"
#include "app/WindowThreadPorts.h"
#include "fileio/BatchProgress.h"
#include "fileio/WipeFiles.h"

namespace hv {
namespace {

constexpr const char* kAllFilesFilter = "All (*.*)| *.*";
constexpr const char* kEncryptedFilesFilter = "Hushvault Encrypted Files (*.vlt)|*.vlt";
constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

// A list entry keeps its path's bytes beside the text it shows: a name that is no text
// shows with replacement characters, and the text would no longer reach the file.
constexpr int kPathRole = Qt::UserRole;

std::string EntryPath(const QListWidgetItem* item) {
  return item->data(kPathRole).toByteArray().toStdString();
}

void AddPath(QListWidget* list, const std::string& path) {
  const QByteArray bytes = QByteArray::fromStdString(path);
  auto* item = new QListWidgetItem(QFile::decodeName(bytes), list);
  item->setData(kPathRole, bytes);
}

QPushButton* Button(const char* name, const char* text, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  return button;
}

std::vector<QListWidgetItem*> ItemsOf(const QListWidget* list) {
  std::vector<QListWidgetItem*> items;
  for (int i = 0; i < list->count(); ++i) {
    items.push_back(list->item(i));
  }
  return items;
}

bool Holds(const QListWidget* list, const std::string& path) {
  const std::vector<QListWidgetItem*> items = ItemsOf(list);
  return std::ranges::any_of(items,
                             [&](const QListWidgetItem* item) { return EntryPath(item) == path; });
}

// Removes the entries a command took on; entries added while it worked stay.
void RemoveEntries(const std::vector<QListWidgetItem*>& items) {
  for (QListWidgetItem* item : items) {
    delete item;
  }
}

// Keeps the main window disabled for exactly as long as a command works off its thread.
class DisabledWindow {
 public:
  explicit DisabledWindow(UserInterface& ui) : ui_(ui) { ui_.SetMainWindowEnabled(false); }
  ~DisabledWindow() { ui_.SetMainWindowEnabled(true); }
  DisabledWindow(const DisabledWindow&) = delete;
  DisabledWindow& operator=(const DisabledWindow&) = delete;

 private:
  UserInterface& ui_;
};

}  // namespace

FileProtectionTab::FileProtectionTab(CryptContext context, GCommonDialog dialog, QWidget* parent)
    : QWidget(parent),
      context_(context),
      dialog_(std::move(dialog)),
      lstFileEncrypt_(new QListWidget(this)),
      lstFileDecrypt_(new QListWidget(this)),
      lstFileWipe_(new QListWidget(this)),
      chkEncPass_(new QCheckBox("Same Pass", this)),
      chkDecPass_(new QCheckBox("Same Pass", this)),
      chkStrong_(
          new QCheckBox("Strong encryption (older versions cannot open these files)", this)) {
  setObjectName("FileProtectionTab");
  lstFileEncrypt_->setObjectName("lstFileEncrypt");
  lstFileDecrypt_->setObjectName("lstFileDecrypt");
  lstFileWipe_->setObjectName("lstFileWipe");
  chkEncPass_->setObjectName("chkEncPass");
  chkDecPass_->setObjectName("chkDecPass");
  // One password for a whole list is what most runs want.
  chkEncPass_->setChecked(true);
  chkDecPass_->setChecked(true);
  chkStrong_->setObjectName("chkStrong");
  // Off unless chosen: peers that read only the compatible format must still open new files.
  context_.strong = ReadSetting(kStrongEncryptionSetting, 0) != 0;
  chkStrong_->setChecked(context_.strong);

  auto* layout = new QGridLayout(this);
  const auto addGroup = [&](int group, const char* caption, QListWidget* list, QPushButton* browse,
                            QCheckBox* samePass, QPushButton* command, QWidget* below) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(QString("lblCaptions%1").arg(group));
    list->setSelectionMode(QAbstractItemView::NoSelection);
    const int row = group * 3;
    layout->addWidget(label, row, 0, 1, 2);
    layout->addWidget(list, row + 1, 0);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(browse);
    if (samePass != nullptr) {
      buttons->addWidget(samePass);
    }
    buttons->addStretch(1);
    buttons->addWidget(command);
    layout->addLayout(buttons, row + 1, 1);
    layout->setRowStretch(row + 1, 1);
    if (below != nullptr) {
      layout->addWidget(below, row + 2, 0, 1, 2);
    }
  };
  auto* encBrowse = Button("cmdEncBrowse", "Browse", this);
  auto* decBrowse = Button("cmdDecBrowse", "Browse", this);
  auto* wipeBrowse = Button("cmdWipeBrowse", "Browse", this);
  auto* encrypt = Button("cmdEncrypt", "Encrypt!", this);
  auto* decrypt = Button("cmdDecrypt", "Decrypt!", this);
  auto* wipe = Button("cmdSWipe", "Wipe Now!", this);
  addGroup(0, "Files to encrypt:", lstFileEncrypt_, encBrowse, chkEncPass_, encrypt, chkStrong_);
  addGroup(1, "Files to decrypt:", lstFileDecrypt_, decBrowse, chkDecPass_, decrypt, nullptr);
  addGroup(2, "Files to wipe:", lstFileWipe_, wipeBrowse, nullptr, wipe, nullptr);

  for (const auto& [list, widget] :
       {std::pair{FileList::kEncrypt, lstFileEncrypt_},
        std::pair{FileList::kDecrypt, lstFileDecrypt_}, std::pair{FileList::kWipe, lstFileWipe_}}) {
    new FileDrops(*widget, [this, list](const std::vector<std::string>& paths) {
      std::vector<FileToOpen> files;
      for (const std::string& path : paths) {
        files.push_back({list, path});
      }
      AddFiles(files);
    });
  }

  connect(encBrowse, &QPushButton::clicked, this, &FileProtectionTab::cmdEncBrowse_Click);
  connect(decBrowse, &QPushButton::clicked, this, &FileProtectionTab::cmdDecBrowse_Click);
  connect(wipeBrowse, &QPushButton::clicked, this, &FileProtectionTab::cmdWipeBrowse_Click);
  connect(encrypt, &QPushButton::clicked, this, &FileProtectionTab::cmdEncrypt_Click);
  connect(decrypt, &QPushButton::clicked, this, &FileProtectionTab::cmdDecrypt_Click);
  connect(wipe, &QPushButton::clicked, this, &FileProtectionTab::cmdSWipe_Click);
  connect(chkStrong_, &QCheckBox::toggled, this, [this](bool on) {
    context_.strong = on;
    emit StrongEncryptionChanged(on);
  });
}

void FileProtectionTab::cmdEncBrowse_Click() {
  Browse(lstFileEncrypt_, kAllFilesFilter);
}
void FileProtectionTab::cmdDecBrowse_Click() {
  Browse(lstFileDecrypt_, kEncryptedFilesFilter);
}
void FileProtectionTab::cmdWipeBrowse_Click() {
  Browse(lstFileWipe_, kAllFilesFilter);
}

void FileProtectionTab::cmdEncrypt_Click() {
  RunCryptCommand(lstFileEncrypt_, chkEncPass_,
                  {EncryptFiles, "encrypted", "encrypt", "Encrypt", "Encrypting"});
}

void FileProtectionTab::cmdDecrypt_Click() {
  RunCryptCommand(lstFileDecrypt_, chkDecPass_,
                  {DecryptFiles, "decrypted", "decrypt", "Decrypt", "Decrypting"});
}

QListWidget* FileProtectionTab::ListOf(FileList list) const {
  switch (list) {
    case FileList::kDecrypt:
      return lstFileDecrypt_;
    case FileList::kWipe:
      return lstFileWipe_;
    case FileList::kEncrypt:
      break;
  }
  return lstFileEncrypt_;
}

void FileProtectionTab::AddFiles(const std::vector<FileToOpen>& files) {
  std::string leftOut;
  for (const FileToOpen& file : files) {
    const std::optional<FolderEntry> entry = context_.files.FindEntry(file.path);
    if (!entry || (entry->attributes & FileAttribute::kDirectory) != 0) {
      leftOut += "\r\n'" + file.path + (entry ? "' - a folder" : "' - not found");
      continue;
    }
    QListWidget* list = ListOf(file.list);
    if (!Holds(list, file.path)) {
      AddPath(list, file.path);
    }
  }
  if (!leftOut.empty()) {
    context_.ui.MessageBox("Only files can be added to the list; these were left out:" + leftOut,
                           MessageStyle::kExclamation | MessageStyle::kOkOnly, kAppTitle);
  }
}

bool FileProtectionTab::RunOffWindow(BatchProgress& progress, ProgressFeed feed,
                                     const std::function<void(CryptContext&)>& work) {
  const QScopedValueRollback running(running_, true);
  WindowThreadUserInterface ui(context_.ui, *this);
  CryptContext context{ui,       context_.streams, context_.files,
                       progress, context_.strong,  context_.strongCost};
  try {
    const DisabledWindow disabled(context_.ui);
    RunInBackground([&] { work(context); }, std::move(feed), *window());
    return true;
  } catch (const std::exception& error) {
    context_.ui.MessageBox(error.what(), MessageStyle::kExclamation | MessageStyle::kOkOnly,
                           kAppTitle);
    return false;
  }
}

void FileProtectionTab::Browse(QListWidget* list, const std::string& filter) {
  FileDialogArgs args;
  args.FileMustExist = true;
  args.MultiSelect = true;
  args.HideReadOnly = true;
  args.Filter = filter;
  args.FilterIndex = 1;
  args.flags = OpenFlag::kExplorer;
  if (!dialog_.VBGetOpenFileName(args)) {
    return;
  }
  list->clear();
  const std::vector<std::string> pieces = SplitFileList(args.Filename);
  if (pieces.size() == 1) {
    AddPath(list, args.Filename);
    return;
  }
  std::string folder = pieces.front();
  // A root folder already ends with its separator.
  if (!folder.ends_with(kSeparator)) {
    folder += kSeparator;
  }
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    AddPath(list, folder + pieces[i]);
  }
}

bool FileProtectionTab::IsNormalFile(const std::string& path) {
  const auto entry = context_.files.FindEntry(path);
  constexpr uint32_t kNotNormal =
      FileAttribute::kDirectory | FileAttribute::kHidden | FileAttribute::kSystem;
  return entry && (entry->attributes & kNotNormal) == 0;
}

void FileProtectionTab::RunCryptCommand(QListWidget* list, const QCheckBox* samePass,
                                        const CryptCommand& command) {
  if (running_ || list->count() == 0) {
    return;
  }
  const std::vector<QListWidgetItem*> entries = ItemsOf(list);
  std::vector<QListWidgetItem*> taken;
  std::vector<std::string> paths;
  std::string batch;
  for (QListWidgetItem* entry : entries) {
    const std::string path = EntryPath(entry);
    if (IsNormalFile(path)) {
      taken.push_back(entry);
      paths.push_back(path);
      batch += path + '\0';
    }
  }
  if (batch.empty()) {
    return;
  }
  batch.pop_back();
  const bool same = samePass->isChecked();
  BatchProgress progress(MeasureFiles(paths, context_.files));
  int done = -1;
  if (!RunOffWindow(progress,
                    FileBatchFeed(progress, QString("Hushvault - ") + command.title,
                                  QString(command.working) + " the files...", "Stopping..."),
                    [&](CryptContext& context) { done = command.run(context, batch, same); })) {
    return;
  }
  const std::string successLine =
      std::string("Successfully ") + command.done + " " + std::to_string(done) + " file(s).";
  const std::vector<BatchProgress::FileState> states = progress.States();
  const auto notDone =
      static_cast<int>(std::ranges::count_if(states, [](BatchProgress::FileState state) {
        return state != BatchProgress::FileState::kDone;
      }));
  if (done >= 0 && progress.StopRequested() && notDone > 0) {
    // What was done is reported and leaves the list; the rest stays for another run.
    context_.ui.MessageBox((done > 0 ? successLine + "\r\n" : "") + FilesLeftByStop(notDone),
                           MessageStyle::kInformation | MessageStyle::kOkOnly, command.title);
    for (std::size_t i = 0; i < taken.size(); ++i) {
      if (states[i] == BatchProgress::FileState::kDone) {
        delete taken[i];
      }
    }
    return;
  }
  if (done > 0) {
    context_.ui.MessageBox(successLine, MessageStyle::kInformation | MessageStyle::kOkOnly,
                           command.title);
    RemoveEntries(entries);
  } else if (done == 0) {
    context_.ui.MessageBox(std::string("Could not ") + command.failed + " " +
                               std::to_string(entries.size()) + " file(s)!",
                           MessageStyle::kExclamation | MessageStyle::kOkOnly, command.title);
  }
}

void FileProtectionTab::cmdSWipe_Click() {
  if (running_) {
    return;
  }
  const int answer = context_.ui.MessageBox(
      kWipeQuestion, MessageStyle::kQuestion | MessageStyle::kYesNo, kWipeTitle);
  const std::vector<QListWidgetItem*> entries = ItemsOf(lstFileWipe_);
  if (answer != MessageAnswer::kYes || entries.empty()) {
    return;
  }
  std::vector<std::string> paths;
  for (const QListWidgetItem* entry : entries) {
    paths.push_back(EntryPath(entry));
  }
  BatchProgress progress(MeasureFiles(paths, context_.files));
  WipeOutcome outcome;
  // A file half overwritten would be neither kept nor gone: Cancel waits for the file at
  // work, and says so.
  if (!RunOffWindow(progress,
                    FileBatchFeed(progress, "Hushvault - File Wiper", "Wiping the files...",
                                  "Stopping after this file..."),
                    [&](CryptContext& context) {
                      outcome = WipeFiles(paths, context.files, context.progress);
                    })) {
    return;
  }
  context_.ui.MessageBox(outcome.message, outcome.style | MessageStyle::kOkOnly, kWipeTitle);
  // The files never taken on stay for another run.
  const std::vector<BatchProgress::FileState> states = progress.States();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (states[i] != BatchProgress::FileState::kWaiting) {
      delete entries[i];
    }
  }
}

}  // namespace hv
