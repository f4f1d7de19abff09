#include "dialogs/GCommonDialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QRegularExpression>
#include <algorithm>
#include <filesystem>

#include "controls/SystemColor.h"
#include "dialogs/FileFilter.h"
#include "dialogs/LocalFileBytes.h"

namespace hv {
namespace {

// A path's bytes as the dialog shows them.
QString PathText(const std::string& path) {
  return QFile::decodeName(path.c_str());
}

// A Qt name filter for one pair: the description, then its patterns in the parentheses that
// Qt reads them from. "*.*" means every file, as it does on Windows, dotted or not.
QString QtNameFilter(const std::pair<std::string, std::string>& pair) {
  QStringList patterns;
  for (const QString& pattern :
       QString::fromStdString(pair.second).split(QRegularExpression("[; ]"), Qt::SkipEmptyParts)) {
    patterns << (pattern == "*.*" ? QString("*") : pattern);
  }
  return QString::fromStdString(pair.first) + " (" + patterns.join(' ') + ")";
}

std::optional<FileDialogAnswer> ShowFileDialog(const FileDialogRequest& request) {
  QFileDialog dialog(request.owner, QString::fromStdString(request.title),
                     PathText(request.initialFolder));
  dialog.setObjectName("dlgFile");
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (request.save) {
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
  } else if (request.multiSelect) {
    dialog.setFileMode(QFileDialog::ExistingFiles);
  } else {
    dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  }
  // The descriptions already name their patterns.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  QStringList names;
  for (const auto& pair : request.filters) {
    names << QtNameFilter(pair);
  }
  if (!names.isEmpty()) {
    dialog.setNameFilters(names);
    dialog.selectNameFilter(names.value(request.filterIndex, names.front()));
  }
  if (!request.fileName.empty()) {
    dialog.selectFile(PathText(request.fileName));
  }
  dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  FileDialogAnswer answer;
  for (const QUrl& file : dialog.selectedUrls()) {
    answer.files.push_back(LocalFileBytes(file));
  }
  answer.filterIndex =
      std::max<int>(0, static_cast<int>(names.indexOf(dialog.selectedNameFilter())));
  return answer;
}

std::optional<QColor> ShowColorDialog(const QColor& initial, QWidget* owner) {
  const QColor chosen = QColorDialog::getColor(initial, owner);
  return chosen.isValid() ? std::optional(chosen) : std::nullopt;
}

std::optional<QFont> ShowFontDialog(const QFont& initial, QWidget* owner) {
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, initial, owner);
  return ok ? std::optional(chosen) : std::nullopt;
}

// Several files: the folder, then each name, NUL-separated; one file: its full path.
std::string JoinSelection(const std::vector<std::string>& files) {
  if (files.size() == 1) {
    return files.front();
  }
  const std::filesystem::path folder = std::filesystem::path(files.front()).parent_path();
  std::string joined = folder.string();
  for (const std::string& file : files) {
    joined += '\0';
    joined += std::filesystem::path(file).lexically_relative(folder).string();
  }
  return joined;
}

QColor FromColorRef(long color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

}  // namespace

GCommonDialog::GCommonDialog()
    : GCommonDialog(Dialogs{ShowFileDialog, ShowColorDialog, ShowFontDialog}) {}

GCommonDialog::GCommonDialog(Dialogs dialogs) : dialogs_(std::move(dialogs)) {}

bool GCommonDialog::VBGetOpenFileName(FileDialogArgs& args) {
  return RunFileDialog(args, false);
}

bool GCommonDialog::VBGetSaveFileName(FileDialogArgs& args) {
  return RunFileDialog(args, true);
}

bool GCommonDialog::RunFileDialog(FileDialogArgs& args, bool save) {
  apiReturn_ = 0;
  extendedError_ = 0;
  // No hook or template is ever installed.
  long flags = args.flags & ~(OpenFlag::kEnableHook | OpenFlag::kEnableTemplate);
  if (save) {
    flags |= OpenFlag::kHideReadOnly | (args.OverWritePrompt ? OpenFlag::kOverwritePrompt : 0);
  } else {
    flags |= (args.MultiSelect ? OpenFlag::kAllowMultiSelect : 0) |
             (args.ReadOnly ? OpenFlag::kReadOnly : 0) |
             (args.HideReadOnly ? OpenFlag::kHideReadOnly : 0) |
             (args.FileMustExist ? OpenFlag::kFileMustExist : 0);
  }
  const std::string converted = ConvertFilter(args.Filter);

  FileDialogRequest request;
  request.save = save;
  request.owner = args.Owner;
  request.title = args.DlgTitle;
  request.initialFolder = args.InitDir;
  request.fileName = args.Filename;
  request.filters = FilterPairs(converted);
  request.filterIndex = static_cast<int>(args.FilterIndex) - 1;
  request.multiSelect = !save && args.MultiSelect;
  request.fileMustExist = !save && args.FileMustExist;
  request.overwritePrompt = save && args.OverWritePrompt;
  request.defaultExtension = args.DefaultExt;

  const std::optional<FileDialogAnswer> answer = dialogs_.file(request);
  if (!answer || answer->files.empty()) {
    args.Filename.clear();
    args.FileTitle.clear();
    args.flags = 0;
    args.FilterIndex = save ? 0 : -1;
    args.Filter.clear();
    return false;
  }
  apiReturn_ = 1;
  if (request.multiSelect) {
    args.Filename = JoinSelection(answer->files);
  } else {
    args.Filename = answer->files.front();
    args.FileTitle = VBGetFileTitle(args.Filename);
  }
  args.flags = flags;
  args.FilterIndex = answer->filterIndex + 1;
  args.Filter = FilterPair(converted, args.FilterIndex);
  if (!save && (flags & OpenFlag::kReadOnly) != 0) {
    args.ReadOnly = true;
  }
  return true;
}

std::string GCommonDialog::VBGetFileTitle(const std::string& sFile) {
  const std::size_t separator = sFile.find_last_of("/\\");
  return separator == std::string::npos ? sFile : sFile.substr(separator + 1);
}

void GCommonDialog::FillCustomColors() {
  if (customColorsReady_) {
    return;
  }
  for (std::size_t i = 0; i < customColors_.size(); ++i) {
    const QColor system =
        ResolveColor(kSystemColorFlag | static_cast<OleColor>(i), QApplication::palette());
    customColors_[i] = static_cast<long>(PlainColor(system));
  }
  customColorsReady_ = true;
}

long GCommonDialog::CustomColor(int i) {
  FillCustomColors();
  return i >= 0 && i < static_cast<int>(customColors_.size()) ? customColors_[i] : -1;
}

void GCommonDialog::SetCustomColor(int i, long iValue) {
  FillCustomColors();
  if (i >= 0 && i < static_cast<int>(customColors_.size())) {
    customColors_[i] = iValue;
  }
}

bool GCommonDialog::VBChooseColor(long& Color, QWidget* Owner) {
  FillCustomColors();
  for (int i = 0; i < static_cast<int>(customColors_.size()); ++i) {
    QColorDialog::setCustomColor(i, FromColorRef(customColors_[i]));
  }
  const std::optional<QColor> chosen = dialogs_.color(FromColorRef(Color), Owner);
  // The dialog may have changed the table; keep what the user left in it.
  for (int i = 0; i < static_cast<int>(customColors_.size()); ++i) {
    customColors_[i] = static_cast<long>(PlainColor(QColorDialog::customColor(i)));
  }
  apiReturn_ = chosen ? 1 : 0;
  Color = chosen ? static_cast<long>(PlainColor(*chosen)) : -1;
  return chosen.has_value();
}

bool GCommonDialog::VBChooseFont(QFont& CurFont, QWidget* Owner, int MinSize, int MaxSize) {
  apiReturn_ = 0;
  extendedError_ = 0;
  std::optional<QFont> chosen = dialogs_.font(CurFont, Owner);
  if (!chosen) {
    return false;
  }
  apiReturn_ = 1;
  double size = chosen->pointSizeF();
  if (MinSize > 0) {
    size = std::max<double>(size, MinSize);
  }
  if (MaxSize > 0) {
    size = std::min<double>(size, MaxSize);
  }
  if (size > 0) {
    chosen->setPointSizeF(size);
  }
  CurFont = *chosen;
  return true;
}

}  // namespace hv
