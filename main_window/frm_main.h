#pragma once
// `frm_main`, the start-up window: five input boxes, four buttons and the plot
// area. It turns the boxes into values and hands them to the plot code; the
// drawing, the input rules and the file writing live outside the window.

#include <QWidget>
#include <memory>

#include "plot/curve.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace vesk {

class FrmAbout;
class PlotArea;
class SaveFileAsker;
struct RangeTexts;

class FrmMain : public QWidget {
  Q_OBJECT

 public:
  explicit FrmMain(QWidget* parent = nullptr);
  ~FrmMain() override;

  // The load step: reads the four range boxes and draws the frame for them.
  // Input it cannot use is refused with a message, and nothing is drawn.
  void load();

  // The plot commands: clear, check the input, draw the frame and the curve.
  void plot(PlotMode mode);

  // The save command: asks for a file name and writes the plot area's image.
  void save_plot();
  // Tests answer the save dialog through this.
  void set_save_file_asker(std::unique_ptr<SaveFileAsker> asker);

  // The About command: creates `frm_about` on first use and shows it modally.
  void show_about();
  FrmAbout* about_window() { return frm_about.get(); }

  PlotArea& plot_area() { return *pic_plot; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  RangeTexts range_texts() const;
  QLineEdit* add_text_box(const char* name, const QString& text);
  QLabel* add_label(const char* name, const QString& caption, Qt::Alignment alignment);
  QPushButton* add_button(const char* name, const QString& caption);
  void show_refusal(const QString& message);
  void show_empty_range(PlotMode mode);

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
  std::unique_ptr<SaveFileAsker> save_asker_;
  std::unique_ptr<FrmAbout> frm_about;  // no owner window: a top-level of its own
  bool centred_ = false;
};

}  // namespace vesk
