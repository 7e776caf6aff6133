#include "main_window/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

#include "main_window/plot_file.h"
#include "main_window/plot_input.h"
#include "main_window/save_dialog.h"

namespace vesk {
namespace {

int fail(int status, QString message) {
  std::fprintf(stderr, "vesk-plot: %s\n", qPrintable(message.replace(QLatin1Char('\n'), QLatin1Char(' '))));
  return status;
}

}  // namespace

bool wants_command_line(const QStringList& arguments) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument.startsWith(QLatin1String("--")) || argument == QLatin1String("-h") ||
        argument == QLatin1String("-?") || argument == QLatin1String("-v"))
      return true;
  }
  return false;
}

int run_command_line(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Writes the plot of f(x) = x^3 - 2x^2 + x^4 + 3x that the window would save, without the window.\n"
      "The values are read as the boxes read them. The file's name chooses its format:\n"
      ".bmp (also the default extension), .jpg, .png, .svg or .pdf."));
  const QCommandLineOption output(QStringLiteral("output"),
                                  QStringLiteral("The file to write."), QStringLiteral("file"));
  const QCommandLineOption x_from(QStringLiteral("x-from"), QStringLiteral("X from (default -9)."),
                                  QStringLiteral("text"), QStringLiteral("-9"));
  const QCommandLineOption x_to(QStringLiteral("x-to"), QStringLiteral("X to (default 9)."), QStringLiteral("text"),
                                QStringLiteral("9"));
  const QCommandLineOption y_from(QStringLiteral("y-from"), QStringLiteral("Y from (default -9)."),
                                  QStringLiteral("text"), QStringLiteral("-9"));
  const QCommandLineOption y_to(QStringLiteral("y-to"), QStringLiteral("Y to (default 9)."), QStringLiteral("text"),
                                QStringLiteral("9"));
  const QCommandLineOption clarity(QStringLiteral("clarity"), QStringLiteral("Samples per unit (default 100)."),
                                   QStringLiteral("text"), QStringLiteral("100"));
  const QCommandLineOption by(QStringLiteral("by"),
                              QStringLiteral("Plot by line or by point; without it, the frame alone."),
                              QStringLiteral("line|point"));
  parser.addOptions({output, x_from, x_to, y_from, y_to, clarity, by});
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();

  if (!parser.parse(arguments)) return fail(2, parser.errorText());
  if (parser.isSet(help)) {
    std::fputs(qPrintable(parser.helpText()), stdout);
    return 0;
  }
  if (parser.isSet(version)) {
    std::printf("vesk-plot %s\n", qPrintable(QCoreApplication::applicationVersion()));
    return 0;
  }
  if (!parser.positionalArguments().isEmpty())
    return fail(2, QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().constFirst()));
  if (!parser.isSet(output)) return fail(2, QStringLiteral("--output FILE is needed to write a plot."));

  PlotMode mode = PlotMode::frame_only;
  if (parser.isSet(by)) {
    const QString value = parser.value(by);
    if (value == QLatin1String("line")) mode = PlotMode::line;
    else if (value == QLatin1String("point")) mode = PlotMode::point;
    else return fail(2, QStringLiteral("--by takes line or point, not '%1'.").arg(value));
  }
  const BoxTexts texts{parser.value(x_from), parser.value(x_to), parser.value(y_from), parser.value(y_to),
                       parser.value(clarity)};
  const PlotCheck check = check_plot_input(texts, mode);
  if (std::holds_alternative<EmptyRange>(check)) return fail(2, kEmptyRangeText);
  if (const auto* refusal = std::get_if<Refusal>(&check)) return fail(2, refusal->message);

  const QString file_name = with_default_extension(parser.value(output));
  if (const auto reason = save_plot_file(std::get<PlotRequest>(check), file_name))
    return fail(1, QStringLiteral("The plot could not be saved to %1: %2").arg(file_name, *reason));
  return 0;
}

}  // namespace vesk
