#include "main_window/frm_main.h"

#include <QAccessible>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include "about/frm_about.h"
#include "main_window/main_layout.h"
#include "files/plot_file.h"
#include "reading/plot_input.h"
#include "key_points/key_points.h"
#include "key_points/marks.h"
#include "description/spoken.h"
#include "plot/quartic.h"
#include "main_window/save_dialog.h"
#include "plot/frame.h"
#include "plot/plot.h"
#include "plot_area/plot_area.h"
#include "ui/accessibility.h"
#include "ui/application.h"
#include "ui/twips.h"

namespace vesk {
namespace {

static_assert(to_pixels(kMainLayout.pic_plot.width) - 2 * PlotArea::kBorder == kPictureSize.width &&
              to_pixels(kMainLayout.pic_plot.height) - 2 * PlotArea::kBorder == kPictureSize.height);

constexpr int kButtonMargin = 8;  // pixels a button's frame takes from its caption's room

QPalette with_colour(QPalette palette, QPalette::ColorRole role, QColor colour) {
  palette.setColor(role, colour);
  return palette;
}

}  // namespace

FrmMain::FrmMain(QWidget* parent, const QFont& preferred_font) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("frm_main"));
  setWindowTitle(QStringLiteral("Vesk - Plot v.1"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  resize(to_pixels(kMainLayout.client).size());
  setPalette(with_colour(palette(), QPalette::Window, Qt::black));
  setAutoFillBackground(true);
  // Before the controls, so they start with it (a font loaded once).
  setFont(preferred_font);

  install_accessible_interfaces();
  // Created in tab order.
  pic_plot = new PlotArea(QSize(kPictureSize.width, kPictureSize.height), [this](Surface& surface) { draw(surface); }, this);
  pic_plot->setObjectName(QStringLiteral("pic_plot"));
  set_accessible_role(pic_plot, QAccessible::Chart);
  pic_plot->setAccessibleName(
      QStringLiteral("Plot of f of x equals x to the fourth plus x cubed minus 2 x squared plus 3 x"));
  pic_plot->move(to_pixels(kMainLayout.pic_plot).topLeft());
  cmd_plotline = add_button("cmd_plotline", to_pixels(kMainLayout.cmd_plotline), QStringLiteral("plot by&line"));
  txt_x1 = add_text_box("txt_x1", to_pixels(kMainLayout.txt_x1), QStringLiteral("-9"));
  txt_x2 = add_text_box("txt_x2", to_pixels(kMainLayout.txt_x2), QStringLiteral("9"));
  cmd_plotpoint = add_button("cmd_plotpoint", to_pixels(kMainLayout.cmd_plotpoint), QStringLiteral("plot by&point"));
  txt_y1 = add_text_box("txt_y1", to_pixels(kMainLayout.txt_y1), QStringLiteral("-9"));
  txt_y2 = add_text_box("txt_y2", to_pixels(kMainLayout.txt_y2), QStringLiteral("9"));
  add_label("lbl_x1", to_pixels(kMainLayout.lbl_x1), QStringLiteral("X :"), Qt::AlignHCenter);
  add_label("lbl_y2", to_pixels(kMainLayout.lbl_y2), QStringLiteral("Y :"), Qt::AlignHCenter);
  add_label("lbl_y1", to_pixels(kMainLayout.lbl_y1), QStringLiteral("Y :"), Qt::AlignHCenter);
  add_label("lbl_x2", to_pixels(kMainLayout.lbl_x2), QStringLiteral("X :"), Qt::AlignHCenter);
  add_label("lbl_To", to_pixels(kMainLayout.lbl_To), QStringLiteral("To :"), Qt::AlignHCenter);
  add_label("lbl_from", to_pixels(kMainLayout.lbl_from), QStringLiteral("From :"), Qt::AlignLeft);
  txt_clarity = add_text_box("txt_clarity", to_pixels(kMainLayout.txt_clarity), QStringLiteral("100"));
  // "Seve": the program's own spelling, which its users know.
  cmd_saveplot = add_button("cmd_saveplot", to_pixels(kMainLayout.cmd_saveplot), QStringLiteral("&Seve plot"));
  cmd_about = add_button("cmd_about", to_pixels(kMainLayout.cmd_about), QStringLiteral("&About"));
  add_label("lbl_clarity", to_pixels(kMainLayout.lbl_clarity), QStringLiteral("clarity:"), Qt::AlignHCenter);
  lbl_coordinates = add_label("lbl_coordinates", to_pixels(kMainLayout.lbl_coordinates), {}, Qt::AlignLeft);
  lbl_coordinates->setGeometry(to_pixels(kMainLayout.lbl_coordinates));

  // Where the preferred face is missing, or wider here, another that fits.
  if (!captions_fit(font())) setFont(window_font([this](const QFont& font) { return captions_fit(font); }));
  // Labels size themselves to their text from their top-left corner.
  for (QLabel* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
    if (label != lbl_coordinates) label->resize(label->sizeHint());

  // Named for a listener: what each box holds, each button's caption as words.
  const std::pair<QWidget*, const char*> spoken_names[] = {
      {txt_x1, "X from"}, {txt_x2, "X to"}, {txt_y1, "Y from"}, {txt_y2, "Y to"}, {txt_clarity, "clarity"},
      {cmd_plotline, "plot by line"}, {cmd_plotpoint, "plot by point"}, {cmd_saveplot, "Seve plot"}, {cmd_about, "About"}};
  for (const auto& [control, name] : spoken_names) control->setAccessibleName(QLatin1String(name));
  announcer_ = new Announcer(this);

  connect(cmd_plotline, &QPushButton::clicked, this, [this] { plot(PlotMode::line); });
  connect(cmd_plotpoint, &QPushButton::clicked, this, [this] { plot(PlotMode::point); });
  connect(cmd_saveplot, &QPushButton::clicked, this, &FrmMain::save_plot);
  connect(cmd_about, &QPushButton::clicked, this, &FrmMain::show_about);
  // The plot area's commands, each with its key, all in its context menu. The
  // letters and Home act only while the plot area has the focus, so the boxes take them as text.
  connect(add_action(QStringLiteral("Copy picture"), QKeySequence::Copy, this, Qt::WindowShortcut),
          &QAction::triggered, this, &FrmMain::copy_plot);
  connect(add_action(QStringLiteral("Copy values"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), this,
                     Qt::WindowShortcut), &QAction::triggered, this, &FrmMain::copy_values);
  act_key_points = add_action(QStringLiteral("Key points"), QKeySequence(Qt::Key_K), pic_plot, Qt::WidgetShortcut);
  act_key_points->setCheckable(true);
  connect(act_key_points, &QAction::toggled, this, &FrmMain::show_key_points);
  act_trace = add_action(QStringLiteral("Trace"), QKeySequence(Qt::Key_T), pic_plot, Qt::WidgetShortcut);
  act_trace->setCheckable(true);
  connect(act_trace, &QAction::triggered, this, [this](bool on) {
    set_trace(on ? std::optional(pointed(pointer_.value_or(QPointF((kPictureSize.width - 1) / 2.0, 0))).x())
                 : std::nullopt);
  });
  connect(add_action(QStringLiteral("Fit y"), QKeySequence(Qt::Key_F), pic_plot, Qt::WidgetShortcut),
          &QAction::triggered, this, [this] { step(View::of(fitted_y(view_.range)), Gesture::other); });
  connect(add_action(QStringLiteral("Back"), QKeySequence::Back, this, Qt::WindowShortcut), &QAction::triggered, this,
          [this] { go(history_.back()); });
  connect(add_action(QStringLiteral("Forward"), QKeySequence::Forward, this, Qt::WindowShortcut), &QAction::triggered,
          this, [this] { go(history_.forward()); });
  connect(add_action(QStringLiteral("Home"), QKeySequence(Qt::Key_Home), pic_plot, Qt::WidgetShortcut),
          &QAction::triggered, this, [this] { step(View::of(typed_range_), Gesture::other); });
  // The button's access key does it; the menu names it.
  connect(add_action(QStringLiteral("Seve plot\tAlt+S"), {}, this, Qt::WindowShortcut), &QAction::triggered, this,
          &FrmMain::save_plot);
  pic_plot->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(pic_plot, &QWidget::customContextMenuRequested, this, &FrmMain::show_menu);
  connect(pic_plot, &PlotArea::wheel_turned, this, &FrmMain::on_wheel);
  connect(pic_plot, &PlotArea::drag_started, this, [this](QPointF at) { drag_start_ = {exploring_, at}; });
  connect(pic_plot, &PlotArea::dragged, this, [this](QPointF at) {
    if (drag_start_) step(dragged(drag_start_->first, kPictureSize, drag_start_->second, at), Gesture::drag);
  });
  connect(pic_plot, &PlotArea::drag_ended, this, [this] {
    drag_start_.reset();
    history_.end_burst();
  });
  connect(pic_plot, &PlotArea::box_chosen, this, [this](QPointF corner, QPointF other_corner) {
    step(View::of(boxed(view_.range, kPictureSize, corner, other_corner)), Gesture::other);
  });
  connect(pic_plot, &PlotArea::pinched, this, [this](qreal change, QPointF at) {
    if (change > -1) step(scaled(exploring_, pointed(at), 1 / (1 + change)), Gesture::pinch);
  });
  connect(pic_plot, &PlotArea::history_button, this,
          [this](int direction) { go(direction < 0 ? history_.back() : history_.forward()); });
  // Typed bounds drop the remainder the steps kept: the next step starts from whole numbers.
  for (QLineEdit* box : {txt_x1, txt_x2, txt_y1, txt_y2})
    connect(box, &QLineEdit::textEdited, this, [this] { exploring_ = View::of(view_.range); });
  connect(pic_plot, &PlotArea::pointer_moved, this, [this](QPointF at) { show_coordinates(at); });
  connect(pic_plot, &PlotArea::pointer_left, this, [this] { show_coordinates(std::nullopt); });
  for (QWidget* watched : {static_cast<QWidget*>(pic_plot), static_cast<QWidget*>(cmd_plotline),
                           static_cast<QWidget*>(cmd_plotpoint), static_cast<QWidget*>(cmd_saveplot),
                           static_cast<QWidget*>(cmd_about)})
    watched->installEventFilter(this);
  save_asker_ = std::make_unique<SaveFileDialog>(this);

  // At start-up the plot area shows the frame for the range the boxes hold.
  view_ = std::get<PlotRequest>(check_plot_input(box_texts(), PlotMode::frame_only));
  typed_range_ = view_.range;
  exploring_ = View::of(view_.range);
  history_ = ViewHistory(exploring_);
  clock_.start();
  pic_plot->setAccessibleDescription(description());
}

FrmMain::~FrmMain() = default;

QLineEdit* FrmMain::add_text_box(const char* name, QRect place, const QString& text) {
  auto* box = new QLineEdit(text, this);
  box->setObjectName(QLatin1String(name));
  box->setGeometry(place);
  return box;
}

QLabel* FrmMain::add_label(const char* name, QRect place, const QString& caption, Qt::Alignment alignment) {
  auto* label = new QLabel(caption, this);
  label->setObjectName(QLatin1String(name));
  label->setAlignment(alignment | Qt::AlignTop);
  label->setPalette(with_colour(label->palette(), QPalette::WindowText, Qt::white));
  label->move(place.topLeft());
  return label;
}

QPushButton* FrmMain::add_button(const char* name, QRect place, const QString& caption) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(place);
  // Not a default button: Enter clicks the focused button (see eventFilter)
  // without the frame a default button gets.
  button->setAutoDefault(false);
  return button;
}

bool FrmMain::captions_fit(const QFont& font) const {
  const QFontMetrics metrics(font);
  QList<QRect> taken;
  QList<QRect> texts;
  for (const QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const auto* label = qobject_cast<const QLabel*>(child);
    if (child->isHidden()) continue;
    if (label == nullptr || label == lbl_coordinates) taken << child->geometry();
    else texts << QRect(label->pos(), metrics.size(0, label->text()));
  }
  for (const QRect& text : texts)
    for (const QRect& other : taken + texts)
      if (other != text && other.intersects(text)) return false;
  for (const QPushButton* button : findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
    if (metrics.horizontalAdvance(QString(button->text()).remove(QLatin1Char('&'))) + kButtonMargin > button->width())
      return false;
  return true;
}

BoxTexts FrmMain::box_texts() const {
  return {txt_x1->text(), txt_x2->text(), txt_y1->text(), txt_y2->text(), txt_clarity->text()};
}

std::optional<PlotRequest> FrmMain::shown_plot() const {
  if (cleared_) return std::nullopt;
  return view_;
}

void FrmMain::draw(Surface& surface) const {
  if (!cleared_) return draw_plot_with_marks(surface, view_);
  // A refused command leaves the area empty, the markers where the last frame put them.
  surface.clear();
  place_frame(surface, view_.range);
}

void FrmMain::plot(PlotMode mode) {
  const PlotCheck check = check_plot_input(box_texts(), mode);
  if (const auto* request = std::get_if<PlotRequest>(&check)) {
    view_ = *request;
    typed_range_ = request->range;
    exploring_ = View::of(request->range);
    history_.record(exploring_, Gesture::other, clock_.elapsed());
    cleared_ = false;
    refresh_plot();
    show_coordinates(pointer_);
    announcer_->say(spoken_plot(*request));
    return;
  }
  cleared_ = true;
  refresh_plot();
  // The two commands differ only in the icon of this message.
  if (std::holds_alternative<EmptyRange>(check))
    return show_message(kEmptyRangeTitle, kEmptyRangeText, mode == PlotMode::line);
  show_message(windowTitle(), std::get<Refusal>(check).message, true);
}

void FrmMain::save_plot() {
  const std::optional<QString> file_name = save_asker_->ask_file_name();
  if (!file_name) return;
  if (const auto reason = save_plot_file(shown_plot(), *file_name))
    return show_message(windowTitle(),
                        QStringLiteral("The plot could not be saved to\n%1\n\n%2").arg(*file_name, *reason), true);
  // A cancel says nothing; a save must not sound the same. After the window
  // has the focus back, whose presentation would cut the line short.
  announcer_->say_when_back(QStringLiteral("Saved as %1.").arg(QFileInfo(*file_name).fileName()));
}

void FrmMain::copy_plot() const {
  QGuiApplication::clipboard()->setImage(picture_with_marks(shown_plot()));
  announcer_->say(QStringLiteral("Copied the picture."));
}

void FrmMain::show_about() {
  if (!frm_about) frm_about = std::make_unique<FrmAbout>(font(), this);
  frm_about->show_modal();
}

void FrmMain::set_save_file_asker(std::unique_ptr<SaveFileAsker> asker) { save_asker_ = std::move(asker); }

void FrmMain::show_message(const QString& title, const QString& text, bool warning) {
  QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::NoIcon, title, text, QMessageBox::Ok, this);
  box.exec();
}

void FrmMain::step(const View& view, Gesture gesture) {
  history_.record(view, gesture, clock_.elapsed());
  show_view(view);
  // A wheel turn during a drag: the drag goes on from the new view.
  if (gesture != Gesture::drag && drag_start_ && pointer_) drag_start_ = {view, *pointer_};
}

QPointF FrmMain::pointed(QPointF pixel) const { return user_point(exploring_.mapping(kPictureSize), pixel); }

void FrmMain::go(std::optional<View> view) {
  if (view) show_view(*view);
}

void FrmMain::show_view(const View& view) {
  exploring_ = view;
  const RoundedRange range = view.shown();
  if (!cleared_ && range == view_.range) return;
  view_.range = range;
  cleared_ = false;
  const std::pair<QLineEdit*, int> bounds[] = {{txt_x1, range.x1r}, {txt_x2, range.x2r}, {txt_y1, range.y1r},
                                               {txt_y2, range.y2r}};
  for (const auto& [box, bound] : bounds) {
    box->setText(QString::number(bound));
    box->setCursorPosition(0);  // a box narrower than its number shows its start, the sign included
  }
  refresh_plot();  // drawn at the next paint: a burst of steps draws once
  show_coordinates(pointer_);
  if (!trace_x_) announcer_->say_when_settled(spoken_view(bounds_of(range)));
}

void FrmMain::on_wheel(QPoint angle_delta, QPointF at, Qt::KeyboardModifiers modifiers) {
  // Ctrl zooms x alone, Shift y alone. Alt is left out: on X11 the toolkit
  // turns Alt+wheel into a horizontal turn. A platform may turn Shift+wheel
  // so too: then the horizontal angle counts.
  const ZoomAxes axes = modifiers & Qt::ControlModifier ? ZoomAxes::x_only
                        : modifiers & Qt::ShiftModifier ? ZoomAxes::y_only
                                                        : ZoomAxes::both;
  const int delta = angle_delta.y() != 0 || axes == ZoomAxes::both ? angle_delta.y() : angle_delta.x();
  const int notches = wheel_.add(delta);
  if (notches != 0) step(zoomed(exploring_, pointed(at), notches, axes), Gesture::wheel);
}

void FrmMain::show_coordinates(std::optional<QPointF> at) {
  pointer_ = at;
  QString text;
  readout_values_.clear();
  const auto snapped = at && view_.marks ? key_point_near(view_.range, kPictureSize, *at) : std::nullopt;
  if (trace_x_) {
    const double x = *trace_x_;
    readout_values_ = QStringLiteral("%1\t%2\t%3").arg(exact_text(x), exact_text(quartic(x)), exact_text(quartic_slope(x)));
    // Ten digits fit the line; Ctrl+Shift+C copies them all.
    text = QStringLiteral("trace  x = %1  f(x) = %2  f′(x) = %3")
               .arg(QString::number(x, 'g', 10), QString::number(quartic(x), 'g', 10),
                    QString::number(quartic_slope(x), 'g', 10));
  } else if (snapped) {
    readout_values_ = QStringLiteral("%1\t%2").arg(exact_text(snapped->x), exact_text(snapped->y));
    text = QStringLiteral("%1  x = %2  f(x) = %3").arg(kind_name(snapped->kind), exact_text(snapped->x), exact_text(snapped->y));
  } else if (at) {
    const double x = user_point(mapping_for(view_.range, kPictureSize), *at).x();
    readout_values_ = QStringLiteral("%1\t%2").arg(exact_text(x), exact_text(quartic(x)));
    text = coordinates_text(view_.range, kPictureSize, *at);
  }
  lbl_coordinates->setText(text);
}

void FrmMain::copy_values() const {
  if (readout_values_.isEmpty()) return;
  QGuiApplication::clipboard()->setText(readout_values_);
  announcer_->say(readout_values_.count(QLatin1Char('\t')) == 2 ? QStringLiteral("Copied x, f of x and the slope.")
                                                               : QStringLiteral("Copied x and f of x."));
}

QAction* FrmMain::add_action(const QString& text, const QKeySequence& keys, QWidget* where, Qt::ShortcutContext context) {
  auto* action = new QAction(text, where);
  action->setShortcut(keys);
  action->setShortcutContext(context);
  where->addAction(action);
  menu_actions_ << action;
  return action;
}

void FrmMain::show_menu(QPoint at) {
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("plot_menu"));
  for (QAction* action : std::as_const(menu_actions_)) {
    menu.addAction(action);
    if (action == menu_actions_[1] || action == act_trace || action == menu_actions_[menu_actions_.size() - 2])
      menu.addSeparator();
  }
  menu.exec(pic_plot->mapToGlobal(at));
}

QString FrmMain::description() const {
  return describe_plot(shown_plot(), bounds_of(view_.range), {view_.marks, trace_x_});
}

void FrmMain::refresh_plot() {
  pic_plot->refresh();
  pic_plot->setAccessibleDescription(description());
  // The toolkit sends none itself; screen readers that cache the description read it afresh.
  QAccessibleEvent changed(pic_plot, QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&changed);
}

void FrmMain::show_key_points(bool shown) {
  view_.marks = shown;
  refresh_plot();
  show_coordinates(pointer_);
  announcer_->say(spoken_key_points(bounds_of(view_.range), shown));
}

void FrmMain::set_trace(std::optional<double> x) {
  const bool started = x && !trace_x_;
  trace_x_ = x;
  act_trace->setChecked(x.has_value());
  if (x) step(following(exploring_, *x), Gesture::key);
  pic_plot->set_trace(x ? std::optional(QPointF(*x, quartic(*x))) : std::nullopt);
  pic_plot->setAccessibleDescription(description());
  show_coordinates(pointer_);
  const QString where = x ? spoken_trace(*x, bounds_of(view_.range)) + QLatin1Char('.') : QString();
  if (!x) announcer_->say(QStringLiteral("Trace off."));
  else if (started) announcer_->say(QStringLiteral("Trace on: ") + where);
  else announcer_->say_when_settled(where);
}

// One pixel column, or one sample at the last plot's clarity.
void FrmMain::step_trace(int direction, bool by_sample) {
  const RoundedRange r = view_.range;
  const double column = double(r.x2r - r.x1r) / (kPictureSize.width - 1);
  const double sample = view_.clarity > 0 ? 1.0 / view_.clarity : column;
  set_trace(*trace_x_ + direction * (by_sample ? sample : column));
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (watched != pic_plot) {
    // As Space does, and as buttons do on most desktops.
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    static_cast<QPushButton*>(watched)->click();
    return true;
  }
  const Qt::KeyboardModifiers modifiers = static_cast<QKeyEvent*>(event)->modifiers();
  if (trace_x_ && (key == Qt::Key_Left || key == Qt::Key_Right)) {
    step_trace(key == Qt::Key_Left ? -1 : 1, modifiers & Qt::ShiftModifier);
    return true;
  }
  if (trace_x_ && key == Qt::Key_Escape) {
    set_trace(std::nullopt);
    return true;
  }
  if (key == Qt::Key_Menu || (key == Qt::Key_F10 && modifiers & Qt::ShiftModifier)) {
    show_menu(pointer_ ? pic_plot->widget_point(*pointer_) : pic_plot->rect().center());
    return true;
  }
  switch (key) {
    case Qt::Key_Left: step(stepped(exploring_, ViewKey::left), Gesture::key); return true;
    case Qt::Key_Right: step(stepped(exploring_, ViewKey::right), Gesture::key); return true;
    case Qt::Key_Up: step(stepped(exploring_, ViewKey::up), Gesture::key); return true;
    case Qt::Key_Down: step(stepped(exploring_, ViewKey::down), Gesture::key); return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal: step(stepped(exploring_, ViewKey::zoom_in), Gesture::key); return true;
    case Qt::Key_Minus: step(stepped(exploring_, ViewKey::zoom_out), Gesture::key); return true;
    default: return false;
  }
}

void FrmMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (centred_) return;
  centred_ = true;
  centre_on_screen(this);
}

}  // namespace vesk
