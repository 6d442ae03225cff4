#include "app/gui/find_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/ui_context.h"
#include "app/find.h"
#include "app/gui/localise.h"
#include "app/string_ids.h"

namespace vireo {

FindWindow::FindWindow(UiContext& context, std::function<TextView*()> document, QWidget* parent)
    : QDialog(parent),
      context_(context),
      document_(std::move(document)),
      text_(new QLineEdit(this)),
      whole_word_(new QCheckBox(QString::number(sid::kFindWholeWord), this)),
      match_case_(new QCheckBox(QString::number(sid::kFindMatchCase), this)),
      next_(new QPushButton(QString::number(sid::kFindNext), this)),
      cancel_(new QPushButton(QString::number(sid::kFindCancel), this)),
      not_found_(new QLabel(this)),
      line_caption_(new QLabel(QString::number(sid::kFindLine), this)),
      line_(new QLabel(this)) {
  setObjectName(QStringLiteral("frmfind"));
  setWindowTitle(QString::number(sid::kFindCaption));
  text_->setObjectName(QStringLiteral("Text_cerca"));
  whole_word_->setObjectName(QStringLiteral("Check_intere"));
  match_case_->setObjectName(QStringLiteral("Check_maiuscole"));
  next_->setObjectName(QStringLiteral("key_successivo"));
  next_->setDefault(true);
  cancel_->setObjectName(QStringLiteral("key_annulla"));
  not_found_->setObjectName(QStringLiteral("label_non_trovato"));
  line_->setObjectName(QStringLiteral("label_riga"));
  line_->setMinimumWidth(60);

  auto* grid = new QGridLayout(this);
  grid->addWidget(text_, 0, 0, 1, 3);
  grid->addWidget(next_, 0, 3);
  grid->addWidget(whole_word_, 1, 0, 1, 2);
  grid->addWidget(cancel_, 1, 3);
  grid->addWidget(match_case_, 2, 0, 1, 2);
  grid->addWidget(not_found_, 3, 0);
  grid->addWidget(line_caption_, 3, 1, Qt::AlignRight);
  grid->addWidget(line_, 3, 2);

  connect(whole_word_, &QCheckBox::toggled, this, [this](bool on) { whole_word_option_ = on ? kFindWholeWord : 0; });
  connect(match_case_, &QCheckBox::toggled, this, [this](bool on) { match_case_option_ = on ? kFindMatchCase : 0; });
  connect(text_, &QLineEdit::textChanged, this, [this] { restart_find(context_); });
  connect(next_, &QPushButton::clicked, this, &FindWindow::find_next);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::close);

  // Loading clears both options, then localises the texts.
  whole_word_->setChecked(false);
  match_case_->setChecked(false);
  localise_window(this, context_.strings, context_.language_offset);
}

void FindWindow::find_next() {
  TextView* view = document_ ? document_() : nullptr;
  const QByteArray what = text_->text().toLatin1();
  FindOutcome outcome;
  if (view) outcome = vireo::find_next(context_, *view, std::string_view(what.constData(), static_cast<std::size_t>(what.size())), options());
  else restart_find(context_);
  if (!outcome.found) {
    not_found_->setText(QStringLiteral("non trovato"));
    return;
  }
  not_found_->clear();
  line_->setText(QString::number(outcome.line));
}

void FindWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    emit escape_pressed();
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_F3) {
    find_next();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace vireo
