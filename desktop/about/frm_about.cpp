#include "about/frm_about.h"

#include <QDesktopServices>
#include <QGraphicsOpacityEffect>
#include <QGuiApplication>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <cmath>

#include "about/clickable_label.h"
#include "ui/accessibility.h"
#include "ui/application.h"
#include "ui/hand_cursor.h"
#include "ui/twips.h"

namespace vesk {
namespace {

// The window's layout, in twips relative to the client area.
struct Layout {
  TwipsRect client{0, 0, 4470, 3060};
  TwipsRect Image1{0, 0, 4500, 3045};
  TwipsRect Image2{3960, 15, 555, 555};
  TwipsRect Label1{1305, 900, 1635, 285};
  TwipsRect Label2{1935, 1350, 555, 285};
  TwipsRect Label3{765, 1710, 2895, 240};
  TwipsRect Label4{1845, 2070, 870, 285};
  TwipsRect Label5{585, 2475, 3300, 240};
};
constexpr Layout kLayout;

constexpr int kTimerInterval = 4;  // milliseconds

QFont link_font() {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setStyleHint(QFont::SansSerif);  // a sans-serif wherever that face is missing
  font.setPointSizeF(9.75 * layout_scale());
  font.setWeight(QFont::Bold);
  return font;
}

bool platform_sets_window_opacity() {
  const QString platform = QGuiApplication::platformName();
  return !platform.startsWith(QLatin1String("wayland")) && platform != QLatin1String("offscreen") &&
         platform != QLatin1String("minimal");
}

}  // namespace

QPixmap about_picture(const QString& name, qreal device_pixel_ratio) {
  // Shown larger in a larger layout: drawn for the pixels it covers.
  device_pixel_ratio *= layout_scale();
  // The scale drawn that is nearest, the larger where two are as near: shrunk, a picture stays sharper.
  qreal drawn = kPictureScales[0];
  for (const qreal scale : kPictureScales)
    if (std::abs(scale - device_pixel_ratio) <= std::abs(drawn - device_pixel_ratio)) drawn = scale;
  const QString suffix = drawn == 1 ? QString() : QStringLiteral("@%1x").arg(drawn);
  QPixmap pixmap(QStringLiteral(":/resources/%1%2.png").arg(name, suffix));
  pixmap.setDevicePixelRatio(drawn / layout_scale());
  return pixmap;
}

FrmAbout::FrmAbout(const QFont& font, QWidget* over)
    : QDialog(nullptr, Qt::Tool | Qt::FramelessWindowHint),
      over_(over),
      content_(new QWidget(this)),
      Timer1(new QTimer(this)) {
  setObjectName(QStringLiteral("frm_about"));
  setWindowTitle(QStringLiteral("&about Vesk"));
  setWindowModality(Qt::ApplicationModal);
  setFixedSize(to_pixels(kLayout.client).size());
  setFont(font);
  content_->setGeometry(rect());
  if (!platform_sets_window_opacity()) {
    setAttribute(Qt::WA_TranslucentBackground);
    painted_opacity_ = new QGraphicsOpacityEffect(content_);
    content_->setGraphicsEffect(painted_opacity_);
  }

  const qreal ratio = over->devicePixelRatioF();
  const QPixmap background = about_picture(QStringLiteral("about_background"), ratio);
  // The picture is a pixel shorter than the window: its last row fills the rest.
  QPalette palette = content_->palette();
  palette.setBrush(QPalette::Window, QBrush(background.copy(0, background.height() - 1, background.width(), 1)));
  content_->setPalette(palette);
  content_->setAutoFillBackground(true);

  add_label("Image1", to_pixels(kLayout.Image1), {})->setPixmap(background);
  auto* Image2 = add_label("Image2", to_pixels(kLayout.Image2), {});
  Image2->setPixmap(about_picture(QStringLiteral("close_button"), ratio));
  Image2->setCursor(hand_cursor(ratio));
  add_label("Label1", to_pixels(kLayout.Label1), QStringLiteral("Code By : Vesk"))
      ->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  add_label("Label2", to_pixels(kLayout.Label2), QStringLiteral("Web :"));
  auto* Label3 = add_label("Label3", to_pixels(kLayout.Label3), QStringLiteral("www.vesk.example.com"));
  add_label("Label4", to_pixels(kLayout.Label4), QStringLiteral("E_mail :"));
  auto* Label5 = add_label("Label5", to_pixels(kLayout.Label5), QStringLiteral("vesk@example.com"));
  // Heard as what they are: two links with their addresses, and a button.
  set_accessible_role(Image2, QAccessible::Button);
  Image2->setAccessibleName(QStringLiteral("Close"));
  for (const auto& [link, name, address] : {std::tuple{Label3, "Web: www.vesk.example.com", kWebAddress},
                                            std::tuple{Label5, "E-mail: vesk@example.com", kMailAddress}}) {
    set_accessible_role(link, QAccessible::Link);
    link->setAccessibleName(QLatin1String(name));
    link->setAccessibleDescription(address);
  }
  for (ClickableLabel* link : {Label3, Label5}) {
    link->setFont(link_font());
    link->setCursor(hand_cursor(ratio));
    link->adjustSize();  // sized to its text from its top-left corner
  }
  // By keyboard: the two links, then the close picture, in that order.
  for (ClickableLabel* reachable : {Label3, Label5, Image2}) reachable->setFocusPolicy(Qt::StrongFocus);
  setTabOrder(Label3, Label5);
  setTabOrder(Label5, Image2);
  first_focus_ = Label3;
  setAccessibleName(QStringLiteral("About Vesk"));
  // Heard when the window opens, and again when a listener asks where they are.
  setAccessibleDescription(kClosingHint);

  Timer1->setInterval(kTimerInterval);
  connect(Timer1, &QTimer::timeout, this, [this] { carry_out(fade_.tick()); });
  connect(Image2, &ClickableLabel::clicked, this, [this] { carry_out(fade_.close_clicked()); });
  // The result is ignored: when nothing can open the address, nothing happens.
  connect(Label3, &ClickableLabel::clicked, this, [] { QDesktopServices::openUrl(QUrl(kWebAddress)); });
  connect(Label5, &ClickableLabel::clicked, this, [] { QDesktopServices::openUrl(QUrl(kMailAddress)); });
}

ClickableLabel* FrmAbout::add_label(const char* name, QRect place, const QString& caption) {
  auto* label = new ClickableLabel(caption, content_);
  label->setObjectName(QLatin1String(name));
  label->setGeometry(place);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

void FrmAbout::show_modal() {
  // Every showing fades in afresh: showing the window at its faded-out level,
  // where one click on the close picture would hide it at once, is no use.
  carry_out(fade_.start());
  // Over the main window: compositors that place windows themselves (Wayland)
  // put a window with a transient parent over that parent.
  winId();
  windowHandle()->setTransientParent(over_->windowHandle());
  setScreen(over_->screen());
  centre_on_screen(this);
  first_focus_->setFocus();
  exec();
}

void FrmAbout::reject() { carry_out(fade_.close_clicked()); }

void FrmAbout::carry_out(Fade::Step step) {
  if (step.apply) TranslucentForm(*step.apply);
  if (step.hide) hide();
  if (fade_.timer_enabled() && !Timer1->isActive()) Timer1->start();
  if (!fade_.timer_enabled()) Timer1->stop();
}

void FrmAbout::TranslucentForm(int TranslucenceLevel) {
  if (painted_opacity_ != nullptr) return painted_opacity_->setOpacity(TranslucenceLevel / 255.0);
  setWindowOpacity(TranslucenceLevel / 255.0);
  // Debian's Qt sends X requests only when X events arrive; a repaint makes
  // each level reach the server as it is applied.
  update();
}

}  // namespace vesk
