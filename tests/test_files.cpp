// Files: the dialog's filters, the window's save and its failures, the vector files (the command line: e2e/test_cli.py).

#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#ifdef VESK_READS_PDF
#include <QPdfDocument>
#endif
#include <QProcess>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "main_window/frm_main.h"
#include "files/plot_file.h"
#include "key_points/key_points.h"
#include "key_points/marks.h"
#include "main_window/save_dialog.h"
#include "plot/plot.h"
#include "plot/quartic.h"
#include "surface/colours.h"
#include "plot_area/plot_area.h"
#include "printing/page.h"
#include "table.h"
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
#ifndef VESK_READS_PDF
  return {};
#else
  QTemporaryFile copy;
  QPdfDocument pdf;
  if (!copy.open() || copy.write(file) != file.size() || !copy.flush() ||
      pdf.load(copy.fileName()) != QPdfDocument::Error::None || pdf.pageCount() != 1)
    return {};
  const QImage page = pdf.render(0, QSize(kPictureSize.width, kPictureSize.height) * scale);
  return page.copy(QRectF(view.topLeft() * scale, view.size() * scale).toRect()).convertToFormat(QImage::Format_RGB32);
#endif
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

class TestFiles : public QObject {
  Q_OBJECT

  std::unique_ptr<FrmMain> window;
  std::unique_ptr<QTemporaryDir> folder;

  QString path(const QString& name) const { return folder->filePath(name); }
  // Saves through the window's save command; the message it showed, if any.
  QString save_as(const QString& name) {
    window->set_save_file_asker(std::make_unique<FixedAnswer>(name));
    MessageBoxAnswer answer(20000);
    window->findChild<QPushButton*>("cmd_saveplot")->click();
    return answer.seen ? answer.text : QString();
  }

 private slots:
  void init() {
    QVERIFY((window = shown_window()));
    folder = std::make_unique<QTemporaryDir>();
  }
  void cleanup() { window.reset(), folder.reset(); }

  void names_and_formats() {
    // Shown as written; "All Files" lists every file and leaves the name's extension alone.
    QCOMPARE(name_filters_from_list(kSaveFilterList),
             (QStringList{"Bitmap File (*.bmp) (*.bmp)", "JPG File (*.jpg) (*.jpg)", "PNG File (*.png) (*.png)",
                          "SVG File (*.svg) (*.svg)", "PDF File (*.pdf) (*.pdf)", "All Files (*.*) (*)"}));
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
    // JPEG at quality 95: its first luminance step is 2 (16 × 10 %, where quality 75 gives 8).
    const QByteArray jpeg = read(path("g.jpg"));
    QCOMPARE(int(jpeg.at(jpeg.indexOf("\xFF\xDB") + 5)), 2);
    // The picture the window shows, in a 24-bit bitmap.
    const QByteArray bmp = read(path("graph.bmp"));
    QCOMPARE(bmp[28], char(24));
    QCOMPARE(QImage::fromData(bmp, "BMP").convertToFormat(QImage::Format_RGB32), plot_picture(window->shown_plot()));
  }

  // A save takes what is shown; the command line writes the same bytes for the same view, given unrounded.
  void explored_views_as_the_command_line_writes_them() {
    window->findChild<QPushButton*>("cmd_plotline")->click();
    for (int i = 0; i < 7; ++i) {
      QWheelEvent wheel(QPointF(102.25, 300), {}, {}, {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
      QApplication::sendEvent(&window->plot_area(), &wheel);
    }
    QCOMPARE(save_as(path("burst.png")), QString());
    const Bounds v = window->explorer().view();
    const QString view = QStringLiteral("--view=%1,%2,%3,%4").arg(v.x_from, 0, 'g', 17).arg(v.x_to, 0, 'g', 17)
                             .arg(v.y_from, 0, 'g', 17).arg(v.y_to, 0, 'g', 17);
    QProcess cli;
    cli.start(qEnvironmentVariable("VESK_PLOT_BINARY"), {view, "--by", "line", "-o", path("cli.png")});
    QVERIFY(cli.waitForFinished() && cli.exitCode() == 0);
    QCOMPARE(read(path("cli.png")), read(path("burst.png")));
    QVERIFY(QImage(path("burst.png")) != plot_picture(PlotRequest{window->explorer().boxes(), 100, PlotMode::line}));
  }

  // A save holds the signals that would end the program mid-write and gives back what was there before.
  void signal_handlers_given_back() {
    struct sigaction before {}, after {};
    for (const int number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
      before.sa_handler = number == SIGHUP ? SIG_DFL : [](int) {};
      ::sigaction(number, &before, nullptr);
      QCOMPARE(save_as(path(QStringLiteral("held.bmp"))), QString());
      ::sigaction(number, nullptr, &after);
      QVERIFY2(after.sa_handler == before.sa_handler, strsignal(number));
    }
  }

  void failed_saves_say_why_and_keep_the_earlier_file() {
    const QString missing = save_as(path("no-such-folder/graph.bmp"));
    QVERIFY2(missing.contains("No such file or directory") && !missing.contains("does not allow"), qPrintable(missing));
    QDir(folder->path()).mkdir("folder.bmp");
    QVERIFY(!save_as(path("folder.bmp")).isEmpty());
    QVERIFY(QFileInfo(path("folder.bmp")).isDir());
    QFile earlier(path("graph.bmp"));
    QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("an earlier picture") == 18);
    earlier.close();
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto signal_before = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved;
    limit.rlim_cur = 4096;  // the bitmap needs about 680 KB
    setrlimit(RLIMIT_FSIZE, &limit);
    const QString message = save_as(path("graph.bmp"));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, signal_before);
    QVERIFY2(message.contains("File too large"), qPrintable(message));
    QCOMPARE(read(path("graph.bmp")), QByteArray("an earlier picture"));
    QCOMPARE(QDir(folder->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"graph.bmp"});  // no temporary file
    {  // another save holding the file: the window does not wait for it
      const int held = ::open(QFile::encodeName(path("graph.bmp")).constData(), O_RDONLY);
      QVERIFY(::flock(held, LOCK_EX) == 0);
      QVERIFY(save_as(path("graph.bmp")).endsWith("Another program is saving this file just now; try again once it has finished."));
      ::close(held);
    }

    // A FIFO with nobody reading: the window does not wait for a reader but says so (one that reads, and what it
    // gets: pipes_never_freeze_the_window, test_cli.py).
    QVERIFY(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600) == 0);
    QVERIFY(save_as(path("pipe")).endsWith("No program reads from the pipe yet."));
  }

  // A write-protected file: the window asks, No the default; No keeps it, Yes replaces it and keeps its mode.
  void write_protected_asks() {
    QFile earlier(path("kept.png"));
    QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("an earlier picture") == 18);
    earlier.close();
    QVERIFY(::chmod(QFile::encodeName(path("kept.png")).constData(), 0444) == 0);
    for (const auto choice : {QMessageBox::No, QMessageBox::Yes}) {
      window->set_save_file_asker(std::make_unique<FixedAnswer>(path("kept.png")));
      MessageBoxAnswer answer(20000, choice);
      window->findChild<QPushButton*>("cmd_saveplot")->click();
      QCOMPARE(answer.text, path("kept.png") + " is write-protected. Replace it anyway?");
      QCOMPARE(answer.default_button, QMessageBox::No);
      QCOMPARE(read(path("kept.png")).startsWith("\x89PNG"), choice == QMessageBox::Yes);
    }
    struct stat kept {};
    QVERIFY(::stat(QFile::encodeName(path("kept.png")).constData(), &kept) == 0 && (kept.st_mode & 07777) == 0444);
  }

  // On a page: the plot as large as the room takes, its aspect kept, centred, the caption under it; the preview
  // opens the toolkit's own dialog.
  void pages() {
    const PageLayout wide = page_layout(QRectF(0, 0, 2000, 1000), 40), tall = page_layout(QRectF(10, 20, 579, 2000), 0);
    QCOMPARE(wide.plot, QRectF(1000 - 940 * 579.0 / 390 / 2, 0, 940 * 579.0 / 390, 940));
    QCOMPARE(wide.caption, QRectF(0, 960, 2000, 40));
    QCOMPARE(tall.plot, QRectF(10, 20 + (2000 - 390) / 2.0, 579, 390));
    QVERIFY(tall.caption.isNull());
    PlotRequest request{{-9, 9, -9, 9}, 100, PlotMode::line};
    QCOMPARE(print_caption(request), QStringLiteral("f(x) = x³ − 2·x² + x⁴ + 3·x   x from −9 to 9, y from −9 to 9, clarity 100, by line"));
    bool previewed = false;
    QTimer::singleShot(200, this, [&previewed] {
      if (auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) previewed = true, preview->reject();
    });
    QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(previewed);
    // A job that cannot be done says why, in the readout, which a screen reader is told.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTimer::singleShot(200, this, [] {
      if (auto* asked = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
        for (auto* field : asked->findChildren<QLineEdit*>())  // the dialog's own file name, as typed there
          if (field->text().startsWith('/')) field->setText("/nonexistent-vesk/page.pdf");
        asked->accept();
      }
    });
    QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(window->findChild<QLabel*>("lbl_coordinates")->text(),
             QStringLiteral("The plot could not be printed on /nonexistent-vesk/page.pdf: the printer or the print system did not take it."));
  }

  // A pipe whose reader is slow, or reads nothing: the window goes on answering meanwhile (its event loop never
  // waits a second), and a reader that takes nothing for 5 seconds ends the save with that said.
  void pipes_never_freeze_the_window() {
    const QByteArray pipe = QFile::encodeName(path("slow"));
    QVERIFY(::mkfifo(pipe.constData(), 0600) == 0);
    const int reader = ::open(pipe.constData(), O_RDONLY | O_NONBLOCK);
    // The dialog's ".bmp" is not put on a pipe's or a device's name (nor is one added to another name's).
    QCOMPARE((QStringList{saved_name(path("slow.bmp")), saved_name("/dev/null.bmp"), saved_name(path("new")), saved_name("/dev/stdout")}),
             (QStringList{path("slow"), "/dev/null", path("new.bmp"), "/dev/stdout"}));
    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    QTimer ticking;
    QObject::connect(&ticking, &QTimer::timeout, [&] { longest = std::max(longest, clock.elapsed() - last), last = clock.elapsed(); });
    ticking.start(20);
    for (const bool reads : {true, false}) {
      std::thread reading([&] {  // after a pause, all of it; or nothing at all
        char buffer[65536];
        ::usleep(1200'000);
        for (int idle = 0; reads && idle < 3000;)
          if (::read(reader, buffer, sizeof buffer) > 0) idle = 0;
          else ::usleep(1000), ++idle;
      });
      clock.start(), last = 0, longest = 0;
      const QString said = save_as(path("slow"));
      reading.join();
      QVERIFY2(longest < 1000, qPrintable(QString::number(longest)));
      QCOMPARE(said.isEmpty(), reads);
      QVERIFY2(reads || said.endsWith("took nothing for 5 seconds, so the save stopped there."), qPrintable(said));
    }
    ::close(reader);
  }

  // The curve's path starts anew only where the curve comes into the page again, and continues everywhere else;
  // by point, the cells of a column that follow each other are one bar, and no two bars of a column touch.
  void vector_paths_data() {
    // flat: somewhere flat enough for cells of a column to follow each other
    columns<RoundedRange, int, bool>({"range", "entries", "flat"});
    QTest::newRow("in once, across the page") << RoundedRange{-3, 2, -8, 12} << 1 << true;
    QTest::newRow("in from above and down out, then up in and out") << RoundedRange{-3, 2, 5, 12} << 2 << false;
    QTest::newRow("only about the minimum") << RoundedRange{-3, 2, -8, -7} << 1 << true;
  }
  void vector_paths() {
    const auto [range, entries, flat] = row<RoundedRange, int, bool>({"range", "entries", "flat"});
    const auto path_of = [](const PlotRequest& request) {
      const QString svg = QString::fromUtf8(encode_plot(request, FileFormat::svg));
      return QRegularExpression(QStringLiteral(" d=\"([^\"]*)\"")).match(svg).captured(1);
    };
    const QString line = path_of({range, 2000, PlotMode::line});
    QCOMPARE(line.count(QLatin1Char('M')), entries);
    QVERIFY(line.count(QLatin1Char('L')) > 100);
    // Bars: "Mx,top Lx,bottom", a fine cell an eighth of a unit, each drawn one unit tall.
    const QString points = path_of({range, 2000, PlotMode::point});
    QMap<double, QList<std::pair<double, double>>> columns;
    const QRegularExpression bar(QStringLiteral("M([-\\d.]+),([-\\d.]+) L([-\\d.]+),([-\\d.]+)"));
    for (const QRegularExpressionMatch& m : bar.globalMatch(points)) {
      QCOMPARE(m.captured(1), m.captured(3));
      columns[m.captured(1).toDouble()] << std::pair((m.captured(2).toDouble() + 0.5) * 8 - 0.5, (m.captured(4).toDouble() - 0.5) * 8 - 0.5);
    }
    QVERIFY(columns.size() > 100);
    int merged = 0;
    for (const auto& bars : columns) {
      for (qsizetype i = 0; i < bars.size(); ++i) {
        QVERIFY(bars[i].second >= bars[i].first - 1e-3);
        merged += bars[i].second > bars[i].first + 0.5;
        if (i > 0) QVERIFY2(bars[i].first >= bars[i - 1].second + 2 - 1e-3 || bars[i].second <= bars[i - 1].first - 2 + 1e-3,
                            "two bars of one column touch");
      }
    }
    QCOMPARE(merged > 0, flat);
    // The marks: a 7 × 7 outline where the saved picture has its outline, for each key point in view.
    PlotRequest marked{range, 2000, PlotMode::line, true};
    const QImage picture = picture_with_marks(marked);
    const auto blue = [&](int x, int y) { return pixel(picture, x, y) == kMarkColour; };
    const QRegularExpression square(QStringLiteral("<rect x=\"(\\d+)\" y=\"(\\d+)\" width=\"(\\d+)\" height=\"(\\d+)\""));
    int squares = 0;
    for (const QRegularExpressionMatch& m : square.globalMatch(QString::fromUtf8(encode_plot(marked, FileFormat::svg)))) {
      const int x = m.captured(1).toInt(), y = m.captured(2).toInt();
      if (m.captured(3) != "7") continue;  // the frame's rectangles
      squares += 1;
      QVERIFY(m.captured(4) == "7" && blue(x, y + 3) && blue(x + 6, y + 3) && blue(x + 3, y) && blue(x + 3, y + 6));
    }
    const QList<KeyPoint> in_x = key_points_in(bounds_of(range));
    QCOMPARE(squares, std::count_if(in_x.begin(), in_x.end(), [&](const KeyPoint& k) { return k.y >= range.y1r && k.y <= range.y2r; }));
  }

  // Rendered at their own size the vector files show the raster picture's
  // curve to within a pixel; magnified 8 times, every sample's segment or
  // point to within a magnified pixel. Their size follows the picture. (Their
  // frame is the raster's, pixel for pixel: test_cli.py renders it with librsvg.)
  void vector_files_data() {
    columns<int, int>({"format", "mode"});
    for (const int format : {int(FileFormat::svg), int(FileFormat::pdf)})
      for (const int mode : {int(PlotMode::line), int(PlotMode::point)})
        QTest::addRow("%s by %s", format == int(FileFormat::svg) ? "svg" : "pdf", mode == int(PlotMode::line) ? "line" : "point")
            << format << mode;
  }
  void vector_files() {
    const auto [format, mode] = row<int, int>({"format", "mode"});
    const PlotRequest request{{-3, 2, -8, 12}, mode == int(PlotMode::line) ? 2000 : 20, PlotMode(mode)};
    const QByteArray file = encode_plot(request, FileFormat(format));
    const QImage raster = plot_picture(request), frame = plot_picture(PlotRequest{request.range});
#ifndef VESK_READS_PDF
    if (format == int(FileFormat::pdf)) QSKIP("Qt's PDF module (qt6-pdf-dev) is not installed: PDF files are not read back");
#endif
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
    // Magnified 8 times around the minimum: every sample in view is drawn, and
    // (by point) no square lies further from its sample than a pixel.
    const QRectF dip(110, 330, 100, 60);
    const QImage magnified = render(file, FileFormat(format), 8, dip);
    const Mapping mapping = mapping_for(request.range, kPictureSize);
    const Sampling sampling(request.range.x1r, request.range.x2r, request.clarity);
    QList<QPointF> samples;
    for (qint64 k = 0; k < sampling.count(); ++k) {
      const QPointF at = (QPointF(mapping.to_pixel_x(sampling.x(k)), mapping.to_pixel_y(quartic(sampling.x(k)))) +
                          QPointF(0.5, 0.5) - dip.topLeft()) * 8;
      if (!QRectF(-8, -8, magnified.width() + 16, magnified.height() + 16).contains(at)) continue;
      samples << at;
      if (magnified.rect().adjusted(2, 2, -2, -2).contains(at.toPoint()))
        QVERIFY2(near(magnified, int(at.x()), int(at.y()), 1, reddish), qPrintable(QStringLiteral("sample %1 missing").arg(k)));
    }
    for (int y = 0; request.mode == PlotMode::point && y < magnified.height(); ++y)
      for (int x = 0; x < magnified.width(); ++x)
        if (qRed(magnified.pixel(x, y)) > 200 && qGreen(magnified.pixel(x, y)) < 100)
          QVERIFY2(std::any_of(samples.begin(), samples.end(), [&](QPointF at) {
                     return std::max(std::abs(at.x() - x - 0.5), std::abs(at.y() - y - 0.5)) <= 4.5;
                   }), qPrintable(QStringLiteral("(%1, %2) strays").arg(x).arg(y)));
    for (const RoundedRange range : {RoundedRange{-32768, 32767, -32768, 32767}, RoundedRange{-3, 2, -8, 12}})
      QVERIFY(encode_plot(PlotRequest{range, 32767, request.mode}, FileFormat(format)).size() < 1'000'000);
  }
};

QTEST_MAIN(TestFiles)
#include "test_files.moc"
