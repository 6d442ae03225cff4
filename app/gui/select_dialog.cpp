#include "app/gui/select_dialog.h"

#include <algorithm>

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/ui_context.h"
#include "app/gui/document_windows.h"
#include "app/gui/localise.h"
#include "app/string_ids.h"

namespace vireo {

const FileTypeChoice kFileTypeChoices[7] = {
    {"cmd_gc", "GCODE (ISO)", ".gc", sid::kSelectGcode},
    {"cmd_dxf", "DXF", ".dxf", sid::kSelectDxf},
    {"cmd_excellon", "EXCELLON", ".drl", sid::kSelectExcellon},
    {"cmd_gerber", "GERBER", ".gbr", sid::kSelectGerber},
    {"cmd_hpgl", "HPGL", ".plt", sid::kSelectHpgl},
    {"cmd_modela", "ROLAND", ".rml", sid::kSelectRoland},
    {"cmd_annulla", "1138", "exit", 0},
};

SelectDialog::SelectDialog(UiContext& context, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frm_select"));
  setWindowTitle(QString::number(sid::kSelectCaption));
  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(QString::number(sid::kSelectLabel), this), 0, 0, 1, 2);
  auto* unknown = new QLabel(QString::number(sid::kSelectUnknown), this);
  unknown->setWordWrap(true);
  grid->addWidget(unknown, 1, 0, 1, 2);
  int index = 0;
  for (const FileTypeChoice& choice : kFileTypeChoices) {
    auto* button = new QPushButton(QString::fromLatin1(choice.caption), this);
    button->setObjectName(QString::fromLatin1(choice.name));
    if (choice.hint) button->setToolTip(QString::number(choice.hint));
    button->setAutoDefault(false);
    const int row = 2 + index / 2, column = index % 2;
    if (index == 6) grid->addWidget(button, 2 + 3, 1);
    else grid->addWidget(button, row, column);
    connect(button, &QPushButton::clicked, this, [this, extension = std::string(choice.extension)] {
      choice_ = extension;
      accept();
    });
    ++index;
  }
  localise_window(this, context.strings, context.language_offset);
  // 4500 x 3500 twips, 3000 twips from the left and 2000 from the top of its owner; wider and taller
  // where the texts of the language need it, so neither the title nor a label is cut.
  const QPoint origin = parent ? parent->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
  const int title_width = fontMetrics().horizontalAdvance(windowTitle()) + 120;
  const QSize size(std::max({twips_to_pixels(this, 4500), title_width, sizeHint().width()}),
                   std::max(twips_to_pixels(this, 3500), sizeHint().height()));
  setGeometry(origin.x() + twips_to_pixels(this, 3000), origin.y() + twips_to_pixels(this, 2000), size.width(),
              size.height());
}

std::string run_select_dialog(UiContext& context, QWidget* parent) {
  SelectDialog dialog(context, parent);
  dialog.exec();
  return dialog.choice();
}

}  // namespace vireo
