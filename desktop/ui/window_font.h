#pragma once

#include <QFont>
#include <functional>

class QLineEdit;

namespace vesk {

// The font of the program's windows. The layouts were made for a narrow
// 8-point system font: a condensed face at 11 pixels keeps every caption in its
// place. Where the desktop lacks that face (or substitutes a wider one), the
// first of a few sans-serif faces and sizes at which `fits` holds, measured
// with the toolkit's font metrics. Every size is times the layout's scale.
QFont window_font(const std::function<bool(const QFont&)>& fits);
// The first of those: what the windows use where the desktop has it.
QFont preferred_window_font();

// How much larger than the design the desktop's text is, in quarter steps and
// at least 1: its font against the toolkit's own default (9 points, 12 pixels
// at 96 dots per inch), or the font a style sheet gives a label against the
// windows' 11 pixels, whichever is larger.
double text_scale(int desktop_pixels, int styled_pixels);
// The same, of the running application: its font, its style sheet.
double application_text_scale();

// A box's text shown whole: the font narrowed, pixel by pixel down to 6
// pixels, while the text would run past the box's edge (a box cuts the last
// digit of "-32768" otherwise); the window's font again where it fits.
void fit_text(QLineEdit* box);

}  // namespace vesk
