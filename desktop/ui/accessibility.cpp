#include "ui/accessibility.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <utility>

#include "ui/text_pieces.h"

namespace vesk {
namespace {

constexpr const char* kRoleProperty = "vesk_accessible_role";

// A widget with a role of our choosing; a press action where it has an activate() slot.
class ChosenRole : public QAccessibleWidget {
 public:
  ChosenRole(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (activates()) names.prepend(pressAction());
    return names;
  }
  void doAction(const QString& name) override {
    if (name == pressAction() && activates()) QMetaObject::invokeMethod(widget(), "activate");
    else QAccessibleWidget::doAction(name);
  }

 private:
  bool activates() const { return widget()->metaObject()->indexOfSlot("activate()") >= 0; }
};

// A text box, answered from its text and its selection as they are.
class Box : public QAccessibleWidget, public QAccessibleTextInterface, public QAccessibleEditableTextInterface {
 public:
  explicit Box(QLineEdit* box) : QAccessibleWidget(box, QAccessible::EditableText) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface) return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QString text(QAccessible::Text which) const override {
    if (which == QAccessible::Value && shown()) return box()->text();
    return QAccessibleWidget::text(which);
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = box()->isReadOnly();
    state.editable = !box()->isReadOnly();
    state.passwordEdit = !shown();
    state.selectableText = true;
    return state;
  }

  QString text(int start, int end) const override { return shown() && start <= end ? box()->text().mid(start, end - start) : QString(); }
  int characterCount() const override { return int(box()->text().size()); }
  int cursorPosition() const override { return box()->cursorPosition(); }
  void setCursorPosition(int position) override { box()->setCursorPosition(position); }
  // The selection whole: its start and one past its end.
  void selection(int index, int* start, int* end) const override {
    *start = *end = 0;
    if (index != 0 || !box()->hasSelectedText()) return;
    *start = box()->selectionStart();
    *end = *start + box()->selectionLength();
  }
  int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
  void addSelection(int start, int end) override { setSelection(0, start, end); }
  void removeSelection(int index) override {
    if (index == 0) box()->deselect();
  }
  void setSelection(int index, int start, int end) override {
    if (index == 0) box()->setSelection(start, end - start);
  }
  // One run without attributes, the whole text: a run that ends where it starts
  // (the toolkit's answer) makes a screen reader drop the last character.
  QString attributes(int, int* start, int* end) const override {
    *start = 0;
    *end = characterCount();
    return {};
  }
  QRect characterRect(int offset) const override {
    const QString all = box()->text();
    if (!shown() || offset < 0 || offset >= all.size()) return {};
    // The text as drawn from the box's start (the boxes show their start): after the frame and the margins.
    const QFontMetrics metrics(box()->font());
    const int x = box()->contentsRect().left() + box()->textMargins().left() + 2 + metrics.horizontalAdvance(all.left(offset));
    const QRect character(x, (box()->height() - metrics.height()) / 2, metrics.horizontalAdvance(all.mid(offset, 1)), metrics.height());
    return character.translated(box()->mapToGlobal(QPoint(0, 0)));
  }
  int offsetAtPoint(const QPoint& point) const override { return box()->cursorPositionAt(box()->mapFromGlobal(point)); }
  void scrollToSubstring(int start, int end) override {
    box()->setCursorPosition(end);
    box()->setCursorPosition(start);
  }
  QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override {
    return piece(offset, type, Around::before, start, end);
  }
  QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override {
    return piece(offset, type, Around::at, start, end);
  }
  QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override {
    return piece(offset, type, Around::after, start, end);
  }

  void deleteText(int start, int end) override { edited(box()->text().remove(start, end - start)); }
  void insertText(int offset, const QString& text) override { edited(box()->text().insert(offset, text)); }
  void replaceText(int start, int end, const QString& text) override {
    edited(box()->text().replace(start, end - start, text));
  }

 private:
  QLineEdit* box() const { return static_cast<QLineEdit*>(widget()); }
  bool shown() const { return box()->echoMode() == QLineEdit::Normal; }
  void edited(const QString& text) {
    if (!box()->isReadOnly()) box()->setText(text);
  }
  QString piece(int offset, QAccessible::TextBoundaryType type, Around where, int* start, int* end) const {
    if (!shown()) {
      *start = *end = -1;
      return {};
    }
    if (offset == -2) offset = cursorPosition();  // the toolkit's "at the caret"
    const PieceKind kind = type == QAccessible::CharBoundary   ? PieceKind::character
                           : type == QAccessible::WordBoundary ? PieceKind::word
                                                               : PieceKind::line;
    const TextPiece found = text_piece(box()->text(), offset, kind, where);
    *start = found.start;
    *end = found.end;
    return box()->text().mid(found.start, found.end - found.start);
  }
};

// A command of the plot area's menu, named with its key: "Key points, K",
// "Seve plot, Alt+S" (a key that the menu shows after a tab, since a second
// shortcut would clash with the button's access key).
class MenuEntry : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  explicit MenuEntry(QAction* action) : action_(action) {}

  bool isValid() const override { return !action_.isNull(); }
  QObject* object() const override { return action_; }
  QWindow* window() const override { return menu() ? menu()->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(menu()); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessible::Role role() const override { return QAccessible::MenuItem; }
  QString text(QAccessible::Text which) const override {
    const QString caption = action_->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
    if (which == QAccessible::Name) return key().isEmpty() ? caption : caption + QStringLiteral(", ") + key();
    return which == QAccessible::Accelerator ? key() : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    QMenu* shown = menu();
    return shown ? shown->actionGeometry(action_).translated(shown->mapToGlobal(QPoint(0, 0))) : QRect();
  }
  QAccessible::State state() const override {
    QAccessible::State state;
    QMenu* shown = menu();
    state.invisible = shown == nullptr || !shown->isVisible();
    state.focused = shown != nullptr && shown->activeAction() == action_;
    state.focusable = true;
    state.disabled = !action_->isEnabled();
    state.checkable = action_->isCheckable();
    state.checked = action_->isChecked();
    return state;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction() && action_->isEnabled()) action_->trigger();
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QString key() const {
    const QString after_tab = action_->text().section(QLatin1Char('\t'), 1);
    return after_tab.isEmpty() ? action_->shortcut().toString(QKeySequence::NativeText) : after_tab;
  }
  QMenu* menu() const {
    QMenu* found = nullptr;
    for (QObject* holder : action_->associatedObjects())
      if (auto* candidate = qobject_cast<QMenu*>(holder); candidate && (!found || candidate->isVisible())) found = candidate;
    return found;
  }
  QPointer<QAction> action_;
};

QAccessibleInterface* interface_for(const QString&, QObject* object) {
  if (auto* action = qobject_cast<QAction*>(object)) {
    const QList<QObject*> holders = action->associatedObjects();
    const bool in_a_menu =
        std::any_of(holders.begin(), holders.end(), [](QObject* holder) { return qobject_cast<QMenu*>(holder) != nullptr; });
    return in_a_menu && !action->isSeparator() ? new MenuEntry(action) : nullptr;
  }
  if (object == nullptr || !object->isWidgetType()) return nullptr;
  if (auto* box = qobject_cast<QLineEdit*>(object)) return new Box(box);
  const QVariant role = object->property(kRoleProperty);
  if (!role.isValid()) return nullptr;
  return new ChosenRole(static_cast<QWidget*>(object), QAccessible::Role(role.toInt()));
}

}  // namespace

void install_accessible_interfaces() {
  static const bool installed = [] {
    QAccessible::installFactory(interface_for);
    return true;
  }();
  (void)installed;
}

void set_accessible_role(QWidget* widget, QAccessible::Role role) {
  install_accessible_interfaces();
  widget->setProperty(kRoleProperty, int(role));
}

Announcer::Announcer(QWidget* window)
    : QObject(window), status_(new QWidget(window)), voice_(new QWidget(status_)), settle_(new QTimer(this)),
      window_(window) {
  window->installEventFilter(this);
  set_accessible_role(status_, QAccessible::StatusBar);
  set_accessible_role(voice_, QAccessible::Notification);
  status_->hide();
  settle_->setSingleShot(true);
  settle_->setInterval(kSettleMs);
  connect(settle_, &QTimer::timeout, this, [this] { say_now(waiting_); });
}

void Announcer::say(const QString& line) {
  if (said_.isValid() && said_.elapsed() < kSettleMs) return say_when_settled(line);
  say_now(line);
}

void Announcer::say_now(const QString& line) {
  settle_->stop();
  said_.start();
  last_ = line;
  status_->setAccessibleName(line);
  voice_->setAccessibleName(line);
  QAccessibleEvent shown(voice_, QAccessible::ObjectShow);
  QAccessible::updateAccessibility(&shown);
}

void Announcer::say_when_settled(const QString& line) {
  waiting_ = line;
  said_.start();  // a burst's steps keep it from being said until they stop
  settle_->start(kSettleMs);
}

void Announcer::say_when_back(const QString& line) {
  if (!window_->isActiveWindow()) {
    after_return_ = line;
    return;
  }
  waiting_ = line;
  settle_->start(kBackMs);
}

bool Announcer::eventFilter(QObject*, QEvent* event) {
  if (event->type() == QEvent::WindowActivate && !after_return_.isEmpty()) {
    waiting_ = std::exchange(after_return_, {});
    settle_->start(kBackMs);
  }
  return false;
}

}  // namespace vesk
