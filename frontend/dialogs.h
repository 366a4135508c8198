#pragma once
// Every modal dialog and message box of the front-end goes through this one
// interface, so that tests can answer them without a person.

#include <optional>
#include <string>
#include <vector>

#include "frontend/custom_colors.h"
#include "platform/bitmap.h"

namespace quorvel {

struct ColorChoice {
  platform::ColorRef Color = 0;
  CustomSlots Slots;
};

// A file dialog's title and its filter in the form "description|patterns".
struct FileDialogSpec {
  std::string Title;
  std::string Filter;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // Opens fully with `initial`; the choice when confirmed, nullopt when cancelled.
  virtual std::optional<ColorChoice> ChooseColor(const ColorChoice& initial) = 0;
  // Several existing files at once; empty when cancelled.
  virtual std::vector<std::string> OpenFiles(const FileDialogSpec& spec) = 0;
  // An existing folder, no way to make a new one; nullopt when cancelled.
  virtual std::optional<std::string> ChooseFolder(const std::string& title,
                                                  const std::string& initial_folder) = 0;
  virtual void ShowMessage(const std::string& text) = 0;
  // True for Yes.
  virtual bool Confirm(const std::string& title, const std::string& text) = 0;
  // An error that no handler caught.
  virtual void ShowError(const std::string& text) = 0;
};

}  // namespace quorvel
