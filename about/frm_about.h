#pragma once
// `frm_about`: a borderless, application-modal window with a background
// picture, a credit line, a web link, an e-mail link and a round close picture.
// It fades in when shown and fades out, then hides, when the close picture is
// clicked. One instance lives from its first showing to the end of the program.

#include <QDialog>

#include "about/fade.h"

class QTimer;

namespace vesk {

class ClickableLabel;

// The addresses handed to the system, kept apart from the captions shown.
inline const QString kWebAddress = QStringLiteral("https://www.vesk.example.com/");
inline const QString kMailAddress = QStringLiteral("mailto:vesk@example.com");

// Applies `TranslucenceLevel` (0 … 255) as the window's opacity. True when the
// platform took it; callers ignore the result, as a window that cannot be
// translucent is still usable.
bool TranslucentForm(QWidget* frm, int TranslucenceLevel);

class FrmAbout : public QDialog {
  Q_OBJECT

 public:
  FrmAbout();

  // Starts a fresh fade-in and shows the window modally; returns once the
  // fade-out has hidden it.
  void show_modal();

  const Fade& fade() const { return fade_; }

 protected:
  // Escape or a close request fades out, as the close picture does.
  void reject() override;

 private:
  ClickableLabel* add_label(const char* name, const QString& caption);
  void carry_out(Fade::Step step);

  Fade fade_;
  QTimer* Timer1;
};

}  // namespace vesk
