#include <QTest>
#include <cmath>

#include "main_window/number_text.h"

using vesk::number_from_text;
using vesk::round_to_16_bits;

class TestNumberText : public QObject {
  Q_OBJECT

 private slots:
  void reads_number_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("plain integer") << "-9" << -9.0;
    QTest::newRow("blank inside digits") << "1 2" << 12.0;
    QTest::newRow("tab and line feed ignored") << "\t-\n3.5 " << -3.5;
    QTest::newRow("letters stop reading") << "3abc" << 3.0;
    QTest::newRow("no leading number") << "abc" << 0.0;
    QTest::newRow("empty text") << "" << 0.0;
    QTest::newRow("only a sign") << "-" << 0.0;
    QTest::newRow("only a full stop") << "." << 0.0;
    QTest::newRow("leading full stop") << ".5" << 0.5;
    QTest::newRow("second full stop stops") << "1.2.3" << 1.2;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("exponent with sign") << "25E-1" << 2.5;
    QTest::newRow("exponent without digits") << "1e" << 1.0;
    QTest::newRow("exponent sign without digits") << "2e+x" << 2.0;
    QTest::newRow("comma is no separator") << "1,5" << 1.0;
    QTest::newRow("hex prefix") << "&H10" << 16.0;
    QTest::newRow("hex lower case") << "&hff" << 255.0;
    QTest::newRow("hex stops at non-digit") << "&H1G" << 1.0;
    QTest::newRow("hex without digits") << "&H" << 0.0;
    QTest::newRow("octal prefix") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&o78" << 7.0;
    QTest::newRow("C hex is not read") << "0x10" << 0.0;
    QTest::newRow("inf is not read") << "inf" << 0.0;
    QTest::newRow("infinity is not read") << "-Infinity" << 0.0;
    QTest::newRow("nan is not read") << "nan" << 0.0;
    QTest::newRow("currency sign is not read") << "$5" << 0.0;
    QTest::newRow("underflow reads zero") << "1e-400" << 0.0;
    QTest::newRow("long exponent underflow") << "0.0001e-99999999999999999999" << 0.0;
    QTest::newRow("largest double") << "1.7976931348623157e308" << 1.7976931348623157e308;
    QTest::newRow("non-ASCII stops reading") << QString::fromUtf8("4\u00b25") << 4.0;
    QTest::newRow("full-width digit is no digit") << QString::fromUtf8("\uff11") << 0.0;
  }
  void reads_number() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    const auto value = number_from_text(text.toStdU16String());
    QVERIFY(value.has_value());
    QCOMPARE(*value, expected);
  }

  void too_large_for_a_double_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("exponent") << "1e309";
    QTest::newRow("negative") << "-2e400";
    QTest::newRow("huge exponent") << "1e99999999999999999999";
    QTest::newRow("many digits") << QString(400, QLatin1Char('9'));
    QTest::newRow("long hex") << "&H" + QString(300, QLatin1Char('F'));
  }
  void too_large_for_a_double() {
    QFETCH(QString, text);
    QVERIFY(!number_from_text(text.toStdU16String()).has_value());
  }

  void rounds_to_16_bits_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("2.5 to even 2") << 2.5 << 2;
    QTest::newRow("3.5 to even 4") << 3.5 << 4;
    QTest::newRow("-0.5 to 0") << -0.5 << 0;
    QTest::newRow("-1.5 to -2") << -1.5 << -2;
    QTest::newRow("-2.5 to -2") << -2.5 << -2;
    QTest::newRow("1.4999 down") << 1.4999 << 1;
    QTest::newRow("-1.6 to -2") << -1.6 << -2;
    QTest::newRow("largest") << 32767.0 << 32767;
    QTest::newRow("just below largest half") << 32767.4 << 32767;
    QTest::newRow("smallest") << -32768.0 << -32768;
    QTest::newRow("smallest half to even") << -32768.5 << -32768;
  }
  void rounds_to_16_bits() {
    QFETCH(double, value);
    QFETCH(int, expected);
    const auto rounded = round_to_16_bits(value);
    QVERIFY(rounded.has_value());
    QCOMPARE(int(*rounded), expected);
  }

  void refuses_beyond_16_bits_data() {
    QTest::addColumn<double>("value");
    QTest::newRow("32767.5 rounds to 32768") << 32767.5;
    QTest::newRow("32768") << 32768.0;
    QTest::newRow("-32768.6") << -32768.6;
    QTest::newRow("-32769.5") << -32769.5;
    QTest::newRow("huge") << 1e300;
    QTest::newRow("infinity") << double(INFINITY);
    QTest::newRow("not a number") << double(NAN);
  }
  void refuses_beyond_16_bits() {
    QFETCH(double, value);
    QVERIFY(!round_to_16_bits(value).has_value());
  }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "test_number_text.moc"
