#include "about/frm_about.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include "about/clickable_label.h"
#include "main_window/display.h"
#include "main_window/twips.h"
#include "main_window/window_font.h"
#include "surface/hand_cursor.h"

namespace vesk {
namespace {

// The window's layout, in twips relative to the client area.
constexpr TwipsRect kClientArea{0, 0, 4470, 3060};
constexpr Placement kLayout[] = {
    {"Image1", {0, 0, 4500, 3045}},    {"Image2", {3960, 15, 555, 555}},
    {"Label1", {1305, 900, 1635, 285}}, {"Label2", {1935, 1350, 555, 285}},
    {"Label3", {765, 1710, 2895, 240}}, {"Label4", {1845, 2070, 870, 285}},
    {"Label5", {585, 2475, 3300, 240}},
};

QRect placement_of(const char* name) { return placement_of(kLayout, name); }

constexpr int kTimerInterval = 4;  // milliseconds

QFont link_font() {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setStyleHint(QFont::SansSerif);  // a sans-serif wherever that face is missing
  font.setPointSizeF(9.75);
  font.setWeight(QFont::Bold);
  return font;
}

bool platform_has_window_opacity() {
  const QString platform = QGuiApplication::platformName();
  return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

}  // namespace

bool TranslucentForm(QWidget* frm, int TranslucenceLevel) {
  frm->setWindowOpacity(TranslucenceLevel / 255.0);
  // Debian's Qt sends X requests only when X events arrive; a repaint makes
  // each level reach the server as it is applied.
  frm->update();
  return platform_has_window_opacity() && frm->windowOpacity() == TranslucenceLevel / 255.0;
}

FrmAbout::FrmAbout() : QDialog(nullptr, Qt::Tool | Qt::FramelessWindowHint), Timer1(new QTimer(this)) {
  setObjectName(QStringLiteral("frm_about"));
  setWindowTitle(QStringLiteral("&about Vesk"));
  setWindowIcon(application_icon());
  setWindowModality(Qt::ApplicationModal);
  setFixedSize(to_pixels(kClientArea).size());
  setFont(window_font());

  auto* Image1 = add_label("Image1", {});
  Image1->setPixmap(QPixmap(QStringLiteral(":/resources/about_background.png")));
  auto* Image2 = add_label("Image2", {});
  Image2->setPixmap(QPixmap(QStringLiteral(":/resources/close_button.png")));
  Image2->setCursor(hand_cursor());
  add_label("Label1", QStringLiteral("Code By : Vesk"))->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  add_label("Label2", QStringLiteral("Web :"));
  auto* Label3 = add_label("Label3", QStringLiteral("www.vesk.example.com"));
  add_label("Label4", QStringLiteral("E_mail :"));
  auto* Label5 = add_label("Label5", QStringLiteral("vesk@example.com"));
  for (ClickableLabel* link : {Label3, Label5}) {
    link->setFont(link_font());
    link->setCursor(hand_cursor());
    link->adjustSize();  // sized to its text from its top-left corner
  }

  Timer1->setInterval(kTimerInterval);
  connect(Timer1, &QTimer::timeout, this, [this] { carry_out(fade_.tick()); });
  connect(Image2, &ClickableLabel::clicked, this, [this] { carry_out(fade_.close_clicked()); });
  // The result is ignored: when nothing can open the address, nothing happens.
  connect(Label3, &ClickableLabel::clicked, this, [] { QDesktopServices::openUrl(QUrl(kWebAddress)); });
  connect(Label5, &ClickableLabel::clicked, this, [] { QDesktopServices::openUrl(QUrl(kMailAddress)); });
}

ClickableLabel* FrmAbout::add_label(const char* name, const QString& caption) {
  auto* label = new ClickableLabel(caption, this);
  label->setObjectName(QLatin1String(name));
  label->setGeometry(placement_of(name));
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

void FrmAbout::show_modal() {
  // Every showing fades in afresh: showing the window at its faded-out level,
  // where one click on the close picture would hide it at once, is no use.
  carry_out(fade_.start());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = geometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  exec();
}

void FrmAbout::reject() { carry_out(fade_.close_clicked()); }

void FrmAbout::carry_out(Fade::Step step) {
  if (step.apply) TranslucentForm(this, *step.apply);
  if (step.hide) hide();
  if (fade_.timer_enabled() && !Timer1->isActive()) Timer1->start();
  if (!fade_.timer_enabled()) Timer1->stop();
}

}  // namespace vesk
