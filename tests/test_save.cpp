#include <QDir>
#include <QFileDialog>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

#include "main_window/frm_main.h"
#include "main_window/save_plot.h"
#include "surface/plot_area.h"
#include "test_support.h"

using namespace vesk;
using namespace vesk::test;

namespace {

// Answers the save dialog with a fixed name, or with a cancel.
class FixedAnswer : public SaveFileAsker {
 public:
  explicit FixedAnswer(std::optional<QString> answer) : answer_(std::move(answer)) {}
  std::optional<QString> ask_file_name() override { return answer_; }

 private:
  std::optional<QString> answer_;
};

quint32 le32(const QByteArray& bytes, int offset) {
  return quint32(quint8(bytes[offset])) | quint32(quint8(bytes[offset + 1])) << 8 |
         quint32(quint8(bytes[offset + 2])) << 16 | quint32(quint8(bytes[offset + 3])) << 24;
}

QByteArray read_file(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Lowers the largest file this process may write, so writes fail with
// "File too large"; restores it when it goes out of scope.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

 private:
  rlimit saved_{};
};

}  // namespace

class TestSave : public QObject {
  Q_OBJECT

  FrmMain* window = nullptr;
  QTemporaryDir* folder = nullptr;

  QString path(const QString& name) const { return folder->filePath(name); }
  void save_as(std::optional<QString> answer) {
    window->set_save_file_asker(std::make_unique<FixedAnswer>(std::move(answer)));
    window->findChild<QPushButton*>("cmd_saveplot")->click();
  }
  void plot(const QString& x1, const QString& x2, const QString& y1, const QString& y2) {
    window->findChild<QLineEdit*>("txt_x1")->setText(x1);
    window->findChild<QLineEdit*>("txt_x2")->setText(x2);
    window->findChild<QLineEdit*>("txt_y1")->setText(y1);
    window->findChild<QLineEdit*>("txt_y2")->setText(y2);
    window->findChild<QPushButton*>("cmd_plotline")->click();
  }
  QStringList files() const { return QDir(folder->path()).entryList(QDir::Files | QDir::Hidden); }

 private slots:
  void init() {
    window = new FrmMain;
    folder = new QTemporaryDir;
  }
  void cleanup() {
    delete window;
    delete folder;
  }

  void filter_list_conversion_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("filters");
    QTest::newRow("the dialog's list") << kSaveFilterList
                                       << QStringList{"Bitmap File (*.bmp)", "JPG File (*.jpg)", "All Files (*.*)"};
    QTest::newRow("text without its pattern") << "Pictures|*.png;*.bmp" << QStringList{"Pictures (*.png *.bmp)"};
    QTest::newRow("dangling text is dropped") << "Bitmap (*.bmp)|*.bmp|Other" << QStringList{"Bitmap (*.bmp)"};
    QTest::newRow("empty") << "" << QStringList{};
  }
  void filter_list_conversion() {
    QFETCH(QString, list);
    QFETCH(QStringList, filters);
    QCOMPARE(name_filters_from_list(list), filters);
  }

  void default_extension_and_format_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved_as");
    QTest::addColumn<int>("format");
    const int bmp = int(ImageFileFormat::bmp), jpeg = int(ImageFileFormat::jpeg), png = int(ImageFileFormat::png);
    QTest::newRow("no extension") << "/tmp/graph" << "/tmp/graph.bmp" << bmp;
    QTest::newRow("dot in the folder only") << "/tmp/a.d/graph" << "/tmp/a.d/graph.bmp" << bmp;
    QTest::newRow("bmp") << "graph.bmp" << "graph.bmp" << bmp;
    QTest::newRow("jpg") << "graph.jpg" << "graph.jpg" << jpeg;
    QTest::newRow("JPEG in capitals") << "graph.JPEG" << "graph.JPEG" << jpeg;
    QTest::newRow("png") << "graph.png" << "graph.png" << png;
    QTest::newRow("other extension writes BMP") << "graph.txt" << "graph.txt" << bmp;
  }
  void default_extension_and_format() {
    QFETCH(QString, typed);
    QFETCH(QString, saved_as);
    QFETCH(int, format);
    QCOMPARE(with_default_extension(typed), saved_as);
    QCOMPARE(int(format_for_file_name(saved_as)), format);
  }

  void bmp_after_start_up_holds_the_frame() {
    save_as(path("start.bmp"));
    const QByteArray bytes = read_file(path("start.bmp"));
    QVERIFY(bytes.startsWith("BM"));
    QCOMPARE(le32(bytes, 2), quint32(bytes.size()));
    QCOMPARE(le32(bytes, 14), 40u);  // BITMAPINFOHEADER
    QCOMPARE(le32(bytes, 18), 579u);
    QCOMPARE(le32(bytes, 22), 390u);
    QCOMPARE(quint8(bytes[28]), quint8(24));  // bits per pixel
    QCOMPARE(le32(bytes, 30), 0u);            // BI_RGB
    const QImage saved = QImage::fromData(bytes, "BMP").convertToFormat(QImage::Format_RGB32);
    QCOMPARE(saved, window->plot_area().surface().image());
    // x axis red and y axis green, with no marker colours over them.
    QCOMPARE(pixel(saved, 100, 195), kRedPixel);
    QCOMPARE(pixel(saved, 100, 194), kWhitePixel);
    QCOMPARE(pixel(saved, 289, 100), kGreenPixel);
    QCOMPARE(pixel(saved, 288, 100), kWhitePixel);
  }

  void bmp_after_a_plot_holds_the_curve() {
    plot("0", "2", "1", "10");
    const QImage before = window->plot_area().surface().image();
    save_as(path("curve.bmp"));
    const QImage saved(path("curve.bmp"));
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), before);
    QVERIFY(count_pixels(saved, kRedPixel) > 300);
    QCOMPARE(window->plot_area().surface().image(), before);  // a save changes nothing
  }

  void format_follows_the_name_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("signature");
    QTest::newRow("jpg") << "graph.jpg" << QByteArray("\xFF\xD8\xFF");
    QTest::newRow("jpeg") << "graph.jpeg" << QByteArray("\xFF\xD8\xFF");
    QTest::newRow("png") << "graph.png" << QByteArray("\x89PNG\r\n\x1A\n");
    QTest::newRow("unknown extension") << "graph.pic" << QByteArray("BM");
  }
  void format_follows_the_name() {
    QFETCH(QString, name);
    QFETCH(QByteArray, signature);
    save_as(path(name));
    const QByteArray bytes = read_file(path(name));
    QVERIFY(bytes.startsWith(signature));
    QCOMPARE(QImage::fromData(bytes).size(), QSize(579, 390));
  }

  void missing_folder_is_reported() {
    const QString target = path("no-such-folder/graph.bmp");
    SeenMessage seen;
    answer_next_message_box(seen);
    save_as(target);
    QVERIFY(seen.seen);
    QVERIFY2(seen.text.contains(target), qPrintable(seen.text));
    QVERIFY2(seen.text.contains("No such file or directory"), qPrintable(seen.text));
    QCOMPARE(seen.icon, QMessageBox::Warning);
  }

  void folder_as_target_is_reported() {
    QDir(folder->path()).mkdir("graph.bmp");
    SeenMessage seen;
    answer_next_message_box(seen);
    save_as(path("graph.bmp"));
    QVERIFY(seen.seen);
    QVERIFY(QFileInfo(path("graph.bmp")).isDir());
  }

  // A write that fails half-way keeps the earlier file whole and leaves no
  // temporary file behind.
  void failed_write_keeps_the_earlier_file() {
    QFile earlier(path("graph.bmp"));
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    earlier.write("an earlier picture");
    earlier.close();
    SeenMessage seen;
    answer_next_message_box(seen);
    {
      const FileSizeLimit limit(4096);  // the bitmap needs about 680 KB
      save_as(path("graph.bmp"));
    }
    QVERIFY(seen.seen);
    QVERIFY2(seen.text.contains("File too large"), qPrintable(seen.text));
    QCOMPARE(read_file(path("graph.bmp")), QByteArray("an earlier picture"));
    QCOMPARE(files(), QStringList{"graph.bmp"});
  }

  void cancel_writes_nothing_and_says_nothing() {
    SeenMessage seen;
    answer_next_message_box(seen);
    save_as(std::nullopt);
    QTest::qWait(50);
    QVERIFY(!seen.seen);
    QVERIFY(files().isEmpty());
    QVERIFY(!QFile::exists("Untitled.bmp"));
  }

  void dialog_settings() {
    auto* dialog = window->findChild<QFileDialog*>("cdlg_savepic");
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Save Picture"));
    QCOMPARE(dialog->defaultSuffix(), QStringLiteral("bmp"));
    QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(dialog->selectedNameFilter(), QStringLiteral("Bitmap File (*.bmp)"));
    QCOMPARE(dialog->nameFilters().size(), 3);
    QCOMPARE(QFileInfo(dialog->selectedFiles().value(0)).fileName(), QStringLiteral("Untitled.bmp"));
  }
};

QTEST_MAIN(TestSave)
#include "test_save.moc"
