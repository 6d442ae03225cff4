// The preview window (`frmgraph`): the plan view of the trace with its extent, scale and level labels,
// the level list with a colour sample, the line-width buttons, the drawing progress, and the 3D view
// with its zoom, rotate and pan track modes. The drawing itself is the logic's draw_plan; this window
// shows the picture and passes the operator's mouse and keys on.
#pragma once

#include <QImage>
#include <QWidget>

#include "core/palette.h"
#include "preview/plan.h"
#include "preview/view3d.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTimer;

namespace vireo {

struct Context;

// The plan picture (`picgraph`): shows the raster and reports the mouse in picture pixels.
class PlanView : public QWidget {
  Q_OBJECT
 public:
  explicit PlanView(QWidget* parent = nullptr);
  void set_picture(const QImage& picture);
  // The picture fills the view but for a margin, so the thickest line at the edge stays whole.
  QSize picture_size() const;
  static constexpr int kPlanMargin = 4;

 signals:
  void mouse_moved(QPointF position);
  void clicked(QPointF position);
  void resized();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QImage picture_;
};

// The 3D view: the trace's points in mm, projected with QPainter; a drag zooms, turns or moves it
// according to the track mode.
class TraceView3d : public QWidget {
  Q_OBJECT
 public:
  explicit TraceView3d(QWidget* parent = nullptr);
  void set_points(std::vector<Point3> points);
  View3d& view() { return view_; }
  const std::vector<Point3>& points() const { return points_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  std::vector<Point3> points_;
  View3d view_;
  QPointF last_mouse_;
};

class PreviewWindow : public QWidget {
  Q_OBJECT
 public:
  // Colours of the active track-mode button and of the 2D/3D button while the 3D view is shown.
  static constexpr Rgb kActiveMode = colour::kSlowButton;
  static constexpr Rgb kShowing3d = colour::kFastButton;

  // Opens over the context's trace; the plan is drawn once the window is shown and laid out.
  explicit PreviewWindow(Context& context, QWidget* parent = nullptr);

  // Redraws everything from the trace with the current line width.
  void draw_plan();

  int line_width() const { return line_width_; }
  const PlanDrawing& drawing() const { return drawing_; }
  const QImage& picture() const { return picture_; }
  PlanView* plan_view() const { return plan_; }
  TraceView3d* view3d() const { return view3d_; }
  QListWidget* level_list() const { return levels_; }
  QLabel* colour_sample() const { return colour_; }
  QPushButton* width_button(int width) const { return width_buttons_[width - 1]; }
  QPushButton* toggle_3d() const { return visua3d_; }
  QPushButton* mode_button(TrackMode mode) const;
  QProgressBar* progress() const { return progress_; }
  // The label texts, in their order on the window.
  QStringList label_texts() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void set_line_width(int width);
  void set_track_mode(TrackMode mode);
  void toggle_view();
  void show_level(int row);
  void show_mouse(QPointF position);
  void record(QPointF position);

  Context& context_;
  bool with_3d_;
  int line_width_;
  bool drawing_now_ = false;
  bool close_pending_ = false;  // closed while drawing: the drawing stops, then the window closes
  bool drawn_ = false;
  PlanDrawing drawing_;
  QImage picture_;

  PlanView* plan_;
  TraceView3d* view3d_;
  QStackedWidget* views_;
  QTimer* redraw_;  // a resized plan view is drawn again once the resizing settles
  QListWidget* levels_;
  QLabel* colour_;
  QProgressBar* progress_;
  QPushButton* width_buttons_[4];
  QPushButton* visua3d_;
  QPushButton* zoom_button_;
  QPushButton* rot_button_;
  QPushButton* pan_button_;
  QLabel* extent_labels_[7];
  QLabel* level_count_;
  QLabel* z_min_;
  QLabel* z_max_;
};

}  // namespace vireo
