#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "app/OpenRequest.h"
#include "crypt/modCrypt.h"
#include "dialogs/GCommonDialog.h"

class QCheckBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace hv {

class BatchProgress;
struct ProgressFeed;

// The File Protection tab: lists of files to encrypt, decrypt and wipe, each filled by its
// Browse button, by files dropped onto it or handed to the program, and processed whole by
// its command. The commands work off the window's thread, with progress and Cancel.
class FileProtectionTab : public QWidget {
  Q_OBJECT

 public:
  // The strong-encryption box starts as the stored setting says.
  FileProtectionTab(CryptContext context, GCommonDialog dialog, QWidget* parent = nullptr);

  // Adds files to the end of their lists; a file a list holds already is not added again.
  // Folders and names that lead nowhere are left out, and the user is told which.
  void AddFiles(const std::vector<FileToOpen>& files);

  // A command is at work: the lists are not to be changed by anything but its end.
  bool Running() const { return running_; }

 signals:
  // The user changed the strong-encryption box; the window stores it.
  void StrongEncryptionChanged(bool on);

 private:
  // Which batch operation a list runs and the words of its report and progress.
  struct CryptCommand {
    int (*run)(CryptContext&, const std::string&, bool);
    const char* done;     // "encrypted"
    const char* failed;   // "encrypt"
    const char* title;    // "Encrypt"
    const char* working;  // "Encrypting"
  };

  void cmdEncBrowse_Click();
  void cmdDecBrowse_Click();
  void cmdWipeBrowse_Click();
  void cmdEncrypt_Click();
  void cmdDecrypt_Click();
  void cmdSWipe_Click();

  void Browse(QListWidget* list, const std::string& filter);
  void RunCryptCommand(QListWidget* list, const QCheckBox* samePass, const CryptCommand& command);
  bool IsNormalFile(const std::string& path);
  QListWidget* ListOf(FileList list) const;
  // Runs work on a thread of its own with the main window disabled, its questions asked
  // on the window's thread and its progress shown from feed. False when it failed, which
  // the user has been told.
  bool RunOffWindow(BatchProgress& progress, ProgressFeed feed,
                    const std::function<void(CryptContext&)>& work);

  CryptContext context_;
  GCommonDialog dialog_;
  QListWidget* lstFileEncrypt_;
  QListWidget* lstFileDecrypt_;
  QListWidget* lstFileWipe_;
  QCheckBox* chkEncPass_;
  QCheckBox* chkDecPass_;
  QCheckBox* chkStrong_;
  bool running_ = false;
};

}  // namespace hv
