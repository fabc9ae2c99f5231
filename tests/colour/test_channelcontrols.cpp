// SPDX-License-Identifier: MIT
// The cascades of the channel views, replayed on the real widgets and
// checked step by step against the order in which they must happen.
#include "support/channelharness.h"

#include "main/feedback.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using colour::Channel;

namespace {
constexpr Channel R = Channel::Red;
constexpr Channel G = Channel::Green;
constexpr Channel B = Channel::Blue;

QStringList lines(std::initializer_list<const char16_t *> items)
{
    QStringList list;
    for (const char16_t *item : items)
        list.append(QString::fromUtf16(item));
    return list;
}

// Traces compare as one text, so a failure shows both in full.
#define COMPARE_TRACE(actual, expected) QCOMPARE((actual).join(u'\n'), (expected).join(u'\n'))

void typeInto(QLineEdit *box, const QString &text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}
} // namespace

class TestChannelControls : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initialState();
    void cascadeA_sliderDrag();
    void cascadeB_typedDecimal();
    void cascadeC_spinArrow();
    void cascadeD_typedHexLowerCase();
    void cascadeE_chooserTexts();
    void cascadeF_reset();
    void cascadeG1_decimalRejected();
    void cascadeG2_hexRejected();
    void cascadeG3_hexRejectedWithPartialDecimal();
    void editsInOneBox_data();
    void editsInOneBox();
    void chooserSameColourWithLowerCase();
    void keyFilter_data();
    void keyFilter();
    void typedCharacter_data();
    void typedCharacter();
    void typedLengthIsLimitedStoredIsNot();
    void messageBoxLooksRight_data();
    void messageBoxLooksRight();
};

void TestChannelControls::initialState()
{
    ChannelHarness h;
    for (const Channel c : colour::kChannels) {
        QCOMPARE(h.slider(c)->value(), 0);
        QCOMPARE(h.spin(c)->value(), 0);
        QCOMPARE(h.dec(c)->text(), QStringLiteral("000"));
        QCOMPARE(h.hex(c)->text(), QStringLiteral("00"));
    }
    QCOMPARE(h.code(), QStringLiteral("#RRGGBB"));
    QCOMPARE(h.preview(), 0u);
    const char *names[] = {"SliderRed",    "SliderGreen", "SliderBlue", "UpDownRed", "UpDownGreen",
                           "UpDownBlue",   "TextRed",     "TextGreen",  "TextBlue",  "TextRedHex",
                           "TextGreenHex", "TextBlueHex", "ColorBox",   "TextCode"};
    for (const char *name : names)
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
    // Every drag position keeps all views with the thumb.
    h.slider(R)->setSliderDown(true);
    for (int v : {170, 3, 255, 16}) {
        h.slider(R)->setSliderPosition(v);
        QCOMPARE(h.dec(R)->text(), colour::FormatChannelDec(v));
        QCOMPARE(h.hex(R)->text(), colour::FormatChannelHex(v));
        QCOMPARE(h.spin(R)->value(), v);
        QCOMPARE(h.code(),
                 QStringLiteral("#") + colour::FormatChannelHex(v) + QStringLiteral("0000"));
    }
}

void TestChannelControls::cascadeB_typedDecimal()
{
    ChannelHarness h;
    h.slider(R)->setValue(5);
    h.record();
    h.dec(R)->setFocus();
    h.dec(R)->selectAll();
    QTest::keyClick(h.dec(R), Qt::Key_2);
    QTest::keyClick(h.dec(R), Qt::Key_0);
    COMPARE_TRACE(h.take(), lines({u"TextRed_Change", u"TextRed_Change"}));
    QCOMPARE(h.slider(R)->value(), 5);
    QTest::keyClick(h.dec(R), Qt::Key_0);
    COMPARE_TRACE(h.take(), lines({
                                u"TextRed_Change",
                                u"  store UpDownRed 200",
                                u"  UpDownRed_Change",
                                u"    store TextRedHex \"C8\"",
                                u"    TextRedHex_Change",
                                u"      store SliderRed 200",
                                u"      SliderRed_Change",
                                u"        store TextRed \"200\"",
                                u"        store ColorBox 0000c8",
                                u"        store TextCode \"#C80000\"",
                                u"        TextCode_Change",
                                u"      store TextRedHex \"C8\"",
                            }));
    QCOMPARE(h.beeps, 0);
    QVERIFY(h.messages.isEmpty());
}

void TestChannelControls::cascadeC_spinArrow()
{
    ChannelHarness h;
    h.slider(R)->setValue(5);
    h.record();
    // A click on the upper arrow.
    QTest::mouseClick(h.spin(R), Qt::LeftButton, {}, QPoint(h.spin(R)->width() / 2, 2));
    COMPARE_TRACE(h.take(), lines({
                                u"UpDownRed_Change",
                                u"  store TextRedHex \"06\"",
                                u"  TextRedHex_Change",
                                u"    store SliderRed 6",
                                u"    SliderRed_Change",
                                u"      store TextRed \"006\"",
                                u"      TextRed_Change",
                                u"        store UpDownRed 6",
                                u"      store ColorBox 000006",
                                u"      store TextCode \"#060000\"",
                                u"      TextCode_Change",
                                u"    store TextRedHex \"06\"",
                            }));
    // The lower arrow steps back; the range ends at 0 and 255.
    QTest::mouseClick(h.spin(R), Qt::LeftButton, {},
                      QPoint(h.spin(R)->width() / 2, h.spin(R)->height() - 2));
    QCOMPARE(h.slider(R)->value(), 5);
    h.slider(G)->setValue(255);
    QTest::mouseClick(h.spin(G), Qt::LeftButton, {}, QPoint(h.spin(G)->width() / 2, 2));
    QCOMPARE(h.slider(G)->value(), 255);
}

void TestChannelControls::cascadeD_typedHexLowerCase()
{
    ChannelHarness h;
    h.letterCase->setValue(1);
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

void TestChannelControls::cascadeF_reset()
{
    ChannelHarness h;
    h.controls->storeSliders(10, 20, 30);
    QCOMPARE(h.code(), QStringLiteral("#0A141E"));
    QStringList codes;
    h.controls->trace = [&](const QString &line) {
        if (line.contains(QStringLiteral("store TextCode")))
            codes.append(line.trimmed());
    };
    h.controls->storeSliders(0, 0, 0);
    // Blue's hex step composes the code too, before its slider step does.
    COMPARE_TRACE(codes, lines({u"store TextCode \"#00141E\"", u"store TextCode \"#00001E\"",
                                u"store TextCode \"#000000\"", u"store TextCode \"#000000\""}));
    // Reset again: every slider already holds 0, so no step runs.
    h.record();
    h.controls->storeSliders(0, 0, 0);
    COMPARE_TRACE(h.take(),
                  lines({u"store SliderRed 0", u"store SliderGreen 0", u"store SliderBlue 0"}));
}

void TestChannelControls::cascadeG1_decimalRejected()
{
    ChannelHarness h;
    h.slider(B)->setValue(7);
    h.record();
    typeInto(h.dec(B), QStringLiteral("300"));
    QCOMPARE(h.messages, QStringList{colour::kDecimalMessage});
    COMPARE_TRACE(h.take(), lines({
                                u"TextBlue_Change",
                                u"TextBlue_Change",
                                u"TextBlue_Change",
                                u"  store TextBlue \"7\"",
                                u"  TextBlue_Change",
                                u"  SliderBlue_Change",
                                u"    store TextBlue \"007\"",
                                u"    TextBlue_Change",
                                u"      store UpDownBlue 7",
                                u"    store ColorBox 070000",
                                u"    store TextCode \"#000007\"",
                            }));
    QCOMPARE(h.dec(B)->text(), QStringLiteral("007"));
    QCOMPARE(h.slider(B)->value(), 7);
}

void TestChannelControls::cascadeG2_hexRejected()
{
    ChannelHarness h;
    h.slider(R)->setValue(171);
    h.record();
    typeInto(h.hex(R), QStringLiteral("zz"));
    QCOMPARE(h.messages, QStringList{colour::kHexMessage});
    COMPARE_TRACE(h.take(), lines({
                                u"TextRedHex_Change",
                                u"TextRedHex_Change",
                                u"  store TextRedHex \"AB\"",
                                u"  TextRedHex_Change",
                                u"    store SliderRed 171",
                                u"    store TextRedHex \"AB\"",
                                u"  UpDownRed_Change",
                                u"    store TextRedHex \"AB\"",
                            }));
    QCOMPARE(h.slider(R)->value(), 171);
}

void TestChannelControls::cascadeG3_hexRejectedWithPartialDecimal()
{
    ChannelHarness h;
    h.slider(R)->setValue(171);
    typeInto(h.dec(R), QStringLiteral("25"));
    QCOMPARE(h.dec(R)->text(), QStringLiteral("25"));
    typeInto(h.hex(R), QStringLiteral("zz"));
    QCOMPARE(h.messages, QStringList{colour::kHexMessage});
    QCOMPARE(h.slider(R)->value(), 25);
    QCOMPARE(h.dec(R)->text(), QStringLiteral("025"));
    QCOMPARE(h.spin(R)->value(), 25);
    QCOMPARE(h.hex(R)->text(), QStringLiteral("19"));
}

void TestChannelControls::editsInOneBox_data()
{
    QTest::addColumn<int>("red");
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("emptyDecimal"); // clear the red decimal box first
    QTest::addColumn<QString>("entered");
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("channel");   // the value of the box's channel after
    QTest::addColumn<QString>("shown"); // what the box shows after
    QTest::addColumn<int>("messages");
    const auto row = [](const char *tag, int red, const char *box, bool emptyDecimal,
                        const char *entered, const char *code, int channel, const char *shown,
                        int messages) {
        QTest::newRow(tag) << red << QString::fromLatin1(box) << emptyDecimal
                           << QString::fromLatin1(entered) << QString::fromLatin1(code) << channel
                           << QString::fromLatin1(shown) << messages;
    };
    row("two digits in a decimal box", 0x12, "TextRed", false, "99", "#123456", 0x12, "99", 0);
    row("one character in the red hex box", 0x12, "TextRedHex", false, "7", "#123456", 0x12, "7",
        0);
    row("one character in the blue hex box", 0x12, "TextBlueHex", false, "7", "#12347", 0x56, "7",
        0);
    row("blue hex box emptied", 0x12, "TextBlueHex", false, "", "#1234", 0x56, "", 0);
    row("pasted 2.5 rounds to even", 7, "TextRed", false, "2.5", "#023456", 2, "002", 0);
    row("pasted 2.0 over 2 stays as pasted", 2, "TextRed", false, "2.0", "#023456", 2, "2.0", 0);
    row("bad hex with an empty decimal box", 0x42, "TextRedHex", true, "q!", "#423456", 0x42, "42",
        1);
}

void TestChannelControls::editsInOneBox()
{
    QFETCH(int, red);
    QFETCH(QString, box);
    QFETCH(bool, emptyDecimal);
    QFETCH(QString, entered);
    QFETCH(QString, code);
    QFETCH(int, channel);
    QFETCH(QString, shown);
    QFETCH(int, messages);
    ChannelHarness h;
    h.controls->storeSliders(red, 0x34, 0x56);
    if (emptyDecimal)
        h.dec(R)->setText(QString());
    auto *edit = h.window.findChild<ChannelEdit *>(box);
    edit->selectAll();
    edit->insert(entered); // as a paste
    QCOMPARE(h.code(), code);
    const Channel c = box.contains(QStringLiteral("Blue")) ? B : R;
    QCOMPARE(h.slider(c)->value(), channel);
    QCOMPARE(edit->text(), shown);
    QCOMPARE(h.messages.size(), messages);
}

void TestChannelControls::chooserSameColourWithLowerCase()
{
    ChannelHarness h;
    h.controls->storeSliders(0xAB, 0xCD, 0xEF);
    h.letterCase->setValue(1);
    h.controls->storeText(h.hex(R), QStringLiteral("ab"));
    h.controls->storeText(h.hex(G), QStringLiteral("cd"));
    h.controls->storeText(h.hex(B), QStringLiteral("ef"));
    h.controls->storeText(h.controls->codeBox(), QStringLiteral("#abcdef"));
    h.record();
    h.controls->storeHexTexts(colour::SplitColorValue(colour::MakeColourValue(0xAB, 0xCD, 0xEF)));
    const QStringList trace = h.take();
    // Each upper-case store finds the slider equal and restores the lower case.
    QVERIFY(!trace.join(u'\n').contains(QStringLiteral("Slider") + QStringLiteral("Red_Change")));
    QCOMPARE(h.hex(R)->text(), QStringLiteral("ab"));
    QCOMPARE(h.hex(B)->text(), QStringLiteral("ef"));
    QCOMPARE(h.code(), QStringLiteral("#abcdef"));
}

void TestChannelControls::keyFilter_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("beeps");
    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("digit") << int(Qt::Key_4) << none << QString() << QStringLiteral("4") << 0;
    QTest::newRow("letter") << int(Qt::Key_A) << none << QString() << QString() << 1;
    QTest::newRow("minus") << int(Qt::Key_Minus) << none << QString() << QString() << 1;
    QTest::newRow("point") << int(Qt::Key_Period) << none << QString() << QString() << 1;
    QTest::newRow("blank") << int(Qt::Key_Space) << none << QString() << QString() << 1;
    QTest::newRow("ctrl+v") << int(Qt::Key_V) << ctrl << QString() << QString() << 1;
    QTest::newRow("ctrl+c") << int(Qt::Key_C) << ctrl << QStringLiteral("12")
                            << QStringLiteral("12") << 1;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << none << QStringLiteral("12")
                               << QStringLiteral("1") << 0;
    QTest::newRow("left arrow") << int(Qt::Key_Left) << none << QStringLiteral("12")
                                << QStringLiteral("12") << 0;
    QTest::newRow("delete") << int(Qt::Key_Delete) << none << QStringLiteral("12")
                            << QStringLiteral("12") << 0; // the cursor is at the end
}

void TestChannelControls::keyFilter()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, beeps);
    ChannelHarness h;
    h.dec(R)->setText(before);
    h.dec(R)->setFocus();
    h.dec(R)->end(false);
    QTest::keyClick(h.dec(R), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(h.dec(R)->text(), after);
    QCOMPARE(h.beeps, beeps);
    // The hex boxes have no filter.
    QTest::keyClick(h.hex(R), Qt::Key_End);
    QTest::keyClick(h.hex(R), Qt::Key_Backspace);
    QTest::keyClick(h.hex(R), Qt::Key_Z);
    QCOMPARE(h.beeps, beeps);
}

void TestChannelControls::typedCharacter_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("ctrl+v as X sends it")
        << int(Qt::Key_V) << int(Qt::ControlModifier) << QStringLiteral("\x16") << 22;
    QTest::newRow("ctrl+v as a test sends it")
        << int(Qt::Key_V) << int(Qt::ControlModifier) << QStringLiteral("v") << 22;
    QTest::newRow("ctrl+c") << int(Qt::Key_C) << int(Qt::ControlModifier) << QString() << 3;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0 << QString() << 8;
    QTest::newRow("delete") << int(Qt::Key_Delete) << 0 << QStringLiteral("\x7f") << -1;
    QTest::newRow("tab") << int(Qt::Key_Tab) << 0 << QStringLiteral("\t") << -1;
    QTest::newRow("home") << int(Qt::Key_Home) << 0 << QString() << -1;
    QTest::newRow("shift+insert") << int(Qt::Key_Insert) << int(Qt::ShiftModifier) << QString()
                                  << -1;
    QTest::newRow("digit") << int(Qt::Key_7) << 0 << QStringLiteral("7") << int('7');
    QTest::newRow("kana") << int(Qt::Key_unknown) << 0 << QStringLiteral(u"あ") << 0x3042;
}

void TestChannelControls::typedCharacter()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(ChannelEdit::typedCharacter(key, Qt::KeyboardModifiers(modifiers), text), expected);
}

void TestChannelControls::typedLengthIsLimitedStoredIsNot()
{
    ChannelHarness h;
    typeInto(h.hex(G), QStringLiteral("abc"));
    QCOMPARE(h.hex(G)->text().size(), 2);
    typeInto(h.dec(G), QStringLiteral("1234"));
    QCOMPARE(h.dec(G)->text().size(), 3);
    // A text the program stores is kept whole, and a two-digit hex box
    // ignores a longer one.
    h.record();
    h.controls->storeText(h.hex(R), QStringLiteral("FFFFFFF7"));
    COMPARE_TRACE(h.take(), lines({u"store TextRedHex \"FFFFFFF7\"", u"TextRedHex_Change"}));
}

void TestChannelControls::messageBoxLooksRight_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("decimal") << colour::kDecimalMessage;
    QTest::newRow("hex") << colour::kHexMessage;
}

void TestChannelControls::messageBoxLooksRight()
{
    QFETCH(QString, text);
    QWidget parent;
    parent.show();
    bool seen = false;
    int tries = 0;
    // Answer the box from inside its own modal loop, once it is up (bounded:
    // the box is up at the first try unless something is wrong).
    std::function<void()> answer;
    answer = [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            if (++tries < 500)
                QTimer::singleShot(10, &parent, answer);
            else if (QWidget *other = QApplication::activeModalWidget())
                other->close();
            return;
        }
        seen = true;
        QCOMPARE(box->text(), text);
        QCOMPARE(box->windowTitle(), QStringLiteral("Vandrel"));
        QCOMPARE(box->icon(), QMessageBox::NoIcon);
        QCOMPARE(box->buttons().size(), 1);
        QCOMPARE(box->standardButton(box->buttons().first()), QMessageBox::Ok);
        QVERIFY(box->isModal());
        box->buttons().first()->click();
    };
    QTimer::singleShot(0, &parent, answer);
    ShowMessageBox(&parent, text);
    QVERIFY(seen);
}

QTEST_MAIN(TestChannelControls)
#include "test_channelcontrols.moc"
