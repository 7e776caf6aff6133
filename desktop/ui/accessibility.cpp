#include "ui/accessibility.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace vesk {
namespace {

constexpr const char* kRoleProperty = "vesk_accessible_role";

QAccessibleInterface* with_chosen_role(const QString&, QObject* object) {
  if (object == nullptr || !object->isWidgetType()) return nullptr;
  const QVariant role = object->property(kRoleProperty);
  if (!role.isValid()) return nullptr;
  return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Role(role.toInt()));
}

}  // namespace

void set_accessible_role(QWidget* widget, QAccessible::Role role) {
  static const bool installed = [] {
    QAccessible::installFactory(with_chosen_role);
    return true;
  }();
  (void)installed;
  widget->setProperty(kRoleProperty, int(role));
}

SpokenLabel::SpokenLabel(QLabel* label) : QObject(label), label_(label), pause_(new QTimer(this)) {
  // A name of its own, so that the label's text changes send no event; ours follow, paced.
  label_->setAccessibleName(QStringLiteral(" "));
  pause_->setSingleShot(true);
  pause_->setInterval(kSpokenMs);
  connect(pause_, &QTimer::timeout, this, [this] {
    label_->setAccessibleName(label_->text().isEmpty() ? QStringLiteral(" ") : label_->text());
  });
}

void SpokenLabel::set_text(const QString& text) {
  label_->setText(text);
  if (!pause_->isActive()) pause_->start();
}

}  // namespace vesk
