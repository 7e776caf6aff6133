#include "main_window/frm_main.h"

#include <QAccessible>
#include <QCheckBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QClipboard>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <thread>

#include "about/frm_about.h"
#include "description/key_list.h"
#include "description/spoken.h"
#include "files/plot_file.h"
#include "files/write_file.h"
#include "key_points/marks.h"
#include "main_window/main_layout.h"
#include "main_window/save_dialog.h"
#include "plot/plot.h"
#include "plot_area/plot_area.h"
#include "printing/page.h"
#include "sound/sound_player.h"
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
  pic_plot = new PlotArea(QSize(kPictureSize.width, kPictureSize.height), this);
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
  described_ = new QTimer(this);
  described_->setSingleShot(true);
  connect(described_, &QTimer::timeout, this, [this] {
    QAccessibleEvent changed(pic_plot, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
  });
  player_ = new SoundPlayer(this);
  // A sweep that could not start says why in the readout; a trace step's tone fails quietly, the readout keeping
  // the trace's values (H says why).
  connect(player_, &SoundPlayer::failed, this, [this](const QString& reason, SoundPlayer::Kind kind) {
    if (kind == SoundPlayer::Kind::tone) return;
    sound_line_ = reason;
    display({reason});
  });

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
  menu_group_ends_ << menu_actions_.size();  // the menu's groups: copying, the study and its sound, the view, files
  act_key_points = add_action(QStringLiteral("Key points"), QKeySequence(Qt::Key_K), pic_plot, Qt::WidgetShortcut);
  connect(act_key_points, &QAction::triggered, this, [this] { display(explorer_->toggle_key_points()); });
  act_numbers = add_action(QStringLiteral("Numbers"), QKeySequence(Qt::Key_N), pic_plot, Qt::WidgetShortcut);
  connect(act_numbers, &QAction::triggered, this, [this] { display(explorer_->toggle_numbers()); });
  act_trace = add_action(QStringLiteral("Trace"), QKeySequence(Qt::Key_T), pic_plot, Qt::WidgetShortcut);
  connect(act_trace, &QAction::triggered, this, [this] {
    display(explorer_->toggle_trace(now()));
    play_trace_tone();
  });
  for (QAction* checkable : {act_key_points, act_numbers, act_trace}) checkable->setCheckable(true);
  connect(add_action(QStringLiteral("Go to x"), QKeySequence(Qt::CTRL | Qt::Key_G), pic_plot, Qt::WidgetShortcut),
          &QAction::triggered, this, [this] { ask_trace_x({}); });
  // While tracing the arrows with Ctrl do it (the key filter); here for the menu, named with their keys.
  for (const auto& [name, direction] : {std::pair{"Next key point\tCtrl+Right", 1}, std::pair{"Previous key point\tCtrl+Left", -1}})
    connect(add_action(QLatin1String(name), {}, pic_plot, Qt::WidgetShortcut), &QAction::triggered, this, [this, direction] {
      display(explorer_->trace_to_key_point(direction, now()));
      play_trace_tone();
    });
  act_hear = add_action(QStringLiteral("Hear the curve"), QKeySequence(Qt::Key_H), pic_plot, Qt::WidgetShortcut);
  connect(act_hear, &QAction::triggered, this, [this] { hear(false); });
  connect(add_action(QStringLiteral("Hear from the marker"), QKeySequence(Qt::SHIFT | Qt::Key_H), pic_plot, Qt::WidgetShortcut),
          &QAction::triggered, this, [this] { hear(true); });
  for (const auto& [name, key, direction] : {std::tuple{"Shorter sweep", Qt::Key_BracketLeft, -1}, std::tuple{"Longer sweep", Qt::Key_BracketRight, 1}})
    connect(add_action(QLatin1String(name), QKeySequence(key), pic_plot, Qt::WidgetShortcut), &QAction::triggered, this,
            [this, direction] { display(explorer_->change_sweep(direction)); });
  act_reference = add_action(QStringLiteral("Reference tone"), QKeySequence(Qt::Key_R), pic_plot, Qt::WidgetShortcut);
  act_reference->setCheckable(true);
  connect(act_reference, &QAction::triggered, this, [this] { display(explorer_->toggle_reference()); });
  act_ticks = add_action(QStringLiteral("Grid ticks"), QKeySequence(Qt::Key_G), pic_plot, Qt::WidgetShortcut);
  act_ticks->setCheckable(true);
  connect(act_ticks, &QAction::triggered, this, [this] { display(explorer_->toggle_ticks()); });
  menu_group_ends_ << menu_actions_.size();
  connect(add_action(QStringLiteral("Fit y"), QKeySequence(Qt::Key_F), pic_plot, Qt::WidgetShortcut),
          &QAction::triggered, this, [this] { display(explorer_->fit_y(now())); });
  connect(add_action(QStringLiteral("Back"), QKeySequence::Back, this, Qt::WindowShortcut), &QAction::triggered, this,
          [this] { display(explorer_->back()); });
  connect(add_action(QStringLiteral("Forward"), QKeySequence::Forward, this, Qt::WindowShortcut), &QAction::triggered,
          this, [this] { display(explorer_->forward()); });
  connect(add_action(QStringLiteral("Home"), QKeySequence(Qt::Key_Home), pic_plot, Qt::WidgetShortcut),
          &QAction::triggered, this, [this] { display(explorer_->home(now())); });
  menu_group_ends_ << menu_actions_.size();
  // The button's access key does it; the menu names it after a tab, as a second shortcut would clash.
  connect(add_action(QStringLiteral("Seve plot\tAlt+S"), {}, this, Qt::WindowShortcut), &QAction::triggered, this,
          &FrmMain::save_plot);
  menu_group_ends_ << menu_actions_.size();
  connect(add_action(QStringLiteral("Print…"), QKeySequence::Print, this, Qt::WindowShortcut), &QAction::triggered, this,
          &FrmMain::print_plot);
  connect(add_action(QStringLiteral("Print preview…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), this, Qt::WindowShortcut),
          &QAction::triggered, this, &FrmMain::preview_plot);
  connect(add_action(QStringLiteral("Keys…"), QKeySequence(Qt::Key_F1), this, Qt::WindowShortcut), &QAction::triggered,
          this, &FrmMain::show_keys);
  pic_plot->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(pic_plot, &QWidget::customContextMenuRequested, this, &FrmMain::show_menu);
  connect(pic_plot, &PlotArea::wheel_turned, this, [this](QPoint angle, QPointF at, Qt::KeyboardModifiers modifiers) {
    // Ctrl zooms x alone, Shift y alone. Alt is left out: on X11 the toolkit turns Alt+wheel into a horizontal turn.
    const ZoomAxes axes = modifiers & Qt::ControlModifier ? ZoomAxes::x_only
                          : modifiers & Qt::ShiftModifier ? ZoomAxes::y_only
                                                          : ZoomAxes::both;
    display(explorer_->wheel(angle, at, axes, now()));
  });
  connect(pic_plot, &PlotArea::drag_started, this, [this](QPointF at) { explorer_->drag_started(at); });
  connect(pic_plot, &PlotArea::dragged, this, [this](QPointF at) { display(explorer_->dragged_to(at, now())); });
  connect(pic_plot, &PlotArea::drag_ended, this, [this] { explorer_->drag_ended(); });
  connect(pic_plot, &PlotArea::box_chosen, this,
          [this](QPointF corner, QPointF other) { display(explorer_->boxed_to(corner, other, now())); });
  connect(pic_plot, &PlotArea::pinched, this, [this](qreal change, QPointF at) { display(explorer_->pinched(change, at, now())); });
  connect(pic_plot, &PlotArea::history_button, this,
          [this](int direction) { display(direction < 0 ? explorer_->back() : explorer_->forward()); });
  connect(pic_plot, &PlotArea::pointer_moved, this, [this](QPointF at) {
    explorer_->pointer(at);
    display({});
  });
  connect(pic_plot, &PlotArea::pointer_left, this, [this] {
    explorer_->pointer(std::nullopt);
    display({});
  });
  for (QLineEdit* box : {txt_x1, txt_x2, txt_y1, txt_y2}) {
    // The next step starts afresh from what the boxes say; what was typed stays as typed.
    connect(box, &QLineEdit::textEdited, this, [this] {
      explorer_->typed(box_texts());
      boxes_view_ = explorer_->view();
    });
    connect(box, &QLineEdit::textChanged, box, [box] { fit_text(box); });
  }
  for (QWidget* watched : {static_cast<QWidget*>(pic_plot), static_cast<QWidget*>(cmd_plotline),
                           static_cast<QWidget*>(cmd_plotpoint), static_cast<QWidget*>(cmd_saveplot),
                           static_cast<QWidget*>(cmd_about)})
    watched->installEventFilter(this);
  save_asker_ = std::make_unique<SaveFileDialog>(this);

  // At start-up the plot area shows the frame for the range the boxes hold.
  explorer_ = std::make_unique<Explorer>(box_texts());
  boxes_view_ = explorer_->view();
  clock_.start();
  display({});
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
  if (explorer_->cleared()) return std::nullopt;
  return explorer_->picture();
}

qint64 FrmMain::now() const { return clock_.elapsed(); }

void FrmMain::display(const Said& said) {
  // The boxes follow the view's steps; what a plot command read, or what was typed, stays as it stands.
  if (explorer_->view() != boxes_view_) {
    boxes_view_ = explorer_->view();
    const RoundedRange range = explorer_->boxes();
    const std::pair<QLineEdit*, int> bounds[] = {{txt_x1, range.x1r}, {txt_x2, range.x2r}, {txt_y1, range.y1r},
                                                 {txt_y2, range.y2r}};
    for (const auto& [box, bound] : bounds) {
      if (box->text() == QString::number(bound)) continue;  // each change is an event a screen reader must go through
      box->setText(QString::number(bound));
      box->setCursorPosition(0);  // a box narrower than its number shows its start, the sign included
    }
  }
  const PlotRequest picture = explorer_->picture();
  if (!shown_picture_ || *shown_picture_ != std::pair(picture, explorer_->cleared())) {
    shown_picture_ = std::pair(picture, explorer_->cleared());
    pic_plot->show_plot(picture, explorer_->cleared());  // drawn at the next paint: a burst of steps draws once
    // The sound of a view no longer shown; a trace tone glides on to the step's in the view that follows it.
    if (!explorer_->trace_on() || player_->sweeping()) player_->stop();
    sound_line_.clear();
  }
  pic_plot->set_trace(explorer_->trace_point());
  // The readout's numbers shortened to the room the line has, never cut in the middle (a copy has every digit).
  QString readout = sound_line_.isEmpty() ? explorer_->readout() : sound_line_;
  const QFontMetrics metrics(lbl_coordinates->font());
  for (int digits = 16; sound_line_.isEmpty() && digits >= 3 && metrics.horizontalAdvance(readout) > lbl_coordinates->width(); --digits)
    readout = explorer_->readout(digits);
  lbl_coordinates->setText(readout);
  act_key_points->setChecked(explorer_->key_points_on());
  act_numbers->setChecked(explorer_->numbers_on());
  act_trace->setChecked(explorer_->trace_on());
  act_reference->setChecked(explorer_->reference_on());
  act_ticks->setChecked(explorer_->ticks_on());
  if (const QString description = explorer_->description(); description != pic_plot->accessibleDescription()) {
    pic_plot->setAccessibleDescription(description);
    // The toolkit sends none itself; screen readers that cache the description read it afresh, once a held key's
    // steps settle: one event a step floods them.
    described_->start(Announcer::kSettleMs);
  }
  if (said.line.isEmpty()) return;
  if (said.when_settled) announcer_->say_when_settled(said.line);
  else announcer_->say(said.line);
}

void FrmMain::plot(PlotMode mode) {
  const PlotCheck check = explorer_->plot(box_texts(), mode, now());
  boxes_view_ = explorer_->view();  // the boxes keep what the command read
  if (const auto* request = std::get_if<PlotRequest>(&check)) return display({spoken_plot(*request)});
  display({});
  // The two commands differ only in the icon of this message.
  if (std::holds_alternative<EmptyRange>(check))
    return show_message(kEmptyRangeTitle, kEmptyRangeText, mode == PlotMode::line);
  show_message(windowTitle(), std::get<Refusal>(check).message, true);
}

void FrmMain::save_plot() {
  if (saving_) return;  // one save at a time: the window answers while one is written
  const std::optional<QString> file_name = save_asker_->ask_file_name();
  if (!file_name) return;
  const QByteArray path = QFile::encodeName(*file_name);
  WriteOptions options;
  if (names_a_write_protected_file(path)) {
    QMessageBox ask(QMessageBox::Warning, windowTitle(),
                    QStringLiteral("%1 is write-protected. Replace it anyway?").arg(*file_name),
                    QMessageBox::No | QMessageBox::Yes, this);
    ask.setDefaultButton(QMessageBox::No);
    if (ask.exec() != QMessageBox::Yes) return;
    options.replace_protected = true;
  }
  // Written off the event loop, which runs meanwhile: a slow disk or a pipe's slow reader freezes nothing.
  const QByteArray bytes = encode_plot(shown_plot(), format_for_file_name(*file_name));
  std::optional<QString> reason;
  QEventLoop written;
  saving_ = true;
  std::thread writer([&] {
    reason = write_file(bytes, path, options);
    QMetaObject::invokeMethod(&written, &QEventLoop::quit, Qt::QueuedConnection);
  });
  written.exec();
  writer.join();
  saving_ = false;
  if (reason)
    return show_message(windowTitle(), QStringLiteral("The plot could not be saved to\n%1\n\n%2").arg(*file_name, *reason), true);
  // A cancel says nothing; a save must not sound the same. After the window
  // has the focus back, whose presentation would cut the line short.
  // A name without a format's extension gets a bitmap, and is told so.
  announcer_->say_when_back(format_of_extension(*file_name) ? QStringLiteral("Saved as %1.").arg(QFileInfo(*file_name).fileName())
                                                            : QStringLiteral("Saved as %1, a Bitmap picture.").arg(QFileInfo(*file_name).fileName()));
}

void FrmMain::tell(const QStringList& lines) {
  if (lines.isEmpty()) return;
  sound_line_ = lines.join(QLatin1Char(' '));
  lbl_coordinates->setText(sound_line_);
  announcer_->say(sound_line_);
}

void FrmMain::copy_plot() const {
  QGuiApplication::clipboard()->setImage(picture_with_marks(shown_plot()));
  announcer_->say(QStringLiteral("Copied the picture."));
}

void FrmMain::print_plot() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QStringLiteral("Vesk Plot"));
  QPrintDialog asked(&printer, this);
  // The caption under the plot, on by default: a tab of the toolkit's dialog.
  QCheckBox caption(QStringLiteral("A caption under the plot: the function, the view, the clarity"));
  caption.setWindowTitle(QStringLiteral("Caption"));
  caption.setChecked(true);
  asked.setOptionTabs({&caption});
  if (asked.exec() != QDialog::Accepted) return;
  const QString where = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
  QPainter painter;
  const bool begun = painter.begin(&printer);
  if (begun) paint_page(painter, printer.pageRect(QPrinter::DevicePixel).translated(-printer.pageRect(QPrinter::DevicePixel).topLeft()),
                        shown_plot(), caption.isChecked());
  const bool ended = begun && painter.end();
  // Said in the readout and aloud: a message box would keep the one who asked from the next job.
  if (!ended || printer.printerState() == QPrinter::Error)
    return tell({QStringLiteral("The plot could not be printed on %1: the printer or the print system did not take it.").arg(where)});
  announcer_->say_when_back(QStringLiteral("Printed to %1.").arg(where));
}

void FrmMain::preview_plot() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintPreviewDialog preview(&printer, this);
  connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* page) {
    QPainter painter(page);
    paint_page(painter, page->pageRect(QPrinter::DevicePixel).translated(-page->pageRect(QPrinter::DevicePixel).topLeft()),
               shown_plot(), true);
  });
  preview.exec();
}

void FrmMain::show_keys() {
  QMessageBox keys(QMessageBox::NoIcon, QStringLiteral("Keys"), plot_area_keys(), QMessageBox::Close, this);
  keys.setTextFormat(Qt::PlainText);
  keys.exec();
}

void FrmMain::copy_values() const {
  const QString values = explorer_->copied_values();
  if (values.isEmpty())
    return announcer_->say(QStringLiteral("Nothing to copy: point at the plot, or trace it, first."));
  QGuiApplication::clipboard()->setText(values);
  announcer_->say(values.count(QLatin1Char('\t')) == 2 ? QStringLiteral("Copied x, f of x and the slope.")
                                                      : QStringLiteral("Copied x and f of x."));
}

void FrmMain::ask_trace_x(const QString& typed) {
  QInputDialog asked(this);
  asked.setWindowTitle(QStringLiteral("Go to x"));
  asked.setLabelText(QStringLiteral("x:"));
  asked.setTextValue(typed);
  // The character typed stays, the caret after it: the next key goes on with the number, not over it.
  QTimer::singleShot(0, &asked, [&asked] {
    if (auto* box = asked.findChild<QLineEdit*>()) box->deselect(), box->end(false);
  });
  if (asked.exec() != QDialog::Accepted) return;
  const QString text = asked.textValue();
  if (const auto reason = explorer_->go_to(text, now())) return show_message(windowTitle(), *reason, true);
  display(explorer_->trace_said());
  play_trace_tone();
}

void FrmMain::hear(bool from_marker) {
  if (player_->sweeping()) {
    player_->stop();
    return announcer_->say(QStringLiteral("Stopped."));
  }
  auto [sound, line] = explorer_->sweep(from_marker);
  if (!sound) return announcer_->say(line);
  if (const auto reason = player_->play(std::move(*sound), SoundPlayer::Kind::sweep)) {
    sound_line_ = *reason;
    return display({*reason});
  }
  announcer_->say(line);
}

void FrmMain::play_trace_tone() {
  if (const auto point = explorer_->trace_point())
    player_->play(CurveSound::trace_tone(explorer_->picture(), point->x(), Channels::stereo), SoundPlayer::Kind::tone);
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
  qsizetype listed = 0;
  for (QAction* action : std::as_const(menu_actions_)) {
    menu.addAction(action);
    if (menu_group_ends_.contains(++listed)) menu.addSeparator();
  }
  // Opened on its first entry, so that a screen reader says the menu and where in it the keys are.
  QTimer::singleShot(0, &menu, [&menu] { menu.setActiveAction(menu.actions().constFirst()); });
  menu.exec(pic_plot->mapToGlobal(at));
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key_event = static_cast<QKeyEvent*>(event);
  const int key = key_event->key();
  if (watched != pic_plot) {
    // As Space does, and as buttons do on most desktops.
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    static_cast<QPushButton*>(watched)->click();
    return true;
  }
  const Qt::KeyboardModifiers modifiers = key_event->modifiers();
  const bool tracing = explorer_->trace_on();
  if (tracing && (key == Qt::Key_Left || key == Qt::Key_Right)) {
    const int direction = key == Qt::Key_Left ? -1 : 1;
    display(modifiers & Qt::ControlModifier ? explorer_->trace_to_key_point(direction, now())
                                            : explorer_->trace_step(direction, modifiers & Qt::ShiftModifier, now()));
    play_trace_tone();
    return true;
  }
  if (key == Qt::Key_Escape && (tracing || player_->sweeping())) {
    const bool playing = player_->sweeping();
    if (playing) player_->stop();
    if (tracing) display(explorer_->end_trace());
    else announcer_->say(QStringLiteral("Stopped."));
    return true;
  }
  // A number typed while tracing is the x to go to (+ and − zoom, as everywhere; a minus sign goes by Ctrl+G).
  if (tracing && !key_event->text().isEmpty() && QStringLiteral("0123456789.").contains(key_event->text()[0])) {
    ask_trace_x(key_event->text());
    return true;
  }
  if (key == Qt::Key_F1) {
    show_keys();
    return true;
  }
  if (key == Qt::Key_Menu || (key == Qt::Key_F10 && modifiers & Qt::ShiftModifier)) {
    const std::optional<QPointF> pointer = explorer_->pointer_position();
    show_menu(pointer ? pic_plot->widget_point(*pointer) : pic_plot->rect().center());
    return true;
  }
  const std::pair<int, ViewKey> keys[] = {{Qt::Key_Left, ViewKey::left}, {Qt::Key_Right, ViewKey::right},
                                          {Qt::Key_Up, ViewKey::up},     {Qt::Key_Down, ViewKey::down},
                                          {Qt::Key_Plus, ViewKey::zoom_in}, {Qt::Key_Equal, ViewKey::zoom_in},
                                          {Qt::Key_Minus, ViewKey::zoom_out}};
  for (const auto& [code, view_key] : keys)
    if (key == code) {
      display(explorer_->key(view_key, now()));
      return true;
    }
  return false;
}

void FrmMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (centred_) return;
  centred_ = true;
  centre_on_screen(this);
}

}  // namespace vesk
