// SPDX-License-Identifier: MIT
// A long random walk over the channel views from a fixed seed, checking after
// every operation what a user would see go wrong: a spin apart from its
// slider, a preview apart from the sliders, a message for a text the program
// stored (or two for one entry), and steps nested without end.
#include "support/channelharness.h"

#include <QTest>
#include <random>

class TestChannelSoak : public QObject
{
    Q_OBJECT
private Q_SLOTS:
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
                for (int i = pick(3); i >= 0; --i)
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

QTEST_MAIN(TestChannelSoak)
#include "test_channelsoak.moc"
