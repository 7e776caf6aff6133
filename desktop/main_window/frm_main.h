#pragma once
// `frm_main`, the start-up window: five input boxes, four buttons and the plot
// area. It turns the boxes into a plot request and hands it to the plot code,
// and turns the pointer and keys over the plot into steps of the view; the
// drawing, the input rules, the step arithmetic and the file writing live
// outside the window.

#include <QWidget>
#include <memory>
#include <optional>

#include <QElapsedTimer>

#include "view/history.h"
#include "view/view_steps.h"
#include "plot/plot_request.h"
#include "ui/window_font.h"

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vesk {

class FrmAbout;
class PlotArea;
class SaveFileAsker;
class Announcer;
class Surface;
struct BoxTexts;

class FrmMain : public QWidget {
  Q_OBJECT

 public:
  // The windows' own font, or another where its captions would not fit.
  explicit FrmMain(QWidget* parent = nullptr, const QFont& preferred_font = preferred_window_font());
  ~FrmMain() override;

  // The plot commands: read the boxes, then draw the plot, or clear the plot
  // area and say why not.
  void plot(PlotMode mode);
  // The save command: asks for a file name and writes the plot there.
  void save_plot();
  // Tests answer the save dialog through this.
  void set_save_file_asker(std::unique_ptr<SaveFileAsker> asker);
  // The About command: creates `frm_about` on first use and shows it modally.
  void show_about();
  FrmAbout* about_window() { return frm_about.get(); }

  // What the plot area shows, as a save writes it; nothing after a refusal.
  std::optional<PlotRequest> shown_plot() const;
  PlotArea& plot_area() { return *pic_plot; }
  // Every caption inside its control, and no label's text running into another control.
  bool captions_fit(const QFont& font) const;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* add_text_box(const char* name, QRect place, const QString& text);
  QLabel* add_label(const char* name, QRect place, const QString& caption, Qt::Alignment alignment);
  QPushButton* add_button(const char* name, QRect place, const QString& caption);
  BoxTexts box_texts() const;
  void draw(Surface& surface) const;
  void show_message(const QString& title, const QString& text, bool warning);

  // A step of the view: the boxes read the new bounds and the plot is drawn
  // again with the last command's mode and clarity; history records it.
  void step(const View& view, Gesture gesture);
  void show_view(const View& view);
  void go(std::optional<View> view);  // back or forward, when there is an entry
  void on_wheel(QPoint angle_delta, QPointF at, Qt::KeyboardModifiers modifiers);
  QPointF pointed(QPointF pixel) const;  // the user point under a pixel of the unrounded view
  void show_coordinates(std::optional<QPointF> at);
  void copy_plot() const;
  // The readout's values as text, full precision: x<TAB>f(x), with <TAB>f′(x) in a trace.
  void copy_values() const;
  // The study of the curve: its key points marked, a trace along it.
  void show_key_points(bool shown);
  // The picture is stale: drawn again at the next paint, and described anew.
  void refresh_plot();
  QString description() const;
  void set_trace(std::optional<double> x);
  void step_trace(int direction, bool by_sample);
  QAction* add_action(const QString& text, const QKeySequence& keys, QWidget* where, Qt::ShortcutContext context);
  void show_menu(QPoint at);

  PlotArea* pic_plot;
  QPushButton* cmd_plotline;
  QLineEdit* txt_x1;
  QLineEdit* txt_x2;
  QPushButton* cmd_plotpoint;
  QLineEdit* txt_y1;
  QLineEdit* txt_y2;
  QLineEdit* txt_clarity;
  QPushButton* cmd_saveplot;
  QPushButton* cmd_about;
  QLabel* lbl_coordinates;
  Announcer* announcer_;  // what a screen reader is told as it happens
  QAction* act_key_points;
  QAction* act_trace;
  QList<QAction*> menu_actions_;  // the plot area's commands, in the order its menu lists them
  std::unique_ptr<SaveFileAsker> save_asker_;
  std::unique_ptr<FrmAbout> frm_about;  // no owner window: a top-level of its own

  PlotRequest view_;          // the last plot command's request, moved by the steps
  bool cleared_ = false;      // the last command was refused: the area is empty
  RoundedRange typed_range_;  // what the last command read: where Home returns
  View exploring_;            // the view unrounded; view_.range shows it rounded
  ViewHistory history_{View{}};
  QElapsedTimer clock_;       // tells a burst of steps from separate ones
  WheelNotches wheel_;
  std::optional<std::pair<View, QPointF>> drag_start_;
  std::optional<QPointF> pointer_;
  std::optional<double> trace_x_;  // where the trace's marker stands, in user units
  QString readout_values_;         // what copy_values copies
  bool centred_ = false;
};

}  // namespace vesk
