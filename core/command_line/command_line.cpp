#include "command_line/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <tuple>
#include <vector>
#include <unistd.h>

#include "files/plot_file.h"
#include "files/descriptors.h"
#include "files/write_file.h"
#include "key_points/key_points.h"
#include "reading/plot_input.h"
#include "sound/curve_sound.h"
#include "view/steps.h"

namespace vesk {
namespace {

// The toolkit's own options, which it takes with one dash or two: those that
// take a value, then those that do not.
const QStringList kToolkitOptionsWithValue{
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon", "qwindowtitle",
    "session", "display", "geometry", "title", "icon", "name", "style", "stylesheet"};
const QStringList kToolkitFlags{"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"};

// The option's name without its dashes, or an empty string for an argument that is not an option.
QString option_name(const QString& argument) {
  if (!argument.startsWith(QLatin1Char('-')) || argument.size() < 2) return {};
  return argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1).section(QLatin1Char('='), 0, 0);
}

int fail(int status, QString message) {
  // The names in it as the bytes they were given as.
  std::fprintf(stderr, "vesk-plot: %s\n", argument_bytes(message.replace(QLatin1Char('\n'), QLatin1Char(' '))).constData());
  return status;
}

// What was printed, all of it, reached standard output: else status 1.
int printed() {
  if (files::was_closed_at_start(STDOUT_FILENO))
    return fail(1, QStringLiteral("standard output was closed when the program started: nothing could be printed."));
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
  return fail(1, QStringLiteral("standard output could not be written: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
}

// "x1,x2,y1,y2" (or blanks between), each as a double reads in every locale.
std::optional<Bounds> view_named(const QString& text) {
  const QStringList parts = text.split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts);
  if (parts.size() != 4) return std::nullopt;
  double values[4];
  for (int i = 0; i < 4; ++i) {
    bool number = false;
    values[i] = parts[i].toDouble(&number);
    if (!number) return std::nullopt;
  }
  const Bounds bounds{values[0], values[1], values[2], values[3]};
  return within_limits(bounds) ? std::optional(bounds) : std::nullopt;
}

// What a name writes to, to tell two names that are one: standard output, or a file, by its inode where it is
// there, else by its whole cleaned name. /dev/null takes any number of writers.
struct Target {
  bool standard_output = false;
  dev_t device = 0;
  ino_t inode = 0;
  QString name;
  bool same_as(const Target& other) const {
    if (standard_output || other.standard_output) return standard_output == other.standard_output;
    return inode || other.inode ? device == other.device && inode == other.inode : name == other.name;
  }
};

Target target_of(const QByteArray& name) {
  if (name == "-" || name == "/dev/stdout" || name == "/dev/fd/1" || name == "/proc/self/fd/1") return {true};
  struct stat named {}, standard {};
  if (::stat(name.constData(), &named) != 0) return {false, 0, 0, QFileInfo(QFile::decodeName(name)).absoluteFilePath()};
  if (S_ISCHR(named.st_mode) && named.st_rdev == makedev(1, 3)) return {false, 0, 0, QString()};  // /dev/null
  if (::fstat(STDOUT_FILENO, &standard) == 0 && named.st_dev == standard.st_dev && named.st_ino == standard.st_ino)
    return {true};
  return {false, named.st_dev, named.st_ino, QString()};
}

bool is_folder(const QByteArray& path) {
  struct stat status {};
  return path.endsWith('/') || (::stat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode));
}

}  // namespace

QString argument_text(const QByteArray& bytes) {
  // The smallest code point each length of sequence may hold: longer forms are not UTF-8.
  static constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
  QString text;
  for (qsizetype i = 0; i < bytes.size();) {
    const auto lead = uchar(bytes[i]);
    const int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    char32_t code = lead & (length == 1 ? 0x7F : 0xFF >> (length + 1));
    bool valid = length > 0 && i + length <= bytes.size();
    for (int k = 1; valid && k < length; ++k) {
      valid = (uchar(bytes[i + k]) & 0xC0) == 0x80;
      code = (code << 6) | (uchar(bytes[i + k]) & 0x3F);
    }
    if (valid && code >= kShortest[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
      text += QString::fromUcs4(&code, 1);
      i += length;
    } else {
      text += QChar(char16_t(0xDC00 + lead));
      ++i;
    }
  }
  return text;
}

QByteArray argument_bytes(const QString& text) {
  QByteArray bytes;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i].unicode();
    if (unit >= 0xDC80 && unit <= 0xDCFF) {  // a byte that was not UTF-8 (a pair's second half is taken with its first)
      bytes += char(unit - 0xDC00);
      continue;
    }
    const bool pair = QChar::isHighSurrogate(unit) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode());
    bytes += text.mid(i, pair ? 2 : 1).toUtf8();
    i += pair;
  }
  return bytes;
}

bool wants_command_line(const QStringList& arguments) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString name = option_name(arguments[i]);
    if (kToolkitOptionsWithValue.contains(name) && !arguments[i].contains(QLatin1Char('='))) ++i;
    else if (!kToolkitOptionsWithValue.contains(name) && !kToolkitFlags.contains(name)) return true;
  }
  return false;
}

int run_command_line(const QStringList& arguments) {
  QCommandLineParser parser;
  // -o and the toolkit's -platform alike: a single dash starts a whole word.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(QStringLiteral(
      "Writes the plot of f(x) = x^3 - 2x^2 + x^4 + 3x that the window would save, without the window.\n"
      "The values are read as the boxes read them. The file's extension chooses its format\n"
      "(bmp, jpg, png, svg or pdf; .bmp is added to a name without one), or --format does."));
  const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                  QStringLiteral("The file to write; - for standard output."), QStringLiteral("file"));
  const QCommandLineOption format(QStringLiteral("format"),
                                  QStringLiteral("The file's format: bmp, jpg, png, svg or pdf (default: by the "
                                                 "name's extension; bmp for standard output)."),
                                  QStringLiteral("name"));
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
  const QCommandLineOption key_points_option(
      QStringLiteral("key-points"),
      QStringLiteral("Print the curve's key points in the X range, one a line: KIND X Y (root, minimum, maximum "
                     "or inflection; 17 significant digits). No file needed."));
  const QCommandLineOption marks(QStringLiteral("marks"), QStringLiteral("Mark the key points in the picture."));
  const QCommandLineOption view(
      QStringLiteral("view"),
      QStringLiteral("Write a view as the window shows it after exploring: X FROM, X TO, Y FROM, Y TO, unrounded "
                     "(commas or blanks between them), with grid lines at round spacings and their numbers; the "
                     "curve's samples are those the other options' plot command takes."),
      QStringLiteral("x1,x2,y1,y2"));
  const QCommandLineOption no_numbers(QStringLiteral("no-numbers"), QStringLiteral("With --view: the grid without its numbers."));
  const QCommandLineOption audio(
      QStringLiteral("audio"),
      QStringLiteral("Write the sound of the view (what the window's H plays) as a WAV file; - for standard output. "
                     "Needs --by."),
      QStringLiteral("file"));
  const QCommandLineOption duration(QStringLiteral("duration"),
                                    QStringLiteral("With --audio: the sweep's length in seconds, 0.5 … 60 (default 3)."),
                                    QStringLiteral("seconds"));
  const QCommandLineOption mono(QStringLiteral("mono"), QStringLiteral("With --audio: one channel, not stereo."));
  const QCommandLineOption no_reference(QStringLiteral("no-reference"),
                                        QStringLiteral("With --audio: without the quiet tone at y = 0 (the window's R)."));
  const QCommandLineOption ticks(QStringLiteral("ticks"),
                                 QStringLiteral("With --audio: a tick at each x grid line (the window's G)."));
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?")},
                                QStringLiteral("Displays this help."));
  parser.addOptions({output, format, x_from, x_to, y_from, y_to, clarity, by, key_points_option, marks, view, no_numbers, audio, duration, mono, no_reference, ticks,
                     help});
  const QCommandLineOption version = parser.addVersionOption();
  // Accepted beside ours and left to the toolkit, as the window does.
  for (const QStringList* names : {&kToolkitOptionsWithValue, &kToolkitFlags}) {
    for (const QString& name : *names) {
      QCommandLineOption option(name, QString());
      if (names == &kToolkitOptionsWithValue) option.setValueName(QStringLiteral("value"));
      option.setFlags(QCommandLineOption::HiddenFromHelp);
      parser.addOption(option);
    }
  }

  if (!parser.parse(arguments)) return fail(2, parser.errorText());
  // An option given twice would leave one of its values unused without a word.
  const QStringList given = parser.optionNames();
  for (const QCommandLineOption* option : {&output, &format, &x_from, &x_to, &y_from, &y_to, &clarity, &by,
                                           &key_points_option, &marks, &view, &no_numbers, &audio, &duration, &mono, &no_reference, &ticks}) {
    const auto times = std::count_if(given.begin(), given.end(), [&](const QString& name) { return option->names().contains(name); });
    if (times > 1) return fail(2, QStringLiteral("--%1 is given %2 times; give it once.").arg(option->names().constLast()).arg(times));
  }
  if (parser.isSet(help)) {
    std::fputs(qPrintable(parser.helpText()), stdout);
    return printed();
  }
  if (parser.isSet(version)) {
    std::printf("vesk-plot %s\n", qPrintable(QCoreApplication::applicationVersion()));
    return printed();
  }
  if (!parser.positionalArguments().isEmpty())
    return fail(2, QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().constFirst()));
  if (!parser.isSet(output) && !parser.isSet(key_points_option) && !parser.isSet(audio))
    return fail(2, QStringLiteral("--output FILE is needed to write a plot."));
  for (const QCommandLineOption* named : {&output, &audio})
    if (parser.isSet(*named) && parser.value(*named).isEmpty())
      return fail(2, QStringLiteral("--%1 needs a file name, or - for standard output.").arg(named->names().constLast()));
  double seconds = kDefaultSeconds;
  if ((parser.isSet(duration) || parser.isSet(mono) || parser.isSet(no_reference) || parser.isSet(ticks)) && !parser.isSet(audio))
    return fail(2, QStringLiteral("--duration, --mono, --no-reference and --ticks are for --audio FILE."));
  if (parser.isSet(duration)) {
    bool number = false;
    seconds = parser.value(duration).toDouble(&number);
    if (!number || !(seconds >= kShortestSeconds && seconds <= kLongestSeconds))
      return fail(2, QStringLiteral("--duration takes seconds from 0.5 to 60, not '%1'.").arg(parser.value(duration)));
  }
  const bool audio_to_standard_output = parser.value(audio) == QLatin1String("-");
  if (parser.isSet(audio)) {
    if (!parser.isSet(by))
      return fail(2, QStringLiteral("--audio needs --by line or --by point: the frame alone has no curve to hear."));
    if (!audio_to_standard_output && is_folder(argument_bytes(parser.value(audio))))
      return fail(2, QStringLiteral("%1 is a folder: --audio names the file to write.").arg(parser.value(audio)));
  }

  PlotMode mode = PlotMode::frame_only;
  if (parser.isSet(by)) {
    const QString value = parser.value(by);
    if (value == QLatin1String("line")) mode = PlotMode::line;
    else if (value == QLatin1String("point")) mode = PlotMode::point;
    else return fail(2, QStringLiteral("--by takes line or point, not '%1'.").arg(value));
  }

  const bool to_standard_output = parser.value(output) == QLatin1String("-");
  QString file_name = parser.value(output);
  if (!to_standard_output && is_folder(argument_bytes(file_name)))
    return fail(2, QStringLiteral("%1 is a folder: --output names the file to write.").arg(file_name));
  std::optional<FileFormat> chosen = FileFormat::bmp;  // also where nothing is written
  if (parser.isSet(format)) {
    chosen = format_named(parser.value(format));
    if (!chosen) return fail(2, QStringLiteral("--format takes one of %1, not '%2'.")
                                    .arg(QLatin1String(kFormatNames), parser.value(format)));
  } else if (parser.isSet(output) && !to_standard_output && !names_a_special_file(argument_bytes(file_name))) {
    // Standard output, a device or a pipe: BMP, as the window's save.
    file_name = with_default_extension(file_name);
    chosen = format_of_extension(file_name);
    if (!chosen)
      return fail(2, QStringLiteral("%1 does not end in the extension of a format this program writes (%2); "
                                    "name one, or choose the format with --format.")
                         .arg(file_name, QLatin1String(kFormatNames)));
  }

  // Two outputs that reach one file or stream would be written as one: refused before anything is written.
  std::vector<std::tuple<QString, QString, Target>> targets;
  if (parser.isSet(output))
    targets.emplace_back(QStringLiteral("--output"), file_name, target_of(to_standard_output ? "-" : argument_bytes(file_name)));
  if (parser.isSet(audio)) targets.emplace_back(QStringLiteral("--audio"), parser.value(audio), target_of(argument_bytes(parser.value(audio))));
  if (parser.isSet(key_points_option)) targets.emplace_back(QStringLiteral("--key-points"), QStringLiteral("-"), Target{true});
  for (size_t i = 0; i < targets.size(); ++i)
    for (size_t j = i + 1; j < targets.size(); ++j)
      if (const auto& [first, name, where] = targets[i]; where.same_as(std::get<2>(targets[j])))
        return fail(2, QStringLiteral("%1 and %2 would both write to %3; give each a file of its own.")
                           .arg(first, std::get<0>(targets[j]), where.standard_output ? QStringLiteral("standard output") : name));

  const BoxTexts texts{parser.value(x_from), parser.value(x_to), parser.value(y_from), parser.value(y_to),
                       parser.value(clarity)};
  const PlotCheck check = check_plot_input(texts, mode);
  if (std::holds_alternative<EmptyRange>(check)) return fail(2, kEmptyRangeText);
  if (const auto* refusal = std::get_if<Refusal>(&check)) return fail(2, refusal->message);

  PlotRequest request = std::get<PlotRequest>(check);
  if (parser.isSet(view)) {
    request.view = view_named(parser.value(view));
    if (!request.view)
      return fail(2, QStringLiteral("--view takes four numbers, X FROM < X TO and Y FROM < Y TO, within -32768 … 32767 "
                                    "and no nearer than a view can show, not '%1'.").arg(parser.value(view)));
    request.numbers = !parser.isSet(no_numbers);
  }
  if (parser.isSet(key_points_option)) {
    for (const KeyPoint& point : key_points_in(request.shown()))
      std::printf("%s %.17g %.17g\n", qPrintable(kind_name(point.kind)), point.x, point.y);
    if (const int status = printed(); status != 0 || (!parser.isSet(output) && !parser.isSet(audio))) return status;
  }
  // A command line may wait, as cat does, for a pipe's reader or another save of the file; it says so.
  WriteOptions waiting{true, [](const QString& what) { std::fprintf(stderr, "vesk-plot: %s\n", qPrintable(what)); }};
  if (parser.isSet(audio)) {
    CurveSound curve(request, seconds, parser.isSet(mono) ? Channels::mono : Channels::stereo);
    if (parser.isSet(no_reference)) curve.leave_out_reference();
    if (parser.isSet(ticks)) curve.add_grid_ticks();
    const QByteArray sound = wav_file(std::move(curve));
    const auto reason = audio_to_standard_output ? write_to_descriptor(sound, STDOUT_FILENO)
                                                 : write_file(sound, argument_bytes(parser.value(audio)), waiting);
    if (reason) {
      return fail(1, QStringLiteral("The sound could not be saved to %1: %2")
                         .arg(audio_to_standard_output ? QStringLiteral("standard output") : parser.value(audio), *reason));
    }
    if (!parser.isSet(output)) return 0;
  }
  request.marks = parser.isSet(marks);
  const QByteArray bytes = encode_plot(request, *chosen);
  const auto reason = to_standard_output ? write_to_descriptor(bytes, STDOUT_FILENO)
                                         : write_file(bytes, argument_bytes(file_name), waiting);
  if (reason) {
    return fail(1, QStringLiteral("The plot could not be saved to %1: %2")
                       .arg(to_standard_output ? QStringLiteral("standard output") : file_name, *reason));
  }
  return 0;
}

}  // namespace vesk
