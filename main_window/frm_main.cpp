#include "main_window/frm_main.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "about/frm_about.h"
#include "main_window/display.h"
#include "main_window/plot_input.h"
#include "main_window/save_plot.h"
#include "main_window/twips.h"
#include "main_window/window_font.h"
#include "plot/frame.h"
#include "surface/plot_area.h"

namespace vesk {
namespace {

// The window's layout, in twips relative to the client area.
constexpr TwipsRect kClientArea{0, 0, 9000, 7440};
constexpr Placement kLayout[] = {
    {"pic_plot", {135, 1485, 8745, 5910}},
    {"cmd_plotline", {2475, 675, 1275, 465}},
    {"txt_x1", {360, 585, 555, 330}},
    {"txt_x2", {1620, 585, 555, 330}},
    {"cmd_plotpoint", {4185, 675, 1275, 465}},
    {"txt_y1", {360, 1035, 555, 330}},
    {"txt_y2", {1620, 1035, 555, 330}},
    {"lbl_x1", {90, 675, 210, 195}},
    {"lbl_y2", {90, 1080, 210, 195}},
    {"lbl_y1", {1305, 1080, 210, 195}},
    {"lbl_x2", {1305, 675, 210, 195}},
    {"lbl_To", {1395, 315, 300, 195}},
    {"lbl_from", {270, 315, 435, 195}},
    {"txt_clarity", {7830, 720, 1095, 330}},
    {"cmd_saveplot", {5940, 675, 1140, 465}},
    {"cmd_about", {7785, 45, 1140, 375}},
    {"lbl_clarity", {7290, 810, 450, 195}},
};

QRect placement_of(const char* name) { return placement_of(kLayout, name); }

}  // namespace

FrmMain::FrmMain(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("frm_main"));
  setWindowTitle(QStringLiteral("Vesk - Plot v.1"));
  setWindowIcon(application_icon());
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  resize(to_pixels(kClientArea).size());
  setFont(window_font());
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
  setAutoFillBackground(true);

  // Created in tab order.
  pic_plot = new PlotArea(placement_of("pic_plot").size(), this);
  pic_plot->setObjectName(QStringLiteral("pic_plot"));
  pic_plot->move(placement_of("pic_plot").topLeft());
  cmd_plotline = add_button("cmd_plotline", QStringLiteral("plot by&line"));
  txt_x1 = add_text_box("txt_x1", QStringLiteral("-9"));
  txt_x2 = add_text_box("txt_x2", QStringLiteral("9"));
  cmd_plotpoint = add_button("cmd_plotpoint", QStringLiteral("plot by&point"));
  txt_y1 = add_text_box("txt_y1", QStringLiteral("-9"));
  txt_y2 = add_text_box("txt_y2", QStringLiteral("9"));
  add_label("lbl_x1", QStringLiteral("X :"), Qt::AlignHCenter);
  add_label("lbl_y2", QStringLiteral("Y :"), Qt::AlignHCenter);
  add_label("lbl_y1", QStringLiteral("Y :"), Qt::AlignHCenter);
  add_label("lbl_x2", QStringLiteral("X :"), Qt::AlignHCenter);
  add_label("lbl_To", QStringLiteral("To :"), Qt::AlignHCenter);
  add_label("lbl_from", QStringLiteral("From :"), Qt::AlignLeft);
  txt_clarity = add_text_box("txt_clarity", QStringLiteral("100"));
  cmd_saveplot = add_button("cmd_saveplot", QStringLiteral("&Seve plot"));
  cmd_about = add_button("cmd_about", QStringLiteral("&About"));
  add_label("lbl_clarity", QStringLiteral("clarity:"), Qt::AlignHCenter);

  const QList<QWidget*> tab_order = {pic_plot, cmd_plotline,  txt_x1,       txt_x2,   cmd_plotpoint,
                                     txt_y1,   txt_y2,        txt_clarity, cmd_saveplot, cmd_about};
  for (qsizetype i = 1; i < tab_order.size(); ++i) setTabOrder(tab_order[i - 1], tab_order[i]);

  connect(cmd_plotline, &QPushButton::clicked, this, [this] { plot(PlotMode::line); });
  connect(cmd_plotpoint, &QPushButton::clicked, this, [this] { plot(PlotMode::point); });
  connect(cmd_saveplot, &QPushButton::clicked, this, &FrmMain::save_plot);
  connect(cmd_about, &QPushButton::clicked, this, &FrmMain::show_about);
  save_asker_ = std::make_unique<SaveFileDialog>(this);

  load();
}

FrmMain::~FrmMain() = default;

QLineEdit* FrmMain::add_text_box(const char* name, const QString& text) {
  auto* box = new QLineEdit(text, this);
  box->setObjectName(QLatin1String(name));
  box->setGeometry(placement_of(name));
  return box;
}

QLabel* FrmMain::add_label(const char* name, const QString& caption, Qt::Alignment alignment) {
  auto* label = new QLabel(caption, this);
  label->setObjectName(QLatin1String(name));
  label->setAlignment(alignment | Qt::AlignTop);
  QPalette white = label->palette();
  white.setColor(QPalette::WindowText, Qt::white);
  label->setPalette(white);
  label->setAutoFillBackground(false);
  // Sized to its text from its top-left corner.
  const QRect place = placement_of(name);
  label->setGeometry(QRect(place.topLeft(), label->sizeHint()));
  return label;
}

QPushButton* FrmMain::add_button(const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(placement_of(name));
  button->setAutoDefault(false);
  return button;
}

RangeTexts FrmMain::range_texts() const {
  return {txt_x1->text(), txt_x2->text(), txt_y1->text(), txt_y2->text()};
}

void FrmMain::load() {
  const auto range = read_rounded_range(range_texts());
  if (const auto* refusal = std::get_if<Refusal>(&range)) {
    show_refusal(refusal->message);
    return;
  }
  draw_frame(pic_plot->surface(), std::get<RoundedRange>(range));
  pic_plot->update();
}

void FrmMain::plot(PlotMode mode) {
  pic_plot->surface().clear();
  pic_plot->update();
  const PlotCheck check = check_plot_input(range_texts(), txt_clarity->text());
  if (std::holds_alternative<EmptyRange>(check)) return show_empty_range(mode);
  if (const auto* refusal = std::get_if<Refusal>(&check)) return show_refusal(refusal->message);

  const auto& request = std::get<PlotRequest>(check);
  load();
  plot_curve(pic_plot->surface(), request.range, request.clarity, mode);
  pic_plot->update();
}

void FrmMain::save_plot() {
  const std::optional<QString> file_name = save_asker_->ask_file_name();
  if (!file_name) return;
  if (const auto reason = write_image(pic_plot->surface().image(), *file_name)) {
    QMessageBox box(QMessageBox::Warning, windowTitle(),
                    QStringLiteral("The plot could not be saved to\n%1\n\n%2").arg(*file_name, *reason),
                    QMessageBox::Ok, this);
    box.exec();
  }
}

void FrmMain::show_about() {
  if (!frm_about) frm_about = std::make_unique<FrmAbout>();
  frm_about->show_modal();
}

void FrmMain::set_save_file_asker(std::unique_ptr<SaveFileAsker> asker) { save_asker_ = std::move(asker); }

void FrmMain::show_empty_range(PlotMode mode) {
  // The two commands differ only in this icon.
  const auto icon = mode == PlotMode::line ? QMessageBox::Warning : QMessageBox::NoIcon;
  QMessageBox box(icon, kEmptyRangeTitle, kEmptyRangeText, QMessageBox::Ok, this);
  box.exec();
}

void FrmMain::show_refusal(const QString& message) {
  QMessageBox box(QMessageBox::Warning, windowTitle(), message, QMessageBox::Ok, this);
  box.exec();
}

void FrmMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (centred_) return;
  centred_ = true;
  if (const QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

}  // namespace vesk
