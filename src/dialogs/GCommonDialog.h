#pragma once

#include <QColor>
#include <QFont>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace hv {

// Dialog flags the program's callers pass and get back, as the platform numbers them.
namespace OpenFlag {
constexpr long kReadOnly = 0x1;
constexpr long kOverwritePrompt = 0x2;
constexpr long kHideReadOnly = 0x4;
constexpr long kEnableHook = 0x20;
constexpr long kEnableTemplate = 0x40;
constexpr long kAllowMultiSelect = 0x200;
constexpr long kFileMustExist = 0x1000;
constexpr long kExplorer = 0x80000;
}  // namespace OpenFlag

// What the open or save dialog is asked to show.
struct FileDialogRequest {
  bool save = false;
  QWidget* owner = nullptr;
  std::string title;
  std::string initialFolder;
  std::string fileName;
  std::vector<std::pair<std::string, std::string>> filters;  // description, pattern
  int filterIndex = 0;                                       // 0-based, into filters
  bool multiSelect = false;
  bool fileMustExist = false;
  bool overwritePrompt = false;
  std::string defaultExtension;
};

// What the user chose: full paths (all in one folder) and the filter left selected.
struct FileDialogAnswer {
  std::vector<std::string> files;
  int filterIndex = 0;
};

// The arguments of VBGetOpenFileName and VBGetSaveFileName, read in and written back as the
// platform dialog's request record would be. Owner nullptr means no owner window.
struct FileDialogArgs {
  std::string Filename;
  std::string FileTitle;
  bool FileMustExist = false;
  bool MultiSelect = false;
  bool ReadOnly = false;
  bool HideReadOnly = false;
  bool OverWritePrompt = false;  // Save only
  std::string Filter;
  long FilterIndex = 1;
  std::string InitDir;
  std::string DlgTitle;
  std::string DefaultExt;
  QWidget* Owner = nullptr;
  long flags = 0;
};

// The common dialogs as plain calls: each member shows its modal dialog and hands the
// user's choice back through its arguments; the result says whether the user confirmed.
class GCommonDialog {
 public:
  // The modal dialogs themselves; tests put scripted ones in their place.
  struct Dialogs {
    std::function<std::optional<FileDialogAnswer>(const FileDialogRequest&)> file;
    std::function<std::optional<QColor>(const QColor& initial, QWidget* owner)> color;
    std::function<std::optional<QFont>(const QFont& initial, QWidget* owner)> font;
  };

  GCommonDialog();
  explicit GCommonDialog(Dialogs dialogs);

  // The return value of the last dialog: 1 confirmed, 0 cancelled.
  long APIReturn() const { return apiReturn_; }
  // The dialog's extended error after a failure; Qt's dialogs report none, so 0.
  long ExtendedError() const { return extendedError_; }

  bool VBGetOpenFileName(FileDialogArgs& args);
  bool VBGetSaveFileName(FileDialogArgs& args);

  // The name of a file without its folder; empty when sFile names no file.
  static std::string VBGetFileTitle(const std::string& sFile);

  // Colours are 0x00BBGGRR; a cancelled dialog sets Color to -1.
  bool VBChooseColor(long& Color, QWidget* Owner = nullptr);
  // Entry i (0 to 15) of the custom-colour table; -1 for any other index.
  long CustomColor(int i);
  void SetCustomColor(int i, long iValue);

  // MinSize and MaxSize (points, 0 = no limit) bound the chosen size.
  bool VBChooseFont(QFont& CurFont, QWidget* Owner = nullptr, int MinSize = 0, int MaxSize = 0);

 private:
  bool RunFileDialog(FileDialogArgs& args, bool save);
  void FillCustomColors();

  Dialogs dialogs_;
  long apiReturn_ = 0;
  long extendedError_ = 0;
  std::array<long, 16> customColors_{};
  bool customColorsReady_ = false;
};

}  // namespace hv
