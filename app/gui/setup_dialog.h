// The setup dialog `frmsetup`: one control per slot of the settings record, named as its slot
// ("z_superf", "xatc[2]"), on tabs for the machine link, Z and feeds, tools, the tool changer, the
// sensors, the six formats, axes and corrections, and the display. It checks its fields every 500 ms,
// colours wrong ones and writes the setup file; its rules are app/setup_dialog_rules.h and its files
// app/setup_form.h.
#pragma once

#include <QDialog>
#include <array>
#include <functional>

#include "app/setup_form.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QTabWidget;
class QTimer;

namespace vireo {

struct UiContext;

class SetupDialog : public QDialog {
  Q_OBJECT
 public:
  // Opening: localised, then the setup file read into the controls (a missing one is written first).
  explicit SetupDialog(UiContext& context, QWidget* parent = nullptr);

  // True once the operator saved (OK, Apply, Save As) or loaded another setup file.
  bool saved() const { return saved_; }

  // The control of a slot (a check box, list, text box, or the group of an option slot), or nullptr
  // for the slots the dialog does not show (160 to 179).
  QWidget* control(int slot) const { return controls_.at(static_cast<std::size_t>(slot)); }
  QLineEdit* last_pass() const { return last_pass_; }
  QLabel* error_label() const { return errors_; }
  QTabWidget* tabs() const { return tabs_; }
  const SetupForm& form() const { return form_; }

  // The periodic field check, run now.
  void check_fields();

  // File dialogs of "load setup" and "Save As": title, filter, starting directory; an empty answer is
  // a cancel. Tests replace them.
  struct FileDialogs {
    std::function<QString(const QString&, const QString&, const QString&)> open;
    std::function<QString(const QString&, const QString&, const QString&)> save;
  };
  FileDialogs dialogs;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* build_machine_page();
  QWidget* build_z_page();
  QWidget* build_tools_page();
  QWidget* build_changer_page();
  QWidget* build_sensor_page();
  QWidget* build_formats_page();
  QWidget* build_format_page(OriginFormat format);
  QWidget* build_axes_page();
  QWidget* build_display_page();
  QWidget* build_buttons();

  // A control for a slot, registered and named as the slot; `hint` is the string id of its tool tip.
  QWidget* make(Slot slot, int hint, int element = 0);
  QWidget* make_option_group(Slot slot, int title, int hint);

  void fill_controls();                  // the form's texts into the controls
  void read_controls();                  // the controls into the form's texts
  void read_controls(SetupTexts& into) const;
  SetupTexts texts_now() const;          // the form's texts as the controls show them now
  void write_control(int slot);          // one text into its control
  void apply_pen_rule();
  void colour_pen_labels();
  void update_auto_tc_caption();
  void run_pass_calculator();
  void take_last_pass();
  void tool_option_clicked(Slot slot);
  void origin_clicked(OriginFormat format, OriginButton button);
  void display_colour_chosen();
  void ask_description_hint(int index);
  bool save();
  void load_setup();
  void save_as();
  void show_error(const std::string& text);

  UiContext& context_;
  SetupForm form_;
  bool saved_ = false;
  std::array<QWidget*, kSlotCount> controls_{};
  std::array<QButtonGroup*, 2> options_{};  // opt_drl, opt_gbr
  std::array<QLabel*, 8> pen_labels_{};
  std::array<QLabel*, 6> rotary_labels_{};  // speed and steps labels of A, B, C
  QLineEdit* last_pass_ = nullptr;
  QLineEdit* free_location_ = nullptr;
  QLabel* errors_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QTimer* check_timer_ = nullptr;
};

// Shows the dialog modally over `parent`; true when the operator saved in it (see SetupDialog::saved).
bool run_setup_dialog(UiContext& context, QWidget* parent);

}  // namespace vireo
