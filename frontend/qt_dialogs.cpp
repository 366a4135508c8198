#include "frontend/qt_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QSettings>
#include <QStringList>
#include <QToolButton>

#include "frontend/qt_convert.h"

namespace quorvel {

namespace {

// Qt has no empty custom colour; an unset slot shows as this and stays unset
// unless the user puts another colour there.
const QColor kUnsetPlaceholder = Qt::white;

void PutSlots(const CustomSlots& slot_values) {
  for (std::size_t i = 0; i < slot_values.size(); ++i)
    QColorDialog::setCustomColor(static_cast<int>(i),
                                 slot_values[i] ? ToQColor(*slot_values[i]) : kUnsetPlaceholder);
}

CustomSlots TakeSlots(const CustomSlots& before) {
  CustomSlots after;
  for (std::size_t i = 0; i < after.size(); ++i) {
    const QColor shown = QColorDialog::customColor(static_cast<int>(i));
    const bool left_as_unset = !before[i] && shown.rgb() == kUnsetPlaceholder.rgb();
    if (!left_as_unset) after[i] = ToColorRef(shown);
  }
  return after;
}

QString CaseFreePattern(const QString& pattern) {
  QString result;
  for (QChar c : pattern) {
    if (c.isLetter())
      result += QStringLiteral("[%1%2]").arg(c.toLower(), c.toUpper());
    else
      result += c;
  }
  return result;
}

}  // namespace

QString QtNameFilter(const std::string& filter) {
  const QString text = ToQString(filter);
  const auto bar = text.indexOf('|');
  if (bar < 0) return text;
  QStringList patterns;
  for (const QString& pattern : text.mid(bar + 1).split(';', Qt::SkipEmptyParts))
    patterns << CaseFreePattern(pattern.trimmed());
  return text.left(bar) + " (" + patterns.join(' ') + ")";
}

// The colour dialog's custom colours and the file dialog's history go through
// QSettings into a "QtProject" file of the user's, although the settings file is
// this program's only configuration (and hands each colour dialog its slots).
// Under "/dev/null" no file can be made, whoever runs the program.
QtDialogs::QtDialogs() {
  for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
    QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null"));
}

std::optional<ColorChoice> QtDialogs::ChooseColor(const ColorChoice& initial) {
  PutSlots(initial.Slots);
  QColorDialog dialog(ToQColor(initial.Color), QApplication::activeWindow());
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return ColorChoice{ToColorRef(dialog.selectedColor()), TakeSlots(initial.Slots)};
}

std::vector<std::string> QtDialogs::OpenFiles(const FileDialogSpec& spec) {
  QFileDialog dialog(QApplication::activeWindow(), ToQString(spec.Title));
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setNameFilter(QtNameFilter(spec.Filter));
  // The user reads the filter as designed; the letter-case patterns stay behind it.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  std::vector<std::string> files;
  if (dialog.exec() != QDialog::Accepted) return files;
  for (const QString& file : dialog.selectedFiles()) files.push_back(file.toStdString());
  return files;
}

std::optional<std::string> QtDialogs::ChooseFolder(const std::string& title,
                                                   const std::string& initial_folder) {
  QFileDialog dialog(QApplication::activeWindow(), ToQString(title), ToQString(initial_folder));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog |
                    QFileDialog::ReadOnly);
  // Read-only only greys the button out; only existing folders are offered.
  if (auto* new_folder = dialog.findChild<QToolButton*>(QStringLiteral("newFolderButton")))
    new_folder->hide();
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

void QtDialogs::ShowMessage(const std::string& text) {
  QMessageBox::information(QApplication::activeWindow(), QApplication::applicationName(),
                           ToQString(text));
}

bool QtDialogs::Confirm(const std::string& title, const std::string& text) {
  return QMessageBox::question(QApplication::activeWindow(), ToQString(title), ToQString(text),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void QtDialogs::ShowError(const std::string& text) {
  QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(),
                        ToQString(text));
}

}  // namespace quorvel
