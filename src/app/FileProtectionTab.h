#pragma once

#include <QWidget>
#include <string>

#include "crypt/modCrypt.h"
#include "dialogs/GCommonDialog.h"

class QCheckBox;
class QListWidget;
class QPushButton;

namespace hv {

// The File Protection tab: lists of files to encrypt, decrypt and wipe, each filled by its
// Browse button and processed whole by its command.
class FileProtectionTab : public QWidget {
  Q_OBJECT

 public:
  // The strong-encryption box starts as the stored setting says.
  FileProtectionTab(CryptContext context, GCommonDialog dialog, QWidget* parent = nullptr);

 signals:
  // The user changed the strong-encryption box; the window stores it.
  void StrongEncryptionChanged(bool on);

 private:
  // Which batch operation a list runs and the words of its report.
  struct CryptCommand {
    int (*run)(CryptContext&, const std::string&, bool);
    const char* done;    // "encrypted"
    const char* failed;  // "encrypt"
    const char* title;   // "Encrypt"
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

  CryptContext context_;
  GCommonDialog dialog_;
  QListWidget* lstFileEncrypt_;
  QListWidget* lstFileDecrypt_;
  QListWidget* lstFileWipe_;
  QCheckBox* chkEncPass_;
  QCheckBox* chkDecPass_;
  QCheckBox* chkStrong_;
};

}  // namespace hv
