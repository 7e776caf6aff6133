#pragma once
// `frm_main`, the start-up window: five input boxes, four buttons and the plot
// area. It only wires its controls to the exploring session (view/explorer.h),
// which holds everything the plot shows, and shows what the session answers:
// the boxes, the picture, the readout, the menu's ticks, the lines a screen
// reader is told. The drawing, the input rules, the step arithmetic and the
// file writing live outside the window.

#include <QElapsedTimer>
#include <QWidget>
#include <memory>
#include <optional>

#include "plot/plot_request.h"
#include "ui/window_font.h"
#include "view/explorer.h"

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace vesk {

class Announcer;
class FrmAbout;
class PlotArea;
class SaveFileAsker;
class SoundPlayer;

class FrmMain : public QWidget {
  Q_OBJECT

 public:
  // The windows' own font, or another where its captions would not fit.
  explicit FrmMain(QWidget* parent = nullptr, const QFont& preferred_font = preferred_window_font());
  ~FrmMain() override;

  // The plot commands: read the boxes, then draw the plot, or clear the plot
  // area and say why not.
  void plot(PlotMode mode);
  // The save command: asks for a file name and writes what the plot area shows there.
  void save_plot();
  // Lines to show and say once shown (what an earlier run left behind).
  void tell(const QStringList& lines);
  // Tests answer the save dialog through this.
  void set_save_file_asker(std::unique_ptr<SaveFileAsker> asker);
  // The About command: creates `frm_about` on first use and shows it modally.
  void show_about();
  FrmAbout* about_window() { return frm_about.get(); }

  // What the plot area shows, as a save writes it; nothing after a refusal.
  std::optional<PlotRequest> shown_plot() const;
  const Explorer& explorer() const { return *explorer_; }
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
  QAction* add_action(const QString& text, const QKeySequence& keys, QWidget* where, Qt::ShortcutContext context);
  BoxTexts box_texts() const;
  qint64 now() const;

  // Shows what the session says now, and tells a screen reader `said`.
  void display(const Said& said);
  void show_message(const QString& title, const QString& text, bool warning);
  void show_menu(QPoint at);
  void copy_plot() const;
  void copy_values() const;
  // Asks for the trace's x, starting from what was typed.
  void ask_trace_x(const QString& typed);
  // F1: every key of the plot area, grouped, in a box a screen reader reads whole.
  void show_keys();
  // Ctrl+P: the toolkit's print dialog, then the view shown on a page, as vectors; Ctrl+Shift+P: its preview.
  void print_plot();
  void preview_plot();
  // H: plays the view's sound, or stops it. A trace step plays the marker's tone.
  void hear(bool from_marker);  // the view's sweep, or its part right of the trace's marker
  void play_trace_tone();

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
  QAction* act_key_points;
  QAction* act_numbers;
  QAction* act_trace;
  QAction* act_reference;
  QAction* act_ticks;
  QAction* act_hear;
  QList<QAction*> menu_actions_;  // the plot area's commands, in the order its menu lists them
  QList<qsizetype> menu_group_ends_;  // how many of them come before each of the menu's separators
  Announcer* announcer_;          // what a screen reader is told as it happens
  QTimer* described_;             // tells a screen reader the plot area's description changed, once steps settle
  std::unique_ptr<SaveFileAsker> save_asker_;
  SoundPlayer* player_;
  QString sound_line_;  // why nothing plays, in the readout until the picture changes
  std::unique_ptr<FrmAbout> frm_about;  // no owner window: a top-level of its own

  std::unique_ptr<Explorer> explorer_;
  QElapsedTimer clock_;  // tells a burst of steps from separate ones
  Bounds boxes_view_;    // the view the boxes were last written for
  std::optional<std::pair<PlotRequest, bool>> shown_picture_;  // what the plot area was last given
  bool centred_ = false;
  bool saving_ = false;  // a save is being written
};

}  // namespace vesk
