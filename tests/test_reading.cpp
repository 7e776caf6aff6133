// Reading the boxes: text to number, rounding to 16 bits, the checks of a plot
// command and their messages.

#include <QTest>
#include <cmath>

#include "command_line/command_line.h"
#include "reading/number_text.h"
#include "table.h"
#include "reading/plot_input.h"

using namespace vesk;
using vesk::test::columns;
using vesk::test::row;

class TestReading : public QObject {
  Q_OBJECT

 private slots:
  // Each row is named by the text typed; NaN: too large for a double.
  void number_from_text_data() {
    columns<QString, double>({"text", "expected"});
    const std::pair<QString, double> rows[] = {
        {"-9", -9}, {"1 2", 12}, {"\t-\n3.5 ", -3.5}, {"3abc", 3}, {"abc", 0}, {"", 0}, {"-", 0}, {".", 0},
        {".5", 0.5}, {"1.2.3", 1.2}, {"+7", 7}, {"1e3", 1000}, {"25E-1", 2.5}, {"1e", 1}, {"2e+x", 2},
        {"1,5", 1}, {"&H19A", 410}, {"&hff", 255}, {"&H1G", 1}, {"&H", 0}, {"&O17", 15}, {"&o78", 7},
        {"0x10", 0}, {"inf", 0}, {"-Infinity", 0}, {"nan", 0}, {"$5", 0}, {"1e-400", 0},
        {"0.0001e-99999999999999999999", 0}, {"1.7976931348623157e308", 1.7976931348623157e308},
        {"4\u00b25", 4}, {"\uff11", 0}, {"1e309", NAN}, {"-2e400", NAN}, {"1e99999999999999999999", NAN},
        {QString(400, '9'), NAN}, {"&H" + QString(300, 'F'), NAN}, {QString(400, '0') + "1e-330", 0},
        {QString(400, '0') + "1e309", NAN},
        // A second point, a second sign, a second exponent and the text's end each stop the number there.
        {"1..2", 1}, {"0.5.5", 0.5}, {"1.2.", 1.2}, {"12.", 12}, {"-.5", -0.5}, {"1 . 5", 1.5}, {"- 4", -4},
        {"--5", 0}, {"+-5", 0}, {"-+5", 0}, {"+.", 0}, {"1.5e2.5", 150}, {"1e+2", 100}, {"1e-2", 0.01},
        {"1e2e3", 100}, {"1e 2", 100}, {"1E+", 1}, {"2.5e-1.5", 0.25}, {"1.25e1x", 12.5}, {"e5", 0}, {".e5", 0},
        {"&H-1", 0}, {"&O8", 0}, {"-&H10", 0}, {"9.99999999999999999999", 10}};
    for (const auto& [text, expected] : rows) {
      QString name = text.size() > 40 ? text.left(19) + "…" + text.right(20) : text;
      QTest::newRow(qPrintable("'" + name.replace('\t', "\\t").replace('\n', "\\n") + "'")) << text << expected;
    }
  }
  void number_from_text() {
    const auto [text, expected] = row<QString, double>({"text", "expected"});
    const auto value = vesk::number_from_text(text.toStdU16String());
    QCOMPARE(value.has_value(), !std::isnan(expected));
    if (value) QCOMPARE(*value, expected);
  }

  // Halves to even; each row named by the value. NaN: refused.
  void round_to_16_bits_data() {
    columns<double, double>({"value", "rounded"});
    const std::pair<double, double> rows[] = {{2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {1.4999, 1},
        {-1.6, -2}, {32767, 32767}, {32767.4, 32767}, {-32768, -32768}, {-32768.5, -32768}, {32767.5, NAN},
        {32768.0, NAN}, {-32768.6, NAN}, {-32769.5, NAN}, {1e300, NAN}, {INFINITY, NAN}, {NAN, NAN}};
    for (const auto& [value, rounded] : rows) QTest::newRow(qPrintable(QString::number(value))) << value << rounded;
  }
  void round_to_16_bits() {
    const auto [value, rounded] = row<double, double>({"value", "rounded"});
    const auto result = vesk::round_to_16_bits(value);
    QCOMPARE(result.has_value(), !std::isnan(rounded));
    if (result) QCOMPARE(double(*result), rounded);
  }

  // Each row, named by the five boxes: what a plot command makes of them: the request, "empty", or the start of
  // the refusal's message.
  void plot_check_data() {
    columns<QStringList, QString>({"boxes", "outcome"});
    const std::pair<QStringList, const char*> rows[] = {
        {{"-9", "9", "-9", "9", "100"}, "-9 9 -9 9 100"},
        {{"abc", "1", "0.5", "2.5", "-5"}, "0 1 0 2 -5"},  // halves to even; negative clarity allowed
        {{"2.5", "3.5", "&H10", "&O21", "32767"}, "2 4 16 17 32767"}, {{"5", "5", "-9", "9", "100"}, "empty"},
        {{"9", "-9", "-9", "9", "100"}, "empty"}, {{"-9", "9", "2.0001", "2", "1"}, "empty"},
        {{"1", "0", "-9", "9", "0"}, "empty"},  // the range first
        {{"-9", "40000", "-9", "9", "100"}, "The X to box holds a number outside"},
        {{"-9", "9", "-9", "32767.5", "100"}, "The Y to box holds"},
        {{"-32769", "9", "-9", "9", "100"}, "The X from box holds"},
        {{"-9", "1e400", "-9", "9", "100"}, "The X to box holds"},
        {{"-9", "9", "-1e400", "-2e400", "1"}, "The Y from box holds"},  // before the range: nothing compares
        {{"-9", "9", "-9", "9", "32768"}, "The clarity box holds"},
        {{"-9", "9", "-9", "9", "0"}, "The clarity box reads as 0."},
        {{"-9", "9", "-9", "9", "abc"}, "The clarity box reads as 0."},
        {{"-9", "9", "-9", "9", "0.4"}, "The clarity box reads as 0."},
        {{"1.2", "1.4", "-9", "9", "100"}, "The X from and X to boxes both round to 1."},
        {{"-9", "9", "1.6e0", "2.4", "100"}, "The Y from and Y to boxes both round to 2."}};
    for (const auto& [boxes, outcome] : rows) QTest::newRow(qPrintable(boxes.join(' '))) << boxes << QString(outcome);
  }
  void plot_check() {
    const auto [boxes, outcome] = row<QStringList, QString>({"boxes", "outcome"});
    const PlotCheck check = check_plot_input({boxes[0], boxes[1], boxes[2], boxes[3], boxes[4]}, PlotMode::point);
    QString seen = QStringLiteral("empty");
    if (const auto* request = std::get_if<PlotRequest>(&check)) {
      const RoundedRange r = request->range;
      seen = QStringLiteral("%1 %2 %3 %4 %5").arg(r.x1r).arg(r.x2r).arg(r.y1r).arg(r.y2r).arg(request->clarity);
      QCOMPARE(request->mode, PlotMode::point);
    }
    if (const auto* refusal = std::get_if<Refusal>(&check)) seen = refusal->message;
    QVERIFY2(seen.startsWith(outcome), qPrintable(seen));
  }

  // Arguments are bytes: UTF-8 read as text, each byte of anything else kept as a lone surrogate U+DC80 … U+DCFF,
  // so that the bytes come back whole; the text, as code points in hexadecimal ("dcff" for the byte 0xFF).
  void argument_bytes_data() {
    vesk::test::table<QByteArray, QString>({"bytes", "code_points"}, {
        {"ASCII", "a1", "61 31"}, {"two bytes", "\xC3\xA9", "e9"}, {"three bytes", "\xE2\x82\xAC", "20ac"},
        {"four bytes", "\xF0\x9F\x98\x80", "1f600"}, {"the highest code point", "\xF4\x8F\xBF\xBF", "10ffff"},
        {"past the highest", "\xF4\x90\x80\x80", "dcf4 dc90 dc80 dc80"}, {"a lone continuation", "\x80", "dc80"},
        {"an overlong two", "\xC0\xAF", "dcc0 dcaf"}, {"an overlong three", "\xE0\x80\xAF", "dce0 dc80 dcaf"},
        {"a lead of five", "\xF8\x88\x80\x80\x80", "dcf8 dc88 dc80 dc80 dc80"}, {"cut short", "\xE2\x82", "dce2 dc82"},
        {"a surrogate's code", "\xED\xA0\x80", "dced dca0 dc80"}, {"0xFF among letters", "a\xFF" "b", "61 dcff 62"}});
  }
  void argument_bytes() {
    const auto [bytes, code_points] = row<QByteArray, QString>({"bytes", "code_points"});
    const QString text = vesk::argument_text(bytes);
    QStringList seen;
    for (qsizetype i = 0; i < text.size(); ++i) {
      const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
      seen << QString::number(pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode(), 16);
      i += pair;
    }
    QCOMPARE(seen.join(' '), code_points);
    QCOMPARE(vesk::argument_bytes(text), bytes);
  }
};

QTEST_GUILESS_MAIN(TestReading)
#include "test_reading.moc"
