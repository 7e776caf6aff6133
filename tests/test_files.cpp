// Files: the save dialog's filters, the window's save in every format and its
// failures, saving where the folder allows no new files, the command line, and
// the vector files' faithfulness and size.

#include <QDir>
#include <QPainter>
#include <QFile>
#include <QPdfDocument>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSvgRenderer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#include "main_window/frm_main.h"
#include "main_window/plot_file.h"
#include "main_window/save_dialog.h"
#include "plot/plot.h"
#include "plot/quartic.h"
#include "surface/colours.h"
#include "test_support.h"

using namespace vesk;
using namespace vesk::test;

namespace {

// Answers the save dialog with a fixed name.
class FixedAnswer : public SaveFileAsker {
 public:
  explicit FixedAnswer(QString answer) : answer_(std::move(answer)) {}
  std::optional<QString> ask_file_name() override { return answer_; }

 private:
  QString answer_;
};

QByteArray read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

struct Run {
  int status;
  QString error;  // standard error
};

// Runs vesk-plot with `arguments` and no graphical session, under `prefix` (prlimit, setpriv).
Run run(const QStringList& arguments, const QStringList& prefix = {}) {
  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* session : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
    environment.remove(session);
  program.setProcessEnvironment(environment);
  const QStringList command = prefix + QStringList{qEnvironmentVariable("VESK_PLOT_BINARY")} + arguments;
  program.start(command.first(), command.mid(1));
  program.waitForFinished(30000);
  return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
          QString::fromLocal8Bit(program.readAllStandardError())};
}

// The image of a vector file rendered at `scale` times its size, the part `view` (units) of it.
QImage render(const QByteArray& file, FileFormat format, double scale, QRectF view) {
  QImage image((view.size() * scale).toSize(), QImage::Format_RGB32);
  image.fill(Qt::black);
  if (format == FileFormat::svg) {
    QSvgRenderer svg(file);
    if (!svg.isValid()) return {};
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.translate(-view.topLeft());
    svg.render(&painter, QRectF(0, 0, kPictureSize.width, kPictureSize.height));
  } else {
    QTemporaryFile copy;
    if (!copy.open() || copy.write(file) != file.size() || !copy.flush()) return {};
    QPdfDocument pdf;
    if (pdf.load(copy.fileName()) != QPdfDocument::Error::None || pdf.pageCount() != 1) return {};
    const QSize whole = (QSizeF(kPictureSize.width, kPictureSize.height) * scale).toSize();
    image = pdf.render(0, whole).copy(QRectF(view.topLeft() * scale, view.size() * scale).toRect());
  }
  return image.convertToFormat(QImage::Format_RGB32);
}

bool reddish(QRgb c) { return qRed(c) > qGreen(c) + 60 && qRed(c) > qBlue(c) + 60; }

// Whether a pixel of `image` within `reach` pixels of (x, y) passes `test`.
bool near(const QImage& image, int x, int y, int reach, auto test) {
  for (int dy = -reach; dy <= reach; ++dy)
    for (int dx = -reach; dx <= reach; ++dx)
      if (image.valid(x + dx, y + dy) && test(image.pixel(x + dx, y + dy))) return true;
  return false;
}

}  // namespace

class TestFiles : public QObject {
  Q_OBJECT

  FrmMain* window = nullptr;
  QTemporaryDir* folder = nullptr;

  QString path(const QString& name) const { return folder->filePath(name); }
  // Saves through the window's save command; the message it showed, if any.
  QString save_as(const QString& name) {
    window->set_save_file_asker(std::make_unique<FixedAnswer>(name));
    MessageBoxAnswer answer(1000);
    window->findChild<QPushButton*>("cmd_saveplot")->click();
    return answer.seen ? answer.text : QString();
  }

 private slots:
  void init() {
    window = new FrmMain;
    folder = new QTemporaryDir;
  }
  void cleanup() {
    delete window;
    delete folder;
  }

  void dialog_filters_and_names() {
    // Shown as written; "All Files" lists every file and leaves the name's extension alone.
    QCOMPARE(name_filters_from_list(kSaveFilterList),
             (QStringList{"Bitmap File (*.bmp) (*.bmp)", "JPG File (*.jpg) (*.jpg)", "All Files (*.*) (*)"}));
    QCOMPARE(name_filters_from_list("Pictures|*.png;*.bmp|Other"), QStringList{"Pictures (*.png *.bmp)"});
    const std::tuple<const char*, const char*, FileFormat> rows[] = {
        {"/tmp/graph", "/tmp/graph.bmp", FileFormat::bmp}, {"/tmp/a.d/graph", "/tmp/a.d/graph.bmp", FileFormat::bmp},
        {"g.jpg", "g.jpg", FileFormat::jpeg},  {"g.JPEG", "g.JPEG", FileFormat::jpeg}, {"g.png", "g.png", FileFormat::png},
        {"g.Svg", "g.Svg", FileFormat::svg},   {"g.pdf", "g.pdf", FileFormat::pdf},    {"g.txt", "g.txt", FileFormat::bmp}};
    for (const auto& [typed, saved, format] : rows) {
      QCOMPARE(with_default_extension(typed), QString(saved));
      QCOMPARE(format_for_file_name(saved), format);
    }
  }

  void saves_in_the_format_the_name_asks_for() {
    window->findChild<QPushButton*>("cmd_plotline")->click();
    QCOMPARE(save_as(path("graph.bmp")), QString());
    const QByteArray bmp = read(path("graph.bmp"));
    QVERIFY(bmp.startsWith("BM"));
    QCOMPARE(bmp[28], char(24));  // bits per pixel
    QCOMPARE(QImage::fromData(bmp, "BMP").convertToFormat(QImage::Format_RGB32), plot_picture(window->shown_plot()));
    const std::pair<const char*, QByteArray> signatures[] = {
        {"g.jpg", "\xFF\xD8\xFF"}, {"g.jpeg", "\xFF\xD8\xFF"}, {"g.png", "\x89PNG\r\n\x1A\n"}, {"g.pic", "BM"},
        {"g.svg", "<?xml"},        {"g.pdf", "%PDF"}};
    for (const auto& [name, signature] : signatures) {
      QCOMPARE(save_as(path(name)), QString());
      QVERIFY2(read(path(name)).startsWith(signature), name);
    }
  }

  void failed_saves_say_why_and_keep_the_earlier_file() {
    QVERIFY(save_as(path("no-such-folder/graph.bmp")).contains("No such file or directory"));
    QDir(folder->path()).mkdir("folder.bmp");
    QVERIFY(!save_as(path("folder.bmp")).isEmpty());
    QVERIFY(QFileInfo(path("folder.bmp")).isDir());

    write(path("graph.bmp"), "an earlier picture");
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved;
    limit.rlim_cur = 4096;  // the bitmap needs about 680 KB
    setrlimit(RLIMIT_FSIZE, &limit);
    const QString message = save_as(path("graph.bmp"));
    setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY2(message.contains("File too large"), qPrintable(message));
    QCOMPARE(read(path("graph.bmp")), QByteArray("an earlier picture"));
    QCOMPARE(QDir(folder->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"graph.bmp"});  // no temporary file
  }

  // A folder that allows no new files, holding a file that may be written (or
  // not). Permission bits do not bind root: the program runs as nobody then.
  void folder_without_new_files() {
    QStringList as_user;
    if (geteuid() == 0) {
      if (QStandardPaths::findExecutable("setpriv").isEmpty()) QSKIP("running as root without setpriv to drop to nobody");
      as_user = QStringList{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    }
    QFile::setPermissions(folder->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    QDir(folder->path()).mkdir("locked");
    const QString writable = path("locked/writable.bmp"), read_only = path("locked/read-only.bmp");
    write(writable, "old");
    write(read_only, "old");
    QFile::setPermissions(writable, QFile::ReadOther | QFile::WriteOther | QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(read_only, QFile::ReadOther | QFile::ReadOwner);
    QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);

    Run result = run({"--output", writable, "--by", "line"}, as_user);
    QCOMPARE(result.status, 0);
    QCOMPARE(read(writable), encode_plot(PlotRequest{{-9, 9, -9, 9}, 100, PlotMode::line}, FileFormat::bmp));
    result = run({"--output", read_only}, as_user);
    QCOMPARE(result.status, 1);
    QVERIFY2(result.error.contains("may not be written (Permission denied)"), qPrintable(result.error));
    QCOMPARE(read(read_only), QByteArray("old"));
    result = run({"--output", path("locked/new.bmp")}, as_user);
    QCOMPARE(result.status, 1);
    QVERIFY2(result.error.contains("does not allow new files"), qPrintable(result.error));
    QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }

  // Each row: the arguments, the exit status, what standard error says (one line).
  void command_line_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty range") << QStringList{"--x-from", "5", "--x-to", "5", "--by", "point", "--output", "OUT"} << 2
                                 << "vesk-plot: error : empity renge\n";
    QTest::newRow("clarity 0") << QStringList{"--clarity=0", "--by", "line", "--output=OUT"} << 2
                               << "vesk-plot: The clarity box reads as 0. The clarity is the number of samples "
                                  "per unit and must not be 0.\n";
    QTest::newRow("bound beyond 16 bits") << QStringList{"--y-to=40000", "--output", "OUT"} << 2 << "The Y to box holds a number outside";
    QTest::newRow("unknown mode") << QStringList{"--by", "curve", "--output", "OUT"} << 2 << "--by takes line or point";
    QTest::newRow("unknown option") << QStringList{"--bogus", "--output", "OUT"} << 2 << "Unknown option 'bogus'";
    QTest::newRow("missing folder") << QStringList{"--output", "/nonexistent-vesk/x.bmp"} << 1
                                    << "saved to /nonexistent-vesk/x.bmp: No such file or directory";
    QTest::newRow("no output") << QStringList{"--x-from", "1"} << 2 << "--output FILE is needed";
  }
  void command_line() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, error);
    const Run result = run(arguments.replaceInStrings("OUT", path("out.bmp")));
    QCOMPARE(result.status, status);
    QVERIFY2(error.endsWith('\n') ? result.error == error : result.error.contains(error), qPrintable(result.error));
    QCOMPARE(result.error.count('\n'), 1);
    QVERIFY(!QFile::exists(path("out.bmp")));
  }

  // The command line writes what the window's save writes, byte for byte;
  // options in both forms, negative values too; the frame alone by default.
  void command_line_writes_what_the_window_saves() {
    enter(*window, {"-3", "2.5", "-9", "&H10", "50"});
    window->findChild<QPushButton*>("cmd_plotpoint")->click();
    QCOMPARE(save_as(path("window.bmp")), QString());
    Run result = run({"--x-from=-3", "--x-to", "2.5", "--y-from", "-9", "--y-to=&H10", "--clarity", "50", "--by",
                      "point", "--output", path("command")});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.error, QString());
    QCOMPARE(read(path("command.bmp")), read(path("window.bmp")));

    delete window;
    window = new FrmMain;
    QCOMPARE(save_as(path("start-up.png")), QString());
    QCOMPARE(run({"--output", path("frame.png")}).status, 0);
    QCOMPARE(read(path("frame.png")), read(path("start-up.png")));

    // A failed write keeps the earlier file.
    write(path("kept.bmp"), "kept");
    result = run({"--output", path("kept.bmp")}, {"prlimit", "--fsize=64"});
    QCOMPARE(result.status, 1);
    QVERIFY2(result.error.contains("File too large"), qPrintable(result.error));
    QCOMPARE(read(path("kept.bmp")), QByteArray("kept"));
  }

  // Rendered at their own size the vector files show the raster picture's
  // curve to within a pixel; magnified 8 times, every sample's segment or
  // point to within a magnified pixel.
  void vector_files_are_faithful_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<PlotRequest>("request");
    for (const FileFormat format : {FileFormat::svg, FileFormat::pdf}) {
      const char* name = format == FileFormat::svg ? "svg" : "pdf";
      QTest::addRow("%s by line", name) << int(format) << PlotRequest{{-3, 2, -8, 12}, 2000, PlotMode::line};
      QTest::addRow("%s by point", name) << int(format) << PlotRequest{{-3, 2, -8, 12}, 300, PlotMode::point};
    }
  }
  void vector_files_are_faithful() {
    QFETCH(int, format);
    QFETCH(PlotRequest, request);
    const QByteArray file = encode_plot(request, FileFormat(format));
    const QImage raster = plot_picture(PlotRequest{request.range, request.clarity, request.mode});
    const QImage frame = plot_picture(PlotRequest{request.range});
    const QImage vector = render(file, FileFormat(format), 1, QRectF(0, 0, 579, 390));
    QVERIFY2(!vector.isNull(), "the file does not parse");
    for (int y = 0; y < 390; ++y)
      for (int x = 0; x < 579; ++x) {
        const bool curve = pixel(raster, x, y) == kRed && pixel(frame, x, y) != kRed;
        if (curve) QVERIFY2(near(vector, x, y, 1, reddish), qPrintable(QStringLiteral("(%1, %2) missing").arg(x).arg(y)));
        if (qRed(vector.pixel(x, y)) > 200 && qGreen(vector.pixel(x, y)) < 100)
          QVERIFY2(near(raster, x, y, 1, [](QRgb c) { return (c | 0xFF000000u) == kRed; }),
                   qPrintable(QStringLiteral("(%1, %2) stray").arg(x).arg(y)));
      }
    const QRectF dip(110, 330, 100, 60);  // around the minimum, magnified
    const QImage magnified = render(file, FileFormat(format), 8, dip);
    const Mapping mapping(request.range.x1r, request.range.y2r, request.range.x2r, request.range.y1r, kPictureSize);
    const Sampling sampling(request.range.x1r, request.range.x2r, request.clarity);
    QRandomGenerator random(7);
    for (int i = 0; i < 3000; ++i) {
      const double x = sampling.x(random.bounded(qint64(sampling.count())));
      const QPointF at = (QPointF(mapping.to_pixel_x(x), mapping.to_pixel_y(quartic(x))) + QPointF(0.5, 0.5) - dip.topLeft()) * 8;
      if (at.x() < 2 || at.y() < 2 || at.x() > dip.width() * 8 - 2 || at.y() > dip.height() * 8 - 2) continue;
      QVERIFY2(near(magnified, int(at.x()), int(at.y()), 1, reddish), qPrintable(QStringLiteral("sample at x %1").arg(x)));
    }
  }

  // Their size follows the picture: 2.1 billion samples in a few kilobytes.
  void vector_file_size_is_bounded() {
    for (const PlotMode mode : {PlotMode::line, PlotMode::point}) {
      for (const RoundedRange range : {RoundedRange{-32768, 32767, -32768, 32767}, RoundedRange{-3, 2, -8, 12}}) {
        const QByteArray svg = encode_plot(PlotRequest{range, 32767, mode}, FileFormat::svg);
        QVERIFY2(svg.size() < 1'000'000, qPrintable(QString::number(svg.size())));
        QVERIFY(QSvgRenderer(svg).isValid());
      }
    }
  }
};

QTEST_MAIN(TestFiles)
#include "test_files.moc"
