#pragma once
// `frm_about`: a borderless, application-modal window with a background
// picture, a credit line, a web link, an e-mail link and a round close picture.
// It fades in when shown and fades out, then hides, when the close picture is
// clicked. One instance lives from its first showing to the end of the program.

#include <QDialog>

#include "about/fade.h"

class QGraphicsOpacityEffect;
class QTimer;

namespace vesk {

class ClickableLabel;

// What a listener is told when the window opens.
inline const QString kClosingHint = QStringLiteral("Escape or the close button closes this window.");

// The addresses handed to the system, kept apart from the captions shown.
inline const QString kWebAddress = QStringLiteral("https://www.vesk.example.com/");
inline const QString kMailAddress = QStringLiteral("mailto:vesk@example.com");

// The screen scales the pictures are drawn for, each pixel for pixel: a scale
// between them would resample, which softens a picture's edges.
inline constexpr qreal kPictureScales[] = {1, 1.25, 1.5, 1.75, 2, 3};
// A picture of the About window drawn for the scale nearest `device_pixel_ratio`.
QPixmap about_picture(const QString& name, qreal device_pixel_ratio);

class FrmAbout : public QDialog {
  Q_OBJECT

 public:
  // `over` is the main window: the About window shows over it, on its screen.
  FrmAbout(const QFont& font, QWidget* over);

  // Starts a fresh fade-in and shows the window modally; returns once the
  // fade-out has hidden it.
  void show_modal();

  const Fade& fade() const { return fade_; }

 protected:
  // Escape or a close request fades out, as the close picture does.
  void reject() override;

 private:
  ClickableLabel* add_label(const char* name, QRect place, const QString& caption);
  void carry_out(Fade::Step step);
  // Applies `TranslucenceLevel` (0 … 255): as the window's opacity where the
  // platform has one, else as the alpha its content is painted with over a
  // transparent window (Wayland), so the same levels show at the same times.
  void TranslucentForm(int TranslucenceLevel);

  QWidget* over_;
  QWidget* content_;
  QGraphicsOpacityEffect* painted_opacity_ = nullptr;  // where the platform has no window opacity
  Fade fade_;
  QTimer* Timer1;
  QWidget* first_focus_ = nullptr;
};

}  // namespace vesk
