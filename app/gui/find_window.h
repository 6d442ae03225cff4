// The find window `frmfind`: searches the document window's text from the search start, with the
// whole-word and match-case options; reports "non trovato" or the line of the match.
#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vireo {

struct UiContext;
class TextView;

class FindWindow : public QDialog {
  Q_OBJECT
 public:
  // `document` gives the document window's text view (nullptr when none is open) and focuses it.
  FindWindow(UiContext& context, std::function<TextView*()> document, QWidget* parent = nullptr);

  QLineEdit* search_text() const { return text_; }
  QCheckBox* whole_word() const { return whole_word_; }
  QCheckBox* match_case() const { return match_case_; }
  QLabel* not_found_label() const { return not_found_; }
  QLabel* line_label() const { return line_; }
  int options() const { return whole_word_option_ | match_case_option_; }

 public slots:
  void find_next();

 signals:
  void escape_pressed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  UiContext& context_;
  std::function<TextView*()> document_;
  QLineEdit* text_;
  QCheckBox* whole_word_;
  QCheckBox* match_case_;
  QPushButton* next_;
  QPushButton* cancel_;
  QLabel* not_found_;
  QLabel* line_caption_;
  QLabel* line_;
  int whole_word_option_ = 0;
  int match_case_option_ = 0;
};

}  // namespace vireo
