// SPDX-License-Identifier: MIT
// A long random walk over the channel views from a fixed seed, checking after
// every operation what must always hold between them.
//
// Invariants after each operation: each slider and its spin hold the same
// value; the preview shows the sliders' colour; no message for an operation
// in which only the program stored texts, at most one for any other; the
// steps never nest deeper than one pass round the cycle decimal box, spin,
// hex box, slider, plus the nested letter-case stores and the code step.
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

const QString kDecimalPastes[] = {
    QStringLiteral("2.5"),     QStringLiteral("-12"), QStringLiteral(" 1e2"), QStringLiteral("nan"),
    QStringLiteral("inf"),     QStringLiteral("abc"), QStringLiteral(""),     QStringLiteral("300"),
    QStringLiteral("255"),     QStringLiteral("2.0"), QStringLiteral("007"),  QStringLiteral("1e9"),
    QStringLiteral("\u00e9"),  QStringLiteral("9"),   QStringLiteral("+5"),   QStringLiteral(".5 "),
    QStringLiteral(u"１２３"), QStringLiteral("99")};
const QString kHexPastes[] = {QStringLiteral("ff"), QStringLiteral("G1"), QStringLiteral("1."),
                              QStringLiteral("  "), QStringLiteral("aB"), QStringLiteral("0"),
                              QStringLiteral(""),   QStringLiteral("-1"), QStringLiteral(u"ＦＦ"),
                              QStringLiteral("7f")};
const Qt::Key kDecimalKeys[] = {Qt::Key_0,      Qt::Key_1,         Qt::Key_2, Qt::Key_5,
                                Qt::Key_9,      Qt::Key_Backspace, Qt::Key_A, Qt::Key_Minus,
                                Qt::Key_Period, Qt::Key_V};
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
    h.controls->storeSliders(1, 2, 3);
    std::mt19937 rng(kSeed);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<std::uint32_t>(n)); };

    QStringList log;   // the operations so far, for the failure report
    QStringList steps; // what the last operation ran, for the failure report
    h.controls->trace = [&steps](const QString &line) { steps.append(line); };

    for (int op = 0; op < kOperations; ++op) {
        const Channel c = colour::kChannels[pick(3)];
        const int kind = pick(10);
        const int messagesBefore = static_cast<int>(h.messages.size());
        bool programOnly = true;
        steps.clear();
        h.controls->resetMaxDepth();
        QString what;
        switch (kind) {
        case 0: {
            const int v = pick(256);
            h.slider(c)->setValue(v);
            what = QStringLiteral("slider %1 = %2").arg(int(c)).arg(v);
            break;
        }
        case 1: {
            h.slider(c)->setSliderDown(true);
            for (int i = 0; i < 3; ++i)
                h.slider(c)->setSliderPosition(pick(256));
            h.slider(c)->setSliderDown(false);
            what = QStringLiteral("drag %1").arg(int(c));
            break;
        }
        case 2: {
            const bool up = pick(2) == 0;
            h.spin(c)->triggerAction(up ? QAbstractSlider::SliderSingleStepAdd
                                        : QAbstractSlider::SliderSingleStepSub);
            what = QStringLiteral("spin %1 %2").arg(int(c)).arg(up ? u'+' : u'-');
            break;
        }
        case 3: {
            const Qt::Key key = kDecimalKeys[pick(std::size(kDecimalKeys))];
            const auto mods = key == Qt::Key_V ? Qt::ControlModifier : Qt::NoModifier;
            if (pick(3) == 0)
                h.dec(c)->selectAll();
            QTest::keyClick(h.dec(c), key, mods);
            programOnly = false;
            what = QStringLiteral("key %1 into decimal %2").arg(int(key)).arg(int(c));
            break;
        }
        case 4: {
            const QString &text = kDecimalPastes[pick(std::size(kDecimalPastes))];
            h.dec(c)->selectAll();
            h.dec(c)->insert(text);
            programOnly = false;
            what = QStringLiteral("paste \"%1\" into decimal %2").arg(text).arg(int(c));
            break;
        }
        case 5: {
            const Qt::Key key = kHexKeys[pick(std::size(kHexKeys))];
            if (pick(3) == 0)
                h.hex(c)->selectAll();
            QTest::keyClick(h.hex(c), key);
            programOnly = false;
            what = QStringLiteral("key %1 into hex %2").arg(int(key)).arg(int(c));
            break;
        }
        case 6: {
            const QString &text = kHexPastes[pick(std::size(kHexPastes))];
            h.hex(c)->selectAll();
            h.hex(c)->insert(text);
            programOnly = false;
            what = QStringLiteral("paste \"%1\" into hex %2").arg(text).arg(int(c));
            break;
        }
        case 7: {
            const int option = pick(8) == 0 ? 2 : pick(2);
            h.letterCase->setValue(option);
            h.controls->convertLetterCase();
            what = QStringLiteral("letter case %1").arg(option);
            break;
        }
        case 8: {
            const auto value = static_cast<colour::ColourValue>(rng() & 0xFFFFFF);
            h.controls->storeHexTexts(colour::SplitColorValue(value));
            what = QStringLiteral("hex texts of %1").arg(value, 6, 16, QLatin1Char('0'));
            break;
        }
        default: {
            const int r = pick(256), g = pick(256), b = pick(256);
            h.controls->storeSliders(r, g, b);
            what = QStringLiteral("sliders %1 %2 %3").arg(r).arg(g).arg(b);
            break;
        }
        }
        log.append(what);

        auto fail = [&](const QString &why) {
            return QStringLiteral("seed %1, operation %2: %3\nlast operations:\n%4\nsteps:\n%5")
                .arg(kSeed)
                .arg(op)
                .arg(why, log.mid(std::max<qsizetype>(0, log.size() - 30)).join(u'\n'),
                     steps.join(u'\n'));
        };
        for (const Channel ch : colour::kChannels) {
            if (h.spin(ch)->value() != h.slider(ch)->value())
                QFAIL(qPrintable(fail(QStringLiteral("spin differs from slider"))));
        }
        if (h.preview() != h.controls->colourValue())
            QFAIL(qPrintable(fail(QStringLiteral("preview differs from the sliders"))));
        if (programOnly && h.messages.size() != messagesBefore)
            QFAIL(qPrintable(fail(QStringLiteral("a message for a stored text"))));
        if (h.messages.size() > messagesBefore + 1)
            QFAIL(qPrintable(fail(QStringLiteral("more than one message"))));
        if (h.controls->maxDepth() > kMaxDepth)
            QFAIL(qPrintable(
                fail(QStringLiteral("steps nested %1 deep").arg(h.controls->maxDepth()))));
    }
    QVERIFY(h.beeps > 0);           // the walk did type rejected keys
    QVERIFY(!h.messages.isEmpty()); // and rejected texts
}

QTEST_MAIN(TestChannelSoak)
#include "test_channelsoak.moc"
