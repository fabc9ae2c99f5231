// SPDX-License-Identifier: MIT
// The cascades of the channel views, replayed on the real widgets: the
// order of the steps where it is more than the end state, and the end state
// of every kind of edit in one box.
#include "support/channelharness.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>

using colour::Channel;

namespace {
constexpr Channel R = Channel::Red;
constexpr Channel G = Channel::Green;

// Traces compare as one text, so a failure shows both in full.
#define COMPARE_TRACE(actual, expected) QCOMPARE((actual).join(u'\n'), QString::fromUtf8(expected))
} // namespace

class TestChannelControls : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initialState();
    void cascadeA_sliderDrag();
    void cascadeD_typedHexLowerCase();
    void cascadeE_chooserTexts();
    void editsInOneBox();
    void chooserSameColourWithLowerCase();
    void typedCharacter();
    void storedLengthIsNotLimited();
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
    // The other names are looked up by the main window's tab-order test.
    QCOMPARE(h.controls->colorBox()->objectName(), QStringLiteral("ColorBox"));
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
    COMPARE_TRACE(h.take(), R"(SliderRed_Change
  store TextRed "171"
  TextRed_Change
    store UpDownRed 171
    UpDownRed_Change
      store TextRedHex "AB"
      TextRedHex_Change
        store SliderRed 171
        store TextRedHex "AB"
  store ColorBox 0000ab
  store TextCode "#AB0000"
  TextCode_Change)");
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
    COMPARE_TRACE(h.take(), "TextRedHex_Change");
    QTest::keyClicks(h.hex(R), QStringLiteral("B"));
    COMPARE_TRACE(h.take(), R"(TextRedHex_Change
  store SliderRed 171
  SliderRed_Change
    store TextRed "171"
    TextRed_Change
      store UpDownRed 171
      UpDownRed_Change
        store TextRedHex "AB"
    store ColorBox 0000ab
    store TextCode "#AB0000"
    TextCode_Change
      store TextCode "#ab0000"
      TextCode_Change
        store TextCode "#ab0000"
  store TextRedHex "ab"
  TextRedHex_Change
    store SliderRed 171
    store TextRedHex "ab")");
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

void TestChannelControls::editsInOneBox()
{
    // Red starts as given, green 0x34, blue 0x56; a decimal text, unless null, is
    // pasted into the red decimal box first. After: the code, the box's channel,
    // [what the box shows], messages and beeps.
    struct Edit
    {
        const char *tag;
        int red;
        const char16_t *decimal;
        const char *box, *how; // typed, pasted, committed by an input method, spin arrow
        const char16_t *entered;
        const char *after;
    };
    const Edit edits[] = {
        {"two digits typed", 0x12, nullptr, "TextRed", "typed", u"99", "#123456 18 [99] m0 b0"},
        {"three digits typed", 5, nullptr, "TextRed", "typed", u"200", "#C83456 200 [200] m0 b0"},
        {"letters and signs typed", 0x12, nullptr, "TextRed", "typed", u"a-. ",
         "#123456 18 [018] m0 b4"},
        {"300 typed", 0x12, nullptr, "TextBlue", "typed", u"300", "#123456 86 [086] m1 b0"},
        {"one digit typed into red hex", 0x12, nullptr, "TextRedHex", "typed", u"7",
         "#123456 18 [7] m0 b0"},
        {"one digit typed into blue hex", 0x12, nullptr, "TextBlueHex", "typed", u"7",
         "#12347 86 [7] m0 b0"},
        {"blue hex emptied", 0x12, nullptr, "TextBlueHex", "pasted", u"", "#1234 86 [] m0 b0"},
        {"bad hex typed", 171, nullptr, "TextRedHex", "typed", u"zz", "#AB3456 171 [AB] m1 b0"},
        {"bad hex over a partial decimal", 171, u"25", "TextRedHex", "typed", u"zz",
         "#193456 25 [19] m1 b0"},
        {"bad hex over an empty decimal", 0x42, u"", "TextRedHex", "pasted", u"q!",
         "#423456 66 [42] m1 b0"},
        {"pasted 2.5 rounds to even", 7, nullptr, "TextRed", "pasted", u"2.5",
         "#023456 2 [002] m0 b0"},
        {"paste longer than a decimal box", 0x12, nullptr, "TextRed", "pasted", u"1234",
         "#7B3456 123 [123] m0 b0"},
        {"paste longer than a hex box", 0x12, nullptr, "TextRedHex", "pasted", u"abc",
         "#AB3456 171 [AB] m0 b0"},
        {"pasted 2.0 stays", 2, nullptr, "TextRed", "pasted", u"2.0", "#023456 2 [2.0] m0 b0"},
        {"full-width digits from an input method", 0x12, nullptr, "TextRed", "ime", u"１２３",
         "#123456 18 [018] m0 b1"},
        {"kana from an input method", 0x12, nullptr, "TextRed", "ime", u"あ",
         "#123456 18 [018] m0 b1"},
        {"digits from an input method", 0x12, nullptr, "TextRed", "ime", u"123",
         "#7B3456 123 [123] m0 b0"},
        {"spin up", 5, nullptr, "UpDownRed", "spin", u"+", "#063456 6 [6] m0 b0"},
        {"spin down", 5, nullptr, "UpDownRed", "spin", u"-", "#043456 4 [4] m0 b0"},
        {"spin up at the end", 255, nullptr, "UpDownRed", "spin", u"+", "#FF3456 255 [255] m0 b0"},
    };
    for (const Edit &e : edits) {
        ChannelHarness h;
        h.controls->storeSliders(e.red, 0x34, 0x56);
        if (e.decimal) {
            h.dec(R)->selectAll();
            h.dec(R)->insert(QString::fromUtf16(e.decimal));
        }
        const QString how = QString::fromLatin1(e.how), entered = QString::fromUtf16(e.entered);
        auto *target = h.window.findChild<QWidget *>(QString::fromLatin1(e.box));
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
        const Channel c = QByteArray(e.box).contains("Blue") ? Channel::Blue : R;
        const QString shown = edit ? edit->text() : QString::number(h.spin(c)->value());
        QCOMPARE(QStringLiteral("%1: %2 %3 [%4] m%5 b%6")
                     .arg(QString::fromLatin1(e.tag), h.code())
                     .arg(h.slider(c)->value())
                     .arg(shown)
                     .arg(h.messages.size())
                     .arg(h.beeps),
                 QString::fromLatin1(e.tag) + QStringLiteral(": ") + QString::fromLatin1(e.after));
    }
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

void TestChannelControls::storedLengthIsNotLimited()
{
    ChannelHarness h;
    // A text the program stores is kept whole (a typed or pasted one is cut to
    // fit), and a two-digit hex box ignores a longer one.
    h.record();
    h.controls->storeText(h.hex(R), QStringLiteral("FFFFFFF7"));
    COMPARE_TRACE(h.take(), R"(store TextRedHex "FFFFFFF7"
TextRedHex_Change)");
}

QTEST_MAIN(TestChannelControls)
#include "test_channelcontrols.moc"
