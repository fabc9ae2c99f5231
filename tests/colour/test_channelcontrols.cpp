// SPDX-License-Identifier: MIT
// The cascades of the channel views, replayed on the real widgets: the
// order of the steps where it is more than the end state, and the end state
// of every kind of edit in one box.
#include "support/channelharness.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>
#include <QTimer>

using colour::Channel;

namespace {
constexpr Channel R = Channel::Red;
constexpr Channel G = Channel::Green;

QStringList lines(std::initializer_list<const char16_t *> items)
{
    QStringList list;
    for (const char16_t *item : items)
        list.append(QString::fromUtf16(item));
    return list;
}

// Traces compare as one text, so a failure shows both in full.
#define COMPARE_TRACE(actual, expected) QCOMPARE((actual).join(u'\n'), (expected).join(u'\n'))
} // namespace

class TestChannelControls : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initialState();
    void cascadeA_sliderDrag();
    void cascadeD_typedHexLowerCase();
    void cascadeE_chooserTexts();
    void editsInOneBox_data();
    void editsInOneBox();
    void chooserSameColourWithLowerCase();
    void typedCharacter();
    void typedLengthIsLimitedStoredIsNot();
};

void TestChannelControls::initialState()
{
    ChannelHarness h;
    for (const Channel c : colour::kChannels) {
        QCOMPARE(h.spin(c)->value(), 0);
        QCOMPARE(h.dec(c)->text(), QStringLiteral("000"));
        QCOMPARE(h.hex(c)->text(), QStringLiteral("00"));
    }
    QCOMPARE(h.code(), QStringLiteral("#RRGGBB"));
    QCOMPARE(h.preview(), 0u);
    for (const char *name : {"SliderRed", "SliderGreen", "SliderBlue", "UpDownRed", "UpDownGreen",
                             "UpDownBlue", "TextRed", "TextGreen", "TextBlue", "TextRedHex",
                             "TextGreenHex", "TextBlueHex", "ColorBox", "TextCode"})
        QVERIFY2(h.window.findChild<QWidget *>(QString::fromLatin1(name)), name);
    // Storing what the sliders hold raises nothing, not even a first code.
    h.record();
    h.controls->storeSliders(0, 0, 0);
    QCOMPARE(h.code(), QStringLiteral("#RRGGBB"));
    QCOMPARE(h.take().size(), 3); // the three store notes, no step
}

void TestChannelControls::cascadeA_sliderDrag()
{
    ChannelHarness h;
    h.slider(R)->setValue(5);
    h.record();
    // A drag: every position runs the slider step while the thumb is down.
    h.slider(R)->setSliderDown(true);
    h.slider(R)->setSliderPosition(171);
    COMPARE_TRACE(h.take(), lines({
                                u"SliderRed_Change",
                                u"  store TextRed \"171\"",
                                u"  TextRed_Change",
                                u"    store UpDownRed 171",
                                u"    UpDownRed_Change",
                                u"      store TextRedHex \"AB\"",
                                u"      TextRedHex_Change",
                                u"        store SliderRed 171",
                                u"        store TextRedHex \"AB\"",
                                u"  store ColorBox 0000ab",
                                u"  store TextCode \"#AB0000\"",
                                u"  TextCode_Change",
                            }));
    // Letting go raises nothing new: the value is already there.
    h.slider(R)->setSliderDown(false);
    QCOMPARE(h.take(), QStringList());
    QCOMPARE(h.spin(R)->value(), 171);
    QCOMPARE(h.dec(R)->text(), QStringLiteral("171"));
    QCOMPARE(h.preview(), colour::MakeColourValue(171, 0, 0));
}

void TestChannelControls::cascadeD_typedHexLowerCase()
{
    ChannelHarness h;
    h.letterCase->setValue(colour::LetterCase::Lower);
    h.hex(G)->setText(QStringLiteral("00"));
    h.record();
    h.hex(R)->setFocus();
    h.hex(R)->selectAll();
    QTest::keyClicks(h.hex(R), QStringLiteral("A"));
    COMPARE_TRACE(h.take(), lines({u"TextRedHex_Change"}));
    QTest::keyClicks(h.hex(R), QStringLiteral("B"));
    COMPARE_TRACE(h.take(), lines({
                                u"TextRedHex_Change",
                                u"  store SliderRed 171",
                                u"  SliderRed_Change",
                                u"    store TextRed \"171\"",
                                u"    TextRed_Change",
                                u"      store UpDownRed 171",
                                u"      UpDownRed_Change",
                                u"        store TextRedHex \"AB\"",
                                u"    store ColorBox 0000ab",
                                u"    store TextCode \"#AB0000\"",
                                u"    TextCode_Change",
                                u"      store TextCode \"#ab0000\"",
                                u"      TextCode_Change",
                                u"        store TextCode \"#ab0000\"",
                                u"  store TextRedHex \"ab\"",
                                u"  TextRedHex_Change",
                                u"    store SliderRed 171",
                                u"    store TextRedHex \"ab\"",
                            }));
    QCOMPARE(h.hex(R)->text(), QStringLiteral("ab"));
    QCOMPARE(h.code(), QStringLiteral("#ab0000"));
}

void TestChannelControls::cascadeE_chooserTexts()
{
    ChannelHarness h;
    h.record();
    h.controls->storeHexTexts(colour::SplitColorValue(0x0080FF));
    const QStringList trace = h.take();
    // Red then green run their cascades; blue's "00" equals the box: nothing.
    QCOMPARE(trace.first(), QStringLiteral("store TextRedHex \"FF\""));
    QStringList flat;
    for (const QString &line : trace)
        flat << line.trimmed();
    const auto red = flat.indexOf(QStringLiteral("store TextCode \"#FF0000\""));
    const auto green = flat.indexOf(QStringLiteral("store TextGreenHex \"80\""));
    const auto both = flat.indexOf(QStringLiteral("store TextCode \"#FF8000\""));
    QVERIFY(red > 0 && red < green && green < both);
    QCOMPARE(trace.last(), QStringLiteral("store TextBlueHex \"00\""));
    QCOMPARE(h.code(), QStringLiteral("#FF8000"));
    QCOMPARE(h.preview(), colour::MakeColourValue(255, 128, 0));
    QCOMPARE(h.dec(G)->text(), QStringLiteral("128"));
}

void TestChannelControls::editsInOneBox_data()
{
    QTest::addColumn<int>("red");
    QTest::addColumn<QString>("decimal"); // pasted into the red decimal box first, unless null
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("how"); // typed, pasted, committed by an input method, spin arrow
    QTest::addColumn<QString>("entered");
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("channel");   // the value of the box's channel after
    QTest::addColumn<QString>("shown"); // what the box shows after
    QTest::addColumn<int>("messages");
    QTest::addColumn<int>("beeps");
    const auto row = [](const char *tag, int red, const char16_t *decimal, const char *box,
                        const char *how, const char16_t *entered, const char *code, int channel,
                        const char *shown, int messages, int beeps) {
        QTest::newRow(tag) << red << (decimal ? QString::fromUtf16(decimal) : QString())
                           << QString::fromLatin1(box) << QString::fromLatin1(how)
                           << QString::fromUtf16(entered) << QString::fromLatin1(code) << channel
                           << QString::fromLatin1(shown) << messages << beeps;
    };
    row("two digits typed", 0x12, nullptr, "TextRed", "typed", u"99", "#123456", 0x12, "99", 0, 0);
    row("three digits typed", 5, nullptr, "TextRed", "typed", u"200", "#C83456", 200, "200", 0, 0);
    row("letters and signs typed into a decimal box", 0x12, nullptr, "TextRed", "typed", u"a-. ",
        "#123456", 0x12, "018", 0, 4);
    row("300 typed into a decimal box", 0x12, nullptr, "TextBlue", "typed", u"300", "#123456", 0x56,
        "086", 1, 0);
    row("one character typed into the red hex box", 0x12, nullptr, "TextRedHex", "typed", u"7",
        "#123456", 0x12, "7", 0, 0);
    row("one character typed into the blue hex box", 0x12, nullptr, "TextBlueHex", "typed", u"7",
        "#12347", 0x56, "7", 0, 0);
    row("blue hex box emptied", 0x12, nullptr, "TextBlueHex", "pasted", u"", "#1234", 0x56, "", 0,
        0);
    row("bad hex typed", 171, nullptr, "TextRedHex", "typed", u"zz", "#AB3456", 171, "AB", 1, 0);
    row("bad hex over a partial decimal number", 171, u"25", "TextRedHex", "typed", u"zz",
        "#193456", 25, "19", 1, 0);
    row("bad hex over an empty decimal box", 0x42, u"", "TextRedHex", "pasted", u"q!", "#423456",
        0x42, "42", 1, 0);
    row("pasted 2.5 rounds to even", 7, nullptr, "TextRed", "pasted", u"2.5", "#023456", 2, "002",
        0, 0);
    row("paste longer than a decimal box cut to fit", 0x12, nullptr, "TextRed", "pasted", u"1234",
        "#7B3456", 123, "123", 0, 0);
    row("paste longer than a hex box cut to fit", 0x12, nullptr, "TextRedHex", "pasted", u"ABC",
        "#AB3456", 171, "AB", 0, 0);
    row("pasted 2.0 over 2 stays as pasted", 2, nullptr, "TextRed", "pasted", u"2.0", "#023456", 2,
        "2.0", 0, 0);
    row("full-width digits from an input method", 0x12, nullptr, "TextRed", "input method",
        u"１２３", "#123456", 0x12, "018", 0, 1);
    row("kana from an input method", 0x12, nullptr, "TextRed", "input method", u"あ", "#123456",
        0x12, "018", 0, 1);
    row("digits from an input method", 0x12, nullptr, "TextRed", "input method", u"123", "#7B3456",
        123, "123", 0, 0);
    row("spin up", 5, nullptr, "UpDownRed", "spin", u"+", "#063456", 6, "6", 0, 0);
    row("spin down", 5, nullptr, "UpDownRed", "spin", u"-", "#043456", 4, "4", 0, 0);
    row("spin up at the end of the range", 255, nullptr, "UpDownRed", "spin", u"+", "#FF3456", 255,
        "255", 0, 0);
}

void TestChannelControls::editsInOneBox()
{
    QFETCH(int, red);
    QFETCH(QString, decimal);
    QFETCH(QString, box);
    QFETCH(QString, how);
    QFETCH(QString, entered);
    QFETCH(QString, code);
    QFETCH(int, channel);
    QFETCH(QString, shown);
    QFETCH(int, messages);
    QFETCH(int, beeps);
    ChannelHarness h;
    h.controls->storeSliders(red, 0x34, 0x56);
    if (!decimal.isNull()) {
        h.dec(R)->selectAll();
        h.dec(R)->insert(decimal);
    }
    auto *target = h.window.findChild<QWidget *>(box);
    auto *edit = qobject_cast<QLineEdit *>(target);
    if (how == u"spin") {
        const int y = entered == u"+" ? 2 : target->height() - 2;
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(target->width() / 2, y));
    } else if (how == u"typed") {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, entered);
    } else if (how == u"pasted") {
        edit->selectAll();
        edit->insert(entered);
    } else {
        edit->selectAll();
        QInputMethodEvent commit;
        commit.setCommitString(entered);
        QApplication::sendEvent(edit, &commit);
    }
    QCOMPARE(h.code(), code);
    const Channel c = box.contains(QStringLiteral("Blue")) ? Channel::Blue : R;
    QCOMPARE(h.slider(c)->value(), channel);
    QCOMPARE(edit ? edit->text() : QString::number(h.spin(c)->value()), shown);
    QCOMPARE(h.messages.size(), messages);
    QCOMPARE(h.beeps, beeps);
}

void TestChannelControls::chooserSameColourWithLowerCase()
{
    ChannelHarness h;
    h.controls->storeSliders(0xAB, 0xCD, 0xEF);
    h.letterCase->setValue(colour::LetterCase::Lower);
    h.controls->convertLetterCase();
    QCOMPARE(h.code(), QStringLiteral("#abcdef"));
    h.record();
    h.controls->storeHexTexts(colour::SplitColorValue(colour::MakeColourValue(0xAB, 0xCD, 0xEF)));
    // Each upper-case store finds the slider equal and restores the lower case.
    QVERIFY(!h.take().join(u'\n').contains(QStringLiteral("SliderRed_Change")));
    QCOMPARE(h.hex(R)->text(), QStringLiteral("ab"));
    QCOMPARE(h.code(), QStringLiteral("#abcdef"));
}

void TestChannelControls::typedCharacter()
{
    // Ctrl+letter types the control character whatever text the event carries
    // (X sends "\x16" for Ctrl+V, a test "v"); keys that type nothing give -1.
    const Qt::KeyboardModifiers none, ctrl = Qt::ControlModifier;
    const std::tuple<int, Qt::KeyboardModifiers, const char16_t *, int> keys[] = {
        {Qt::Key_V, ctrl, u"\x16", 22},      {Qt::Key_V, ctrl, u"v", 22},
        {Qt::Key_C, ctrl, u"", 3},           {Qt::Key_Backspace, none, u"", 8},
        {Qt::Key_Delete, none, u"\x7f", -1}, {Qt::Key_Tab, none, u"\t", -1},
        {Qt::Key_Home, none, u"", -1},       {Qt::Key_Insert, Qt::ShiftModifier, u"", -1},
        {Qt::Key_7, none, u"7", '7'},        {Qt::Key_unknown, none, u"あ", 0x3042}};
    for (const auto &[key, modifiers, text, expected] : keys)
        QCOMPARE(ChannelEdit::typedCharacter(key, modifiers, QString::fromUtf16(text)), expected);
}

void TestChannelControls::typedLengthIsLimitedStoredIsNot()
{
    ChannelHarness h;
    h.hex(G)->selectAll();
    QTest::keyClicks(h.hex(G), QStringLiteral("abc"));
    QCOMPARE(h.hex(G)->text(), QStringLiteral("AB")); // in the option's case
    h.dec(G)->selectAll();
    QTest::keyClicks(h.dec(G), QStringLiteral("1234"));
    QCOMPARE(h.dec(G)->text(), QStringLiteral("123"));
    // A text the program stores is kept whole, and a two-digit hex box
    // ignores a longer one.
    h.record();
    h.controls->storeText(h.hex(R), QStringLiteral("FFFFFFF7"));
    COMPARE_TRACE(h.take(), lines({u"store TextRedHex \"FFFFFFF7\"", u"TextRedHex_Change"}));
}

QTEST_MAIN(TestChannelControls)
#include "test_channelcontrols.moc"
