// The file-type selection dialog `frm_select`: shown when a document's extension names no known
// format; each of its buttons names the format to read the file as, "annulla" gives up.
#pragma once

#include <QDialog>
#include <string>

namespace vireo {

struct UiContext;

// The dialog's buttons: object name, caption, the extension chosen, the tool tip's string id.
struct FileTypeChoice {
  const char* name;
  const char* caption;
  const char* extension;
  int hint;
};
extern const FileTypeChoice kFileTypeChoices[7];

class SelectDialog : public QDialog {
  Q_OBJECT
 public:
  explicit SelectDialog(UiContext& context, QWidget* parent = nullptr);

  // The extension the operator chose (".gc", ".dxf", ".drl", ".gbr", ".plt", ".rml"), "exit" for
  // "annulla", or "" when the dialog was closed another way.
  const std::string& choice() const { return choice_; }

 private:
  std::string choice_;
};

// Shows the dialog modally and returns its choice.
std::string run_select_dialog(UiContext& context, QWidget* parent);

}  // namespace vireo
