#pragma once
// The program without its window: `vesk-plot --output FILE` writes the plot the
// window would save, and needs no graphical session. The options take text
// exactly as the boxes do.

#include <QByteArray>
#include <QStringList>

namespace vesk {

// The arguments as text that keeps every byte: UTF-8 where they are UTF-8,
// any other byte as a lone surrogate U+DC80 … U+DCFF, so that a file name that
// is not UTF-8 comes back as it was given, never as another file's name.
QString argument_text(const QByteArray& bytes);
QByteArray argument_bytes(const QString& text);

// Whether the arguments ask for the command line rather than the window: any
// argument but the toolkit's own options (-platform xcb, --platform xcb …),
// which the window takes. An argument neither knows is the command line's to
// refuse.
bool wants_command_line(const QStringList& arguments);

// Runs it, with a QCoreApplication alive. Success is silent; the exit status is
// 0 when the file was written, 1 when the write failed (with the reason on one
// line of standard error; an earlier file of that name is kept), 2 when the
// input or the options were refused (the window's message, on one line).
int run_command_line(const QStringList& arguments);

}  // namespace vesk
