#include "app/gui/main_window.h"

#include <QMdiArea>

#include "app/context.h"

namespace vireo {

MainWindow::MainWindow(Context& context, QWidget* parent)
    : QMainWindow(parent), context_(context), mdi_(new QMdiArea(this)) {
  setCentralWidget(mdi_);
  setWindowTitle(QStringLiteral("vireo"));
}

}  // namespace vireo
