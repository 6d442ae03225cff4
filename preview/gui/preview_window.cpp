#include "preview/gui/preview_window.h"

#include <QGridLayout>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "core/context.h"
#include "link/job_window.h"

namespace vireo {
namespace {

constexpr int kRedrawDelayMs = 150;
constexpr int kButtonWidth = 26;

QColor to_qcolor(Rgb c) { return QColor(c.r, c.g, c.b); }

void paint_button(QPushButton* button, std::optional<Rgb> colour) {
  QPalette palette = button->palette();
  palette.setColor(QPalette::Button, colour ? to_qcolor(*colour) : button->style()->standardPalette().color(QPalette::Button));
  button->setPalette(palette);
  button->setAutoFillBackground(colour.has_value());
}

QPushButton* small_button(const QString& text, const char* name, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setFixedWidth(kButtonWidth);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

}  // namespace

// --- plan view

PlanView::PlanView(QWidget* parent) : QWidget(parent) {
  setObjectName("picgraph");
  setMouseTracking(true);
  setMinimumSize(120, 80);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PlanView::set_picture(const QImage& picture) {
  picture_ = picture;
  update();
}

QSize PlanView::picture_size() const {
  return QSize(std::max(1, width() - 2 * kPlanMargin), std::max(1, height() - 2 * kPlanMargin));
}

void PlanView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), to_qcolor(kPlanBackground));
  painter.drawImage(kPlanMargin, kPlanMargin, picture_);
}

// Positions are the picture's, inside the margin.
void PlanView::mouseMoveEvent(QMouseEvent* event) {
  emit mouse_moved(event->position() - QPointF(kPlanMargin, kPlanMargin));
}

void PlanView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit clicked(event->position() - QPointF(kPlanMargin, kPlanMargin));
}

void PlanView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  emit resized();
}

// --- 3D view

TraceView3d::TraceView3d(QWidget* parent) : QWidget(parent) {
  setObjectName("NTGraph3D1");
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TraceView3d::set_points(std::vector<Point3> points) {
  points_ = std::move(points);
  view_.reset();
  update();
}

void TraceView3d::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  if (points_.empty()) return;
  // The axes from the origin, a fifth of the path's largest extent long, go through the same
  // projection as the path: X red, Y green, Z blue.
  double extent = 0;
  for (const Point3& p : points_) extent = std::max({extent, std::abs(p.x), std::abs(p.y), std::abs(p.z)});
  const double axis = extent > 0 ? extent / 5 : 1;
  std::vector<Point3> all = points_;
  all.push_back({0, 0, 0});
  all.push_back({axis, 0, 0});
  all.push_back({0, axis, 0});
  all.push_back({0, 0, axis});
  const std::vector<ScreenPoint> screen = view_.project(all, width(), height());
  if (screen.size() != all.size()) return;
  const std::size_t path = points_.size();
  QPolygonF line;
  line.reserve(static_cast<qsizetype>(path));
  for (std::size_t i = 0; i < path; ++i) line.append(QPointF(screen[i].x, screen[i].y));
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(to_qcolor(palette_colour(1)), 0));
  painter.drawPolyline(line);
  const QPointF origin(screen[path].x, screen[path].y);
  const QColor colours[] = {Qt::red, QColor(0, 150, 0), Qt::blue};
  const char* names[] = {"X", "Y", "Z"};
  for (int i = 0; i < 3; ++i) {
    const QPointF end(screen[path + 1 + i].x, screen[path + 1 + i].y);
    painter.setPen(QPen(colours[i], 2));
    painter.drawLine(origin, end);
    painter.drawText(end + QPointF(3, -3), QString::fromLatin1(names[i]));
  }
}

void TraceView3d::mousePressEvent(QMouseEvent* event) { last_mouse_ = event->position(); }

void TraceView3d::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  const QPointF step = event->position() - last_mouse_;
  last_mouse_ = event->position();
  view_.drag(step.x(), step.y());
  update();
}

// --- window

PreviewWindow::PreviewWindow(Context& context, QWidget* parent)
    : QWidget(parent), context_(context), with_3d_(context.settings.on(Slot::Grafica3D)),
      line_width_(initial_line_width(context.channel.document_extension)) {
  setObjectName("frmgraph");
  setAttribute(Qt::WA_DeleteOnClose);

  // Extents in two rows (X above Y: minimum, maximum, size); the scale beside them.
  auto* top = new QGridLayout;
  top->setHorizontalSpacing(8);
  top->setVerticalSpacing(0);
  for (QLabel*& label : extent_labels_) label = new QLabel(this);
  const int cells[][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 2}, {1, 2}, {0, 3}};  // row, column
  for (int i = 0; i < 7; ++i) top->addWidget(extent_labels_[i], cells[i][0], cells[i][1]);
  top->setColumnStretch(4, 1);

  plan_ = new PlanView(this);
  view3d_ = new TraceView3d(this);
  views_ = new QStackedWidget(this);
  views_->addWidget(plan_);
  views_->addWidget(view3d_);

  level_count_ = new QLabel(this);
  levels_ = new QListWidget(this);
  levels_->setObjectName("elencoz");
  levels_->setFixedWidth(4 * kButtonWidth);
  levels_->setMinimumHeight(4 * levels_->fontMetrics().height() + 8);
  colour_ = new QLabel(this);
  colour_->setObjectName("colorz");
  colour_->setAutoFillBackground(true);
  colour_->setAlignment(Qt::AlignCenter);
  z_min_ = new QLabel(this);
  z_max_ = new QLabel(this);

  auto* widths = new QHBoxLayout;
  const char* width_names[] = {"spessore_button1", "spessore_button2", "spessore_button3", "spessore_button4"};
  for (int i = 0; i < 4; ++i) {
    width_buttons_[i] = small_button(QString::number(i + 1), width_names[i], this);
    width_buttons_[i]->setCheckable(true);
    widths->addWidget(width_buttons_[i]);
    connect(width_buttons_[i], &QPushButton::clicked, this, [this, i] { set_line_width(i + 1); });
  }
  auto* modes = new QHBoxLayout;
  zoom_button_ = small_button("Z", "zoom_button", this);
  rot_button_ = small_button("R", "rot_button", this);
  pan_button_ = small_button("P", "pan_button", this);
  zoom_button_->setToolTip("zoom");
  rot_button_->setToolTip("rotate");
  pan_button_->setToolTip("pan");
  for (QPushButton* b : {zoom_button_, rot_button_, pan_button_}) modes->addWidget(b);
  connect(zoom_button_, &QPushButton::clicked, this, [this] { set_track_mode(TrackMode::zoom); });
  connect(rot_button_, &QPushButton::clicked, this, [this] { set_track_mode(TrackMode::rotate); });
  connect(pan_button_, &QPushButton::clicked, this, [this] { set_track_mode(TrackMode::pan); });
  visua3d_ = new QPushButton("3D", this);
  visua3d_->setObjectName("visua3d");
  visua3d_->setFocusPolicy(Qt::NoFocus);
  visua3d_->setEnabled(with_3d_);
  connect(visua3d_, &QPushButton::clicked, this, &PreviewWindow::toggle_view);

  auto* side = new QVBoxLayout;
  side->addWidget(level_count_);
  side->addWidget(levels_, 1);
  side->addWidget(colour_);
  side->addWidget(z_min_);
  side->addWidget(z_max_);
  side->addLayout(widths);
  side->addWidget(visua3d_);
  side->addLayout(modes);

  auto* middle = new QHBoxLayout;
  middle->addWidget(views_, 1);
  middle->addLayout(side);

  progress_ = new QProgressBar(this);
  progress_->setObjectName("ProgressBar1");
  progress_->setRange(0, 100);
  progress_->setMaximumHeight(12);
  progress_->setTextVisible(false);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(3);
  layout->addLayout(top);
  layout->addLayout(middle, 1);
  layout->addWidget(progress_);

  connect(plan_, &PlanView::mouse_moved, this, &PreviewWindow::show_mouse);
  connect(plan_, &PlanView::clicked, this, &PreviewWindow::record);
  connect(levels_, &QListWidget::currentRowChanged, this, &PreviewWindow::show_level);
  redraw_ = new QTimer(this);
  redraw_->setSingleShot(true);
  redraw_->setInterval(kRedrawDelayMs);
  connect(redraw_, &QTimer::timeout, this, &PreviewWindow::draw_plan);
  connect(plan_, &PlanView::resized, redraw_, qOverload<>(&QTimer::start));

  // The width in use shows pressed; every button keeps its number readable.
  for (QPushButton* b : width_buttons_) b->setChecked(false);
  width_button(line_width_)->setChecked(true);
  set_track_mode(TrackMode::rotate);
  zoom_button_->setEnabled(with_3d_);
  rot_button_->setEnabled(with_3d_);
  pan_button_->setEnabled(with_3d_);
}

QPushButton* PreviewWindow::mode_button(TrackMode mode) const {
  switch (mode) {
    case TrackMode::zoom:
      return zoom_button_;
    case TrackMode::rotate:
      return rot_button_;
    case TrackMode::pan:
      return pan_button_;
  }
  return rot_button_;
}

QStringList PreviewWindow::label_texts() const {
  QStringList texts;
  for (QLabel* label : extent_labels_) texts << label->text();
  texts << level_count_->text() << z_min_->text() << z_max_->text();
  return texts;
}

void PreviewWindow::draw_plan() {
  // The drawing lets the interface run; a resize or a button meanwhile must not start a second one.
  if (drawing_now_) return;
  drawing_now_ = true;
  levels_->hide();
  levels_->clear();
  const QSize size = plan_->picture_size();
  Raster raster(size.width(), size.height(), kPlanBackground);
  PlanOptions options;
  options.line_width = line_width_;
  options.collect_points = with_3d_;
  options.progress = [this](int percent) { progress_->setValue(percent); };
  drawing_ = vireo::draw_plan(context_, raster, options);
  picture_ = QImage(raster.pixels().data(), raster.width(), raster.height(), raster.width() * 3, QImage::Format_RGB888).copy();
  plan_->set_picture(picture_);

  const ExtentLabels& e = drawing_.extent;
  const std::string* texts[] = {&e.x_min, &e.y_min, &e.x_max, &e.y_max, &e.dim_x, &e.dim_y, &e.scale};
  for (int i = 0; i < 7; ++i) extent_labels_[i]->setText(QString::fromLatin1(*texts[i]));
  level_count_->setText(QString::fromLatin1(drawing_.level_count));
  z_min_->setText(QString::fromLatin1(drawing_.z_min));
  z_max_->setText(QString::fromLatin1(drawing_.z_max));
  setWindowTitle(QString::fromLatin1(drawing_.caption));

  for (int slot = 0; slot < kLevelSlots; ++slot) {
    if (drawing_.level_texts[slot].empty()) continue;
    auto* item = new QListWidgetItem(QString::fromLatin1(drawing_.level_texts[slot]), levels_);
    item->setData(Qt::UserRole, slot);
    item->setForeground(to_qcolor(level_colour(slot)));
  }
  levels_->show();
  if (levels_->count() > 0) levels_->setCurrentRow(0);
  if (with_3d_) view3d_->set_points(std::move(drawing_.points));
  drawing_.points.clear();
  drawn_ = true;
  drawing_now_ = false;
  if (close_pending_) QTimer::singleShot(0, this, &QWidget::close);
}

void PreviewWindow::set_line_width(int width) {
  line_width_ = width;
  draw_plan();
  for (int i = 0; i < 4; ++i) width_buttons_[i]->setChecked(i + 1 == width);
}

void PreviewWindow::set_track_mode(TrackMode mode) {
  view3d_->view().set_mode(mode);
  for (TrackMode m : {TrackMode::zoom, TrackMode::rotate, TrackMode::pan})
    paint_button(mode_button(m), m == mode ? std::optional<Rgb>(kActiveMode) : std::nullopt);
}

void PreviewWindow::toggle_view() {
  if (!with_3d_) return;
  const bool showing_3d = views_->currentWidget() == view3d_;
  views_->setCurrentWidget(showing_3d ? static_cast<QWidget*>(plan_) : view3d_);
  visua3d_->setText(showing_3d ? "3D" : "2D");
  paint_button(visua3d_, showing_3d ? std::nullopt : std::optional<Rgb>(kShowing3d));
}

void PreviewWindow::show_level(int row) {
  QListWidgetItem* item = levels_->item(row);
  if (!item) return;
  const Rgb background = level_colour(item->data(Qt::UserRole).toInt());
  QPalette palette = colour_->palette();
  palette.setColor(QPalette::Window, to_qcolor(background));
  palette.setColor(QPalette::WindowText, to_qcolor(contrast_colour(background)));
  colour_->setPalette(palette);
  QFont font = colour_->font();
  font.setBold(true);
  colour_->setFont(font);
  colour_->setText(item->text());
}

void PreviewWindow::show_mouse(QPointF position) {
  const std::string text = position_text(plan_point(drawing_.scale, position.x(), position.y()));
  context_.host->set_status_panel(5, text);
}

void PreviewWindow::record(QPointF position) { record_click(context_, plan_point(drawing_.scale, position.x(), position.y())); }

void PreviewWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    request_stop(context_);
    return;
  }
  QWidget::keyPressEvent(event);
}

void PreviewWindow::closeEvent(QCloseEvent* event) {
  // The drawing lets the interface run, so the window can be closed in the middle of it; it goes once
  // the drawing has stopped.
  if (drawing_now_) {
    context_.conversion.abort = true;
    close_pending_ = true;
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

void PreviewWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Drawn once the layout has settled the picture's size.
  if (!drawn_) redraw_->start();
}

}  // namespace vireo
