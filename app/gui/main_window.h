// The main window: an MDI frame that holds the document window, the output and auxiliary windows and
// the tool windows.
#pragma once

#include <QMainWindow>

class QMdiArea;

namespace vireo {

struct Context;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(Context& context, QWidget* parent = nullptr);

 private:
  Context& context_;
  QMdiArea* mdi_;
};

}  // namespace vireo
