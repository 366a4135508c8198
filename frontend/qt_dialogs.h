#pragma once
// The dialogs a person answers: Qt's own.

#include <QString>

#include "frontend/dialogs.h"

namespace quorvel {

class QtDialogs : public Dialogs {
 public:
  // Keeps Qt's dialogs from writing a configuration file of Qt's own.
  QtDialogs();

  std::optional<ColorChoice> ChooseColor(const ColorChoice& initial) override;
  std::vector<std::string> OpenFiles(const FileDialogSpec& spec) override;
  std::optional<std::string> ChooseFolder(const std::string& title,
                                          const std::string& initial_folder) override;
  void ShowMessage(const std::string& text) override;
  bool Confirm(const std::string& title, const std::string& text) override;
  void ShowError(const std::string& text) override;
};

// "JPEG (*.JPG;*.JPEG)|*.JPG;*.JPEG" as a Qt name filter whose patterns match
// any letter case: "JPEG (*.JPG;*.JPEG) (*.[jJ][pP][gG] *.[jJ][pP][eE][gG])".
QString QtNameFilter(const std::string& filter);

}  // namespace quorvel
