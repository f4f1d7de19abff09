#include "app/FileProtectionTab.h"

#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <filesystem>

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

}  // namespace

FileProtectionTab::FileProtectionTab(CryptContext context, GCommonDialog dialog, QWidget* parent)
    : QWidget(parent),
      context_(context),
      dialog_(std::move(dialog)),
      lstFileEncrypt_(new QListWidget(this)),
      lstFileDecrypt_(new QListWidget(this)),
      lstFileWipe_(new QListWidget(this)),
      chkEncPass_(new QCheckBox("Same Pass", this)),
      chkDecPass_(new QCheckBox("Same Pass", this)) {
  setObjectName("FileProtectionTab");
  lstFileEncrypt_->setObjectName("lstFileEncrypt");
  lstFileDecrypt_->setObjectName("lstFileDecrypt");
  lstFileWipe_->setObjectName("lstFileWipe");
  chkEncPass_->setObjectName("chkEncPass");
  chkDecPass_->setObjectName("chkDecPass");
  // One password for a whole list is what most runs want.
  chkEncPass_->setChecked(true);
  chkDecPass_->setChecked(true);

  auto* layout = new QGridLayout(this);
  const auto addGroup = [&](int group, const char* caption, QListWidget* list, QPushButton* browse,
                            QCheckBox* samePass, QPushButton* command) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(QString("lblCaptions%1").arg(group));
    list->setSelectionMode(QAbstractItemView::NoSelection);
    const int row = group * 2;
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
  };
  auto* encBrowse = Button("cmdEncBrowse", "Browse", this);
  auto* decBrowse = Button("cmdDecBrowse", "Browse", this);
  auto* wipeBrowse = Button("cmdWipeBrowse", "Browse", this);
  auto* encrypt = Button("cmdEncrypt", "Encrypt!", this);
  auto* decrypt = Button("cmdDecrypt", "Decrypt!", this);
  auto* wipe = Button("cmdSWipe", "Wipe Now!", this);
  addGroup(0, "Files to encrypt:", lstFileEncrypt_, encBrowse, chkEncPass_, encrypt);
  addGroup(1, "Files to decrypt:", lstFileDecrypt_, decBrowse, chkDecPass_, decrypt);
  addGroup(2, "Files to wipe:", lstFileWipe_, wipeBrowse, nullptr, wipe);

  connect(encBrowse, &QPushButton::clicked, this, &FileProtectionTab::cmdEncBrowse_Click);
  connect(decBrowse, &QPushButton::clicked, this, &FileProtectionTab::cmdDecBrowse_Click);
  connect(wipeBrowse, &QPushButton::clicked, this, &FileProtectionTab::cmdWipeBrowse_Click);
  connect(encrypt, &QPushButton::clicked, this, &FileProtectionTab::cmdEncrypt_Click);
  connect(decrypt, &QPushButton::clicked, this, &FileProtectionTab::cmdDecrypt_Click);
  connect(wipe, &QPushButton::clicked, this, &FileProtectionTab::cmdSWipe_Click);
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
  RunCryptCommand(lstFileEncrypt_, chkEncPass_, {EncryptFiles, "encrypted", "encrypt", "Encrypt"});
}

void FileProtectionTab::cmdDecrypt_Click() {
  RunCryptCommand(lstFileDecrypt_, chkDecPass_, {DecryptFiles, "decrypted", "decrypt", "Decrypt"});
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
  if (list->count() == 0) {
    return;
  }
  std::string batch;
  for (int i = 0; i < list->count(); ++i) {
    const std::string path = EntryPath(list->item(i));
    if (IsNormalFile(path)) {
      batch += path + '\0';
    }
  }
  if (batch.empty()) {
    return;
  }
  batch.pop_back();
  const int done = command.run(context_, batch, samePass->isChecked());
  if (done > 0) {
    context_.ui.MessageBox(
        std::string("Successfully ") + command.done + " " + std::to_string(done) + " file(s).",
        MessageStyle::kInformation | MessageStyle::kOkOnly, command.title);
    list->clear();
  } else if (done == 0) {
    context_.ui.MessageBox(std::string("Could not ") + command.failed + " " +
                               std::to_string(list->count()) + " file(s)!",
                           MessageStyle::kExclamation | MessageStyle::kOkOnly, command.title);
  }
}

void FileProtectionTab::cmdSWipe_Click() {
  const int answer = context_.ui.MessageBox(
      kWipeQuestion, MessageStyle::kQuestion | MessageStyle::kYesNo, kWipeTitle);
  if (answer != MessageAnswer::kYes || lstFileWipe_->count() == 0) {
    return;
  }
  std::vector<std::string> paths;
  for (int i = 0; i < lstFileWipe_->count(); ++i) {
    paths.push_back(EntryPath(lstFileWipe_->item(i)));
  }
  const WipeOutcome outcome = WipeFiles(paths, context_.files);
  context_.ui.MessageBox(outcome.message, outcome.style | MessageStyle::kOkOnly, kWipeTitle);
  lstFileWipe_->clear();
}

}  // namespace hv
