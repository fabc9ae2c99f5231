// SPDX-License-Identifier: MIT
// A long random walk over the channel views from a fixed seed, checking after
// every operation what a user would see go wrong: a spin apart from its
// slider, a preview apart from the sliders, a message for a text the program
// stored (or two for one entry), and steps nested without end.
#include "support/channelharness.h"

#include <QTest>
#include <random>

using colour::Channel;

namespace {

constexpr std::uint32_t kSeed = 20261206;
constexpr int kOperations = 20000;
// The step a user action enters, one more pass round the four-step cycle back
// to the box it started from, that box's letter-case store, and the code step
// with the one nested run its own store may raise.
constexpr int kMaxDepth = 1 + 4 + 1 + 2;

const QStringList kDecimalPastes =
    QStringLiteral(u"2.5|-12| 1e2|nan|inf|abc||300|255|2.0|007|1e9|é|9|+5|.5 |１２３|99")
        .split(u'|');
const QStringList kHexPastes = QStringLiteral(u"ff|G1|1.|  |aB|0||-1|ＦＦ|7f").split(u'|');
const Qt::Key kDecimalKeys[] = {Qt::Key_0, Qt::Key_2,     Qt::Key_9,      Qt::Key_Backspace,
                                Qt::Key_A, Qt::Key_Minus, Qt::Key_Period, Qt::Key_V};
const Qt::Key kHexKeys[] = {Qt::Key_0, Qt::Key_7,         Qt::Key_A, Qt::Key_F,
                            Qt::Key_G, Qt::Key_Backspace, Qt::Key_Z, Qt::Key_Space};

} // namespace

class TestChannelSoak : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void randomWalk();
};

void TestChannelSoak::randomWalk()
{
    ChannelHarness h;
    std::mt19937 rng(kSeed);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<std::uint32_t>(n)); };
    QStringList steps; // what the last operation ran
    h.controls->trace = [&steps](const QString &line) { steps.append(line); };

    for (int op = 0; op < kOperations; ++op) {
        const Channel c = colour::kChannels[pick(3)];
        ChannelEdit *const box = pick(2) ? h.dec(c) : h.hex(c);
        const bool decimal = box == h.dec(c);
        const int kind = pick(8);
        const auto messagesBefore = h.messages.size();
        steps.clear();
        h.controls->resetMaxDepth();
        switch (kind) {
        case 0: // a drag, or a click on the slider's track
            h.slider(c)->setSliderDown(true);
            for (int i = pick(3); i >= 0; --i)
                h.slider(c)->setSliderPosition(pick(256));
            h.slider(c)->setSliderDown(false);
            break;
        case 1:
            h.spin(c)->triggerAction(pick(2) ? QAbstractSlider::SliderSingleStepAdd
                                             : QAbstractSlider::SliderSingleStepSub);
            break;
        case 2: { // a key into a box, over a selection at times
            const Qt::Key key = decimal ? kDecimalKeys[pick(std::size(kDecimalKeys))]
                                        : kHexKeys[pick(std::size(kHexKeys))];
            if (pick(3) == 0)
                box->selectAll();
            QTest::keyClick(box, key, key == Qt::Key_V ? Qt::ControlModifier : Qt::NoModifier);
            break;
        }
        case 3: { // a paste over the whole box
            const QStringList &texts = decimal ? kDecimalPastes : kHexPastes;
            const QString &text = texts[pick(int(texts.size()))];
            box->selectAll();
            box->insert(text);
            break;
        }
        case 4: {
            const int option = pick(8) == 0 ? 2 : pick(2);
            h.letterCase->setValue(colour::LetterCaseFromStored(option));
            h.controls->convertLetterCase();
            break;
        }
        case 5: { // the chooser, the eyedropper or a swatch
            const auto value = static_cast<colour::ColourValue>(rng() & 0xFFFFFF);
            h.controls->storeHexTexts(colour::SplitColorValue(value));
            break;
        }
        default: { // start-up, Reset or the palette picture
            const int r = pick(256), g = pick(256), b = pick(256);
            h.controls->storeSliders(r, g, b);
            break;
        }
        }

        QString wrong;
        for (const Channel ch : colour::kChannels) {
            if (h.spin(ch)->value() != h.slider(ch)->value())
                wrong = QStringLiteral("spin differs from slider");
        }
        const bool typed = kind == 2 || kind == 3;
        if (h.preview() != h.controls->colourValue())
            wrong = QStringLiteral("preview differs from the sliders");
        else if (!typed && h.messages.size() != messagesBefore)
            wrong = QStringLiteral("a message for a stored text");
        else if (h.messages.size() > messagesBefore + 1)
            wrong = QStringLiteral("more than one message");
        else if (h.controls->maxDepth() > kMaxDepth)
            wrong = QStringLiteral("steps nested %1 deep").arg(h.controls->maxDepth());
        if (!wrong.isEmpty())
            QFAIL(qPrintable(QStringLiteral("seed %1, operation %2 (kind %3): %4\nits steps:\n%5")
                                 .arg(kSeed)
                                 .arg(op)
                                 .arg(kind)
                                 .arg(wrong, steps.join(u'\n'))));
    }
    QVERIFY(h.beeps > 0);           // the walk did type rejected keys
    QVERIFY(!h.messages.isEmpty()); // and rejected texts
}

QTEST_MAIN(TestChannelSoak)
#include "test_channelsoak.moc"
