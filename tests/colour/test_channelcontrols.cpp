// SPDX-License-Identifier: MIT
// The cascades of the channel views, replayed on the real widgets: the
// order of a drag's steps, which the user watches, the end state of every
// kind of edit in one box, and a long random walk.
#include "colour/channelcontrols.h"
#include "colour/channeledit.h"
#include "colour/colorbox.h"
#include "colour/lettercasebox.h"
#include "colour/spinarrows.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QSlider>
#include <QTest>
#include <memory>
#include <random>
#include <utility>

using colour::Channel;

namespace {

/// The channel views on a bare window, with the beep and the messages
/// recorded instead of sounded and shown, and every step and store traced.
struct ChannelHarness
{
    QWidget window;
    LetterCaseBox *letterCase = new LetterCaseBox(QStringLiteral("case"), &window);
    int beeps = 0;
    QStringList messages;
    QStringList trace;
    std::unique_ptr<ChannelControls> controls = std::make_unique<ChannelControls>(
        &window, letterCase,
        Feedback{[this] { ++beeps; },
                 [this](QWidget *, const QString &text) { messages.append(text); }});

    ChannelHarness()
    {
        controls->trace = [this](const QString &line) { trace.append(line); };
    }
    QStringList take() { return std::exchange(trace, {}); }

    QSlider *slider(colour::Channel c) const { return controls->slider(c); }
    SpinArrows *spin(colour::Channel c) const { return controls->spin(c); }
    ChannelEdit *dec(colour::Channel c) const { return controls->decimalBox(c); }
    ChannelEdit *hex(colour::Channel c) const { return controls->hexBox(c); }
    QString code() const { return controls->codeBox()->text(); }
    /// Found by its name, which nothing else looks up.
    colour::ColourValue preview() const
    {
        return window.findChild<ColorBox *>(QStringLiteral("ColorBox"))->backColor();
    }
};

constexpr Channel R = Channel::Red;

// Traces compare as one text, so a failure shows both in full.
#define COMPARE_TRACE(actual, expected) QCOMPARE((actual).join(u'\n'), QString::fromUtf8(expected))
} // namespace

class TestChannelControls : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cascadeA_sliderDrag()
    {
        ChannelHarness h;
        h.slider(R)->setValue(5);
        h.take();
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
    }

    void lowerCaseTypedPair()
    {
        // Under the lower-case option a typed hex pair ends in lower case in
        // every view. (A chosen colour's texts take the same way.)
        ChannelHarness h;
        h.letterCase->setValue(colour::LetterCase::Lower);
        h.hex(R)->setFocus();
        h.hex(R)->selectAll();
        QTest::keyClicks(h.hex(R), QStringLiteral("AB"));
        QCOMPARE(h.code() + h.hex(R)->text() + h.dec(R)->text(), QStringLiteral("#ab0000ab171"));
    }

    void editsInOneBox()
    {
        // Red starts as given, green 0x34, blue 0x56; a decimal text, unless
        // null, stands in the red decimal box first. How the text arrives:
        // t typed, p pasted, i committed by an input method, s a spin arrow.
        // After: the code, the box's channel, [what the box shows], messages,
        // beeps.
        const std::tuple<int, const char16_t *, const char *, char, const char16_t *, const char *>
            edits[] = {
                {0x12, nullptr, "TextRed", 't', u"99", "#123456 18 [99] m0 b0"},
                // B, then C and the spin's other arrow and its end
                {5, nullptr, "TextRed", 't', u"200", "#C83456 200 [200] m0 b0"},
                {5, nullptr, "UpDownRed", 's', u"+", "#063456 6 [6] m0 b0"},
                {5, nullptr, "UpDownRed", 's', u"-", "#043456 4 [4] m0 b0"},
                {255, nullptr, "UpDownRed", 's', u"+", "#FF3456 255 [255] m0 b0"},
                // the key filter, then G.1
                {0x12, nullptr, "TextRed", 't', u"a-. ", "#123456 18 [018] m0 b4"},
                {0x12, nullptr, "TextBlue", 't', u"300", "#123456 86 [086] m1 b0"},
                // one hex digit: only blue recomposes the code at once
                {0x12, nullptr, "TextRedHex", 't', u"7", "#123456 18 [7] m0 b0"},
                {0x12, nullptr, "TextBlueHex", 't', u"7", "#12347 86 [7] m0 b0"},
                // G.2, G.3, over an empty decimal box, and over a negative partial
                // one, whose FFFFFFF7 must be stored whole (and so ignored), not cut
                // to a valid FF
                {171, nullptr, "TextRedHex", 't', u"zz", "#AB3456 171 [AB] m1 b0"},
                {171, u"25", "TextRedHex", 't', u"zz", "#193456 25 [19] m1 b0"},
                {0x42, u"", "TextRedHex", 'p', u"q!", "#423456 66 [42] m1 b0"},
                {0x12, u"-9", "TextRedHex", 'p', u"q!", "#123456 18 [12] m1 b0"},
                // pastes: halves to even, an equal value kept as pasted, cut to fit
                {7, nullptr, "TextRed", 'p', u"2.5", "#023456 2 [002] m0 b0"},
                {2, nullptr, "TextRed", 'p', u"2.0", "#023456 2 [2.0] m0 b0"},
                {0x12, nullptr, "TextRed", 'p', u"1234", "#7B3456 123 [123] m0 b0"},
                {0x12, nullptr, "TextRedHex", 'p', u"abc", "#AB3456 171 [AB] m0 b0"},
                // an input method: full-width digits and kana are not digits
                {0x12, nullptr, "TextRed", 'i', u"１２３", "#123456 18 [018] m0 b1"},
                {0x12, nullptr, "TextRed", 'i', u"あか", "#123456 18 [018] m0 b1"},
                {0x12, nullptr, "TextRed", 'i', u"123", "#7B3456 123 [123] m0 b0"},
            };
        for (const auto &[red, decimal, box, how, text, expected] : edits) {
            ChannelHarness h;
            h.controls->storeSliders(red, 0x34, 0x56);
            if (decimal)
                h.controls->storeText(h.dec(R), QString::fromUtf16(decimal));
            const QString entered = QString::fromUtf16(text);
            auto *target = h.window.findChild<QWidget *>(QString::fromLatin1(box));
            auto *edit = qobject_cast<QLineEdit *>(target);
            if (how == 's') {
                const int y = entered == u"+" ? 2 : target->height() - 2;
                QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(target->width() / 2, y));
            } else {
                edit->setFocus();
                edit->selectAll();
                QInputMethodEvent commit;
                commit.setCommitString(entered);
                if (how == 't')
                    QTest::keyClicks(edit, entered);
                else if (how == 'p')
                    edit->insert(entered);
                else
                    QApplication::sendEvent(edit, &commit);
            }
            const Channel c = QByteArray(box).contains("Blue") ? Channel::Blue : R;
            const QString after =
                QStringLiteral("%1 %2 [%3] m%4 b%5")
                    .arg(h.code())
                    .arg(h.slider(c)->value())
                    .arg(edit ? edit->text() : QString::number(h.spin(c)->value()))
                    .arg(h.messages.size())
                    .arg(h.beeps);
            QVERIFY2(after == QLatin1StringView(expected),
                     qPrintable(QStringLiteral("%1 into %2 gave %3")
                                    .arg(entered, QLatin1StringView(box), after)));
        }
    }

    void keysInADecimalBox()
    {
        // A decimal box takes the digits (typed in the edits below), Backspace
        // and the keys that type nothing; it beeps at and drops every other
        // character, Ctrl+letter as its control character whatever text the
        // event carries (X sends "\x16" for Ctrl+V, a test "v"). Tab never
        // gets here: it moves the focus. Key, modifiers, text, taken.
        const Qt::KeyboardModifiers none, ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
        const std::tuple<int, Qt::KeyboardModifiers, const char16_t *, bool> keys[] = {
            {Qt::Key_Backspace, none, u"\b", true}, {Qt::Key_Delete, none, u"\x7f", true},
            {Qt::Key_Insert, shift, u"", true},     {Qt::Key_V, ctrl, u"\x16", false},
            {Qt::Key_V, ctrl, u"v", false},         {Qt::Key_C, ctrl, u"", false},
            {Qt::Key_Slash, none, u"/", false},     {Qt::Key_Colon, none, u":", false},
            {Qt::Key_unknown, none, u"０", false}};
        ChannelHarness h;
        for (const auto &[key, modifiers, text, taken] : keys) {
            const int beeps = h.beeps;
            QKeyEvent press(QEvent::KeyPress, key, modifiers, QString::fromUtf16(text));
            QApplication::sendEvent(h.dec(R), &press);
            QVERIFY2((h.beeps == beeps) == taken, QByteArray::number(key, 16).constData());
        }
    }

    // A long random walk from a fixed seed, checking after every operation
    // what a user would see go wrong: a spin apart from its slider, a preview
    // apart from the sliders, a message for a text the program stored (or two
    // for one entry), and steps nested without end.
    void randomWalk()
    {
        // The step a user action enters, one more pass round the four-step cycle
        // back to the box it started from, that box's letter-case store, and the
        // code step with the one nested run its own store may raise.
        constexpr int kMaxDepth = 1 + 4 + 1 + 2;
        const QStringList pastes =
            QStringLiteral(u"2.5|-12| 1e2|nan|abc||300|255|2.0|1e9|+5|１２３|ff|G1|1.|aB|-1|ＦＦ")
                .split(u'|');
        const Qt::Key keys[] = {Qt::Key_0, Qt::Key_7,         Qt::Key_A, Qt::Key_F,
                                Qt::Key_G, Qt::Key_Backspace, Qt::Key_V, Qt::Key_Period};
        ChannelHarness h;
        h.controls->trace = nullptr;
        std::mt19937 rng(20261206);
        auto pick = [&rng](int n) { return int(rng() % std::uint32_t(n)); };
        for (int op = 0; op < 20000; ++op) {
            const colour::Channel c = colour::kChannels[pick(3)];
            ChannelEdit *const box = pick(2) ? h.dec(c) : h.hex(c);
            const int kind = pick(8);
            const auto messagesBefore = h.messages.size();
            h.controls->resetMaxDepth();
            if (kind == 0) { // a drag, or a click on the slider's track
                h.slider(c)->setSliderDown(true);
                h.slider(c)->setSliderPosition(pick(256));
                h.slider(c)->setSliderDown(false);
            } else if (kind == 1) {
                h.spin(c)->triggerAction(pick(2) ? QAbstractSlider::SliderSingleStepAdd
                                                 : QAbstractSlider::SliderSingleStepSub);
            } else if (kind == 2) { // a key, over a selection at times; V with Ctrl
                const Qt::Key key = keys[pick(std::size(keys))];
                if (pick(3) == 0)
                    box->selectAll();
                QTest::keyClick(box, key, key == Qt::Key_V ? Qt::ControlModifier : Qt::NoModifier);
            } else if (kind == 3) { // a paste over the whole box
                box->selectAll();
                box->insert(pastes[pick(int(pastes.size()))]);
            } else if (kind == 4) {
                h.letterCase->setValue(colour::LetterCaseFromStored(pick(8) == 0 ? 2 : pick(2)));
                h.controls->convertLetterCase();
            } else if (kind == 5) { // the chooser, the eyedropper or a swatch
                h.controls->storeHexTexts(colour::SplitColorValue(rng() & 0xFFFFFF));
            } else { // start-up, Reset or the palette picture
                h.controls->storeSliders(pick(256), pick(256), pick(256));
            }
            // Only a typed or pasted text may raise a message, and one at most.
            const QByteArray at = QByteArray("operation ") + QByteArray::number(op);
            for (const colour::Channel ch : colour::kChannels)
                QVERIFY2(h.spin(ch)->value() == h.slider(ch)->value(), at);
            QVERIFY2(h.preview() == h.controls->colourValue(), at);
            QVERIFY2(h.messages.size() - messagesBefore <= (kind == 2 || kind == 3), at);
            QVERIFY2(h.controls->maxDepth() <= kMaxDepth, at);
        }
        QVERIFY(h.beeps > 0);           // the walk did type rejected keys
        QVERIFY(!h.messages.isEmpty()); // and rejected texts
    }
};

QTEST_MAIN(TestChannelControls)
#include "test_channelcontrols.moc"
