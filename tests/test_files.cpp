// Files: the dialog's filters, the window's save and its failures, saving where
// the folder allows no new files, the command line, and the vector files.

#include <QDir>
#include <QPainter>
#include <QPdfDocument>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QSvgRenderer>
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

class FixedAnswer : public SaveFileAsker {
 public:
  explicit FixedAnswer(QString answer) : answer_(std::move(answer)) {}
  std::optional<QString> ask_file_name() override { return answer_; }
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

// vesk-plot run with `arguments` and no graphical session, under `prefix`
// (prlimit, setpriv): its exit status and standard error.
std::pair<int, QString> run(const QStringList& arguments, const QStringList& prefix = {}) {
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

// The part `view` (units) of a vector file rendered at `scale` times its size.
QImage render(const QByteArray& file, FileFormat format, double scale, QRectF view) {
  QImage image((view.size() * scale).toSize(), QImage::Format_RGB32);
  if (format == FileFormat::svg) {
    QSvgRenderer svg(file);
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.translate(-view.topLeft());
    svg.render(&painter, QRectF(0, 0, kPictureSize.width, kPictureSize.height));
    return svg.isValid() ? image : QImage();
  }
  QTemporaryFile copy;
  QPdfDocument pdf;
  if (!copy.open() || copy.write(file) != file.size() || !copy.flush() ||
      pdf.load(copy.fileName()) != QPdfDocument::Error::None || pdf.pageCount() != 1)
    return {};
  const QImage page = pdf.render(0, QSize(kPictureSize.width, kPictureSize.height) * scale);
  return page.copy(QRectF(view.topLeft() * scale, view.size() * scale).toRect()).convertToFormat(QImage::Format_RGB32);
}

// Whether a pixel of `image` within `reach` of (x, y) passes `test`.
bool near(const QImage& image, int x, int y, int reach, auto test) {
  for (int dy = -reach; dy <= reach; ++dy)
    for (int dx = -reach; dx <= reach; ++dx)
      if (image.valid(x + dx, y + dy) && test(image.pixel(x + dx, y + dy))) return true;
  return false;
}
bool reddish(QRgb c) { return qRed(c) > qGreen(c) + 60 && qRed(c) > qBlue(c) + 60; }

}  // namespace

Q_DECLARE_METATYPE(vesk::PlotRequest)

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

  void names_and_formats() {
    // Shown as written; "All Files" lists every file and leaves the name's extension alone.
    QCOMPARE(name_filters_from_list(kSaveFilterList),
             (QStringList{"Bitmap File (*.bmp) (*.bmp)", "JPG File (*.jpg) (*.jpg)", "All Files (*.*) (*)"}));
    QCOMPARE(name_filters_from_list("Pictures|*.png;*.bmp|Other"), QStringList{"Pictures (*.png *.bmp)"});
    const std::tuple<const char*, const char*, FileFormat, QByteArray> rows[] = {
        {"graph", "graph.bmp", FileFormat::bmp, "BM"},     {"a.d/graph", "a.d/graph.bmp", FileFormat::bmp, "BM"},
        {"g.jpg", "g.jpg", FileFormat::jpeg, "\xFF\xD8\xFF"}, {"g.JPEG", "g.JPEG", FileFormat::jpeg, "\xFF\xD8\xFF"},
        {"g.png", "g.png", FileFormat::png, "\x89PNG\r\n"},   {"g.Svg", "g.Svg", FileFormat::svg, "<?xml"},
        {"g.pdf", "g.pdf", FileFormat::pdf, "%PDF"},         {"g.txt", "g.txt", FileFormat::bmp, "BM"}};
    QDir(folder->path()).mkdir("a.d");
    for (const auto& [typed, saved, format, signature] : rows) {
      QCOMPARE(with_default_extension(typed), QString(saved));
      QCOMPARE(format_for_file_name(saved), format);
      QCOMPARE(save_as(path(saved)), QString());
      QVERIFY2(read(path(saved)).startsWith(signature), saved);
    }
    // The picture the window shows, in a 24-bit bitmap.
    const QByteArray bmp = read(path("graph.bmp"));
    QCOMPARE(bmp[28], char(24));
    QCOMPARE(QImage::fromData(bmp, "BMP").convertToFormat(QImage::Format_RGB32), plot_picture(window->shown_plot()));
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

  // A folder that allows no new files, holding a file that may be written and
  // one that may not. Permission bits do not bind root: the program runs as nobody then.
  void folder_without_new_files() {
    QStringList as_user;
    if (geteuid() == 0) {
      if (QStandardPaths::findExecutable("setpriv").isEmpty()) QSKIP("running as root without setpriv to drop to nobody");
      as_user = QStringList{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    }
    const auto open_to_all = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(folder->path(), open_to_all);
    QDir(folder->path()).mkdir("locked");
    write(path("locked/writable.bmp"), "old");
    write(path("locked/read-only.bmp"), "old");
    QFile::setPermissions(path("locked/writable.bmp"), QFile::ReadOther | QFile::WriteOther | QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(path("locked/read-only.bmp"), QFile::ReadOther | QFile::ReadOwner);
    QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    QCOMPARE(run({"--output", path("locked/writable.bmp"), "--by", "line"}, as_user).first, 0);
    QCOMPARE(read(path("locked/writable.bmp")), encode_plot(PlotRequest{{-9, 9, -9, 9}, 100, PlotMode::line}, FileFormat::bmp));
    const auto [status, error] = run({"--output", path("locked/read-only.bmp")}, as_user);
    QCOMPARE(status, 1);
    QVERIFY2(error.contains("may not be written (Permission denied)"), qPrintable(error));
    QCOMPARE(read(path("locked/read-only.bmp")), QByteArray("old"));
    QVERIFY(run({"--output", path("locked/new.bmp")}, as_user).second.contains("does not allow new files"));
    QFile::setPermissions(path("locked"), open_to_all);
  }

  // Each row: the arguments (OUT: a file in the folder), the exit status, standard error's one line.
  void command_line_refusals_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty range") << QStringList{"--x-from", "5", "--x-to", "5", "--by", "point", "--output", "OUT"} << 2
                                 << "vesk-plot: error : empity renge\n";
    QTest::newRow("clarity 0") << QStringList{"--clarity=0", "--by", "line", "--output=OUT"} << 2
                               << "vesk-plot: The clarity box reads as 0. The clarity is the number of samples "
                                  "per unit and must not be 0.\n";
    QTest::newRow("bound beyond 16 bits") << QStringList{"--y-to=40000", "--output", "OUT"} << 2 << "The Y to box holds";
    QTest::newRow("unknown mode") << QStringList{"--by", "curve", "--output", "OUT"} << 2 << "--by takes line or point";
    QTest::newRow("unknown option") << QStringList{"--bogus", "--output", "OUT"} << 2 << "Unknown option 'bogus'";
    QTest::newRow("missing folder") << QStringList{"--output", "/nonexistent-vesk/x.bmp"} << 1
                                    << "saved to /nonexistent-vesk/x.bmp: No such file or directory";
    QTest::newRow("no output") << QStringList{"--x-from", "1"} << 2 << "--output FILE is needed";
  }
  void command_line_refusals() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, error);
    const auto [exit_status, said] = run(arguments.replaceInStrings("OUT", path("out.bmp")));
    QCOMPARE(exit_status, status);
    QVERIFY2(error.endsWith('\n') ? said == error : said.contains(error) && said.count('\n') == 1, qPrintable(said));
    QVERIFY(!QFile::exists(path("out.bmp")));
  }

  // The command line writes what the window's save writes, byte for byte;
  // options in both forms, negative values too; the frame alone by default.
  void command_line_writes_what_the_window_saves() {
    enter(*window, {"-3", "2.5", "-9", "&H10", "50"});
    window->findChild<QPushButton*>("cmd_plotpoint")->click();
    QCOMPARE(save_as(path("window.bmp")), QString());
    QCOMPARE(run({"--x-from=-3", "--x-to", "2.5", "--y-from", "-9", "--y-to=&H10", "--clarity", "50", "--by", "point",
                  "--output", path("command")}),
             std::pair(0, QString()));
    QCOMPARE(read(path("command.bmp")), read(path("window.bmp")));
    delete window;
    window = new FrmMain;
    QCOMPARE(save_as(path("start-up.png")), QString());
    QCOMPARE(run({"--output", path("frame.png")}).first, 0);
    QCOMPARE(read(path("frame.png")), read(path("start-up.png")));
    write(path("kept.bmp"), "kept");  // a failed write keeps the earlier file
    const auto [status, error] = run({"--output", path("kept.bmp")}, {"prlimit", "--fsize=64"});
    QCOMPARE(status, 1);
    QVERIFY2(error.contains("File too large"), qPrintable(error));
    QCOMPARE(read(path("kept.bmp")), QByteArray("kept"));
  }

  // Rendered at their own size the vector files show the raster picture's
  // curve to within a pixel; magnified 8 times, every sample's segment or
  // point to within a magnified pixel. Their size follows the picture.
  void vector_files_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<PlotRequest>("request");
    for (const auto& [format, name] : {std::pair{FileFormat::svg, "svg"}, std::pair{FileFormat::pdf, "pdf"}}) {
      QTest::addRow("%s by line", name) << int(format) << PlotRequest{{-3, 2, -8, 12}, 2000, PlotMode::line};
      QTest::addRow("%s by point", name) << int(format) << PlotRequest{{-3, 2, -8, 12}, 300, PlotMode::point};
    }
  }
  void vector_files() {
    QFETCH(int, format);
    QFETCH(PlotRequest, request);
    const QByteArray file = encode_plot(request, FileFormat(format));
    const QImage raster = plot_picture(request), frame = plot_picture(PlotRequest{request.range});
    const QImage vector = render(file, FileFormat(format), 1, QRectF(0, 0, 579, 390));
    QVERIFY2(!vector.isNull(), "the file does not parse");
    for (int y = 0; y < 390; ++y)
      for (int x = 0; x < 579; ++x) {
        if (pixel(raster, x, y) == kRed && pixel(frame, x, y) != kRed)
          QVERIFY2(near(vector, x, y, 1, reddish), qPrintable(QStringLiteral("(%1, %2) missing").arg(x).arg(y)));
        if (qRed(vector.pixel(x, y)) > 200 && qGreen(vector.pixel(x, y)) < 100)
          QVERIFY2(near(raster, x, y, 1, [](QRgb c) { return (c | 0xFF000000u) == kRed; }),
                   qPrintable(QStringLiteral("(%1, %2) stray").arg(x).arg(y)));
      }
    const QRectF dip(110, 330, 100, 60);  // around the minimum
    const QImage magnified = render(file, FileFormat(format), 8, dip);
    const Mapping mapping(request.range.x1r, request.range.y2r, request.range.x2r, request.range.y1r, kPictureSize);
    const Sampling sampling(request.range.x1r, request.range.x2r, request.clarity);
    QRandomGenerator random(7);
    for (int i = 0; i < 3000; ++i) {
      const double x = sampling.x(random.bounded(qint64(sampling.count())));
      const QPointF at = (QPointF(mapping.to_pixel_x(x), mapping.to_pixel_y(quartic(x))) + QPointF(0.5, 0.5) - dip.topLeft()) * 8;
      if (QRectF(2, 2, dip.width() * 8 - 4, dip.height() * 8 - 4).contains(at))
        QVERIFY2(near(magnified, int(at.x()), int(at.y()), 1, reddish), qPrintable(QStringLiteral("sample at x %1").arg(x)));
    }
    for (const RoundedRange range : {RoundedRange{-32768, 32767, -32768, 32767}, RoundedRange{-3, 2, -8, 12}})
      QVERIFY(encode_plot(PlotRequest{range, 32767, request.mode}, FileFormat(format)).size() < 1'000'000);
  }
};

QTEST_MAIN(TestFiles)
#include "test_files.moc"
