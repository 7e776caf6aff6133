#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "about/frm_about.h"
#include "main_window/frm_main.h"
#include "surface/plot_area.h"
#include "test_support.h"

using namespace vesk;

namespace {

// Receives the addresses the program hands to the system.
class UrlRecorder : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> opened;

 public slots:
  void open(const QUrl& url) { opened << url; }
};

// The offscreen platform cannot make windows translucent and says so at
// every fade step; that is expected here.
void drop_opacity_warnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QLatin1String("does not support setting window opacity"))) return;
  qt_message_output(type, context, message);
}

void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }

// A click on the close picture during the fade-in only speeds it up by a
// tick: wait for the window to rest first.
void close_when_resting(FrmAbout* about) {
  QTRY_COMPARE(about->fade().fade_level(), 250);
  click(about->findChild<QWidget*>("Image2"));
}

}  // namespace

class TestAbout : public QObject {
  Q_OBJECT

  FrmMain* window = nullptr;

  // Clicks cmd_about and runs `while_shown` once the About window is up; the
  // click returns when the About window has been hidden.
  template <typename Body>
  void open_about(Body while_shown) {
    QTimer::singleShot(0, this, [this, while_shown] {
      QTRY_VERIFY(window->about_window() && window->about_window()->isVisible());
      while_shown(window->about_window());
      // A failed check leaves the window up: hide it so the test can report.
      if (QTest::currentTestFailed()) window->about_window()->hide();
    });
    window->findChild<QPushButton*>("cmd_about")->click();
  }
  static QWidget* part(FrmAbout* about, const char* name) { return about->findChild<QWidget*>(name); }

 private slots:
  void initTestCase() { qInstallMessageHandler(drop_opacity_warnings); }
  void init() {
    window = new FrmMain;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
  }
  void cleanup() { delete window; }

  void window_and_controls() {
    QVERIFY(!window->about_window());  // created on first use only
    open_about([](FrmAbout* about) {
      QCOMPARE(about->objectName(), QStringLiteral("frm_about"));
      QCOMPARE(about->windowTitle(), QStringLiteral("&about Vesk"));
      QCOMPARE(about->size(), QSize(298, 204));
      QVERIFY(about->windowFlags() & Qt::FramelessWindowHint);
      QCOMPARE(about->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
      QCOMPARE(about->parentWidget(), nullptr);
      QCOMPARE(about->windowModality(), Qt::ApplicationModal);
      QVERIFY(!about->windowIcon().isNull());
      QCOMPARE(QApplication::activeModalWidget(), about);

      const std::pair<const char*, QRect> places[] = {
          {"Image1", {0, 0, 300, 203}},  {"Image2", {264, 1, 37, 37}}, {"Label1", {87, 60, 109, 19}},
          {"Label2", {129, 90, 37, 19}}, {"Label4", {123, 138, 58, 19}}};
      for (const auto& [name, rect] : places) QCOMPARE(part(about, name)->geometry(), rect);
      QCOMPARE(part(about, "Label3")->pos(), QPoint(51, 114));
      QCOMPARE(part(about, "Label5")->pos(), QPoint(39, 165));
      const auto text = [&](const char* name) { return qobject_cast<QLabel*>(part(about, name))->text(); };
      QCOMPARE(text("Label1"), QStringLiteral("Code By : Vesk"));
      QCOMPARE(text("Label2"), QStringLiteral("Web :"));
      QCOMPARE(text("Label3"), QStringLiteral("www.vesk.example.com"));
      QCOMPARE(text("Label4"), QStringLiteral("E_mail :"));
      QCOMPARE(text("Label5"), QStringLiteral("vesk@example.com"));
      for (const char* link : {"Label3", "Label5"}) {
        QLabel* label = qobject_cast<QLabel*>(part(about, link));
        QVERIFY(label->font().bold());
        QCOMPARE(label->font().pointSizeF(), 9.75);
        QCOMPARE(label->size(), label->sizeHint());  // sized to its text
      }
      for (const char* hand : {"Label3", "Label5", "Image2"}) {
        QCOMPARE(part(about, hand)->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(part(about, hand)->cursor().hotSpot(), QPoint(6, 0));
      }
      // The background picture lies beneath everything.
      QCOMPARE(about->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).constFirst(), part(about, "Image1"));
      QCOMPARE(qobject_cast<QLabel*>(part(about, "Image1"))->pixmap().size(), QSize(300, 203));
      QCOMPARE(qobject_cast<QLabel*>(part(about, "Image2"))->pixmap().size(), QSize(37, 37));
      close_when_resting(about);
    });
    QVERIFY(!window->about_window()->isVisible());
  }

  void fades_in_rests_and_fades_out_when_closed() {
    open_about([](FrmAbout* about) {
      QVERIFY(about->fade().fading_in());
      QTRY_COMPARE(about->fade().fade_level(), 250);
      QCOMPARE(about->windowOpacity(), 249 / 255.0);
      QVERIFY(!about->fade().timer_enabled());
      click(part(about, "Image2"));
      QVERIFY(!about->fade().fading_in());
      QCOMPARE(about->windowOpacity(), 249 / 255.0);  // the first level of the fade-out
    });
    FrmAbout* about = window->about_window();
    QVERIFY(!about->isVisible());
    QCOMPARE(about->fade().fade_level(), 75);
    QCOMPARE(about->windowOpacity(), 76 / 255.0);  // the last level applied
  }

  void blocks_the_main_window_while_shown() {
    const QImage before = window->plot_area().surface().image();
    window->findChild<QLineEdit*>("txt_x1")->setText("-3");
    open_about([this](FrmAbout* about) {
      // Test clicks are delivered past modality; the end-to-end test clicks for
      // real. Here: the toolkit holds the main window blocked, and its access
      // keys go nowhere.
      QCOMPARE(QGuiApplication::modalWindow(), about->windowHandle());
      QTest::keyClick(window, Qt::Key_L, Qt::AltModifier);
      QTest::qWait(200);
      close_when_resting(about);
    });
    QCOMPARE(window->plot_area().surface().image(), before);
    // Input reaches the main window again once the About window is hidden.
    window->findChild<QPushButton*>("cmd_plotline")->click();
    QVERIFY(window->plot_area().surface().image() != before);
  }

  void links_hand_the_addresses_to_the_system() {
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler("https", &recorder, "open");
    QDesktopServices::setUrlHandler("mailto", &recorder, "open");
    open_about([](FrmAbout* about) {
      click(part(about, "Label3"));
      click(part(about, "Label5"));
      close_when_resting(about);
    });
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("mailto");
    QCOMPARE(recorder.opened, (QList<QUrl>{QUrl("https://www.vesk.example.com/"), QUrl("mailto:vesk@example.com")}));
  }

  void second_click_shows_the_same_window_fading_in_afresh() {
    open_about(close_when_resting);
    FrmAbout* first = window->about_window();
    open_about([first](FrmAbout* about) {
      QCOMPARE(about, first);
      QVERIFY(about->fade().fading_in());
      QVERIFY(about->fade().fade_level() < 250);
      // One click now does not hide it at once: the fade-in goes on.
      click(part(about, "Image2"));
      QVERIFY(about->isVisible());
      close_when_resting(about);
    });
    QVERIFY(!first->isVisible());
  }

  void escape_fades_out_like_the_close_picture() {
    open_about([](FrmAbout* about) {
      QTRY_COMPARE(about->fade().fade_level(), 250);
      QTest::keyClick(about, Qt::Key_Escape);
      QVERIFY(about->isVisible());
      QVERIFY(!about->fade().fading_in());
    });
    QVERIFY(!window->about_window()->isVisible());
  }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
