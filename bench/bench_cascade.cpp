// SPDX-License-Identifier: MIT
// How long one change takes to spread through the main window's colour views,
// on the real widgets (offscreen). Prints the figures; never fails on time.
#include "colour/channelcontrols.h"
#include "colour/channeledit.h"
#include "colour/lettercasebox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSlider>
#include <QTextStream>
#include <QWidget>
#include <cstdio>

namespace {

template <typename Body> double microsecondsPer(int rounds, Body body)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i)
        body(i);
    return static_cast<double>(timer.nsecsElapsed()) / 1000.0 / rounds;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QWidget window;
    auto *letterCase = new LetterCaseBox(QStringLiteral("case"), &window);
    ChannelControls controls(&window, letterCase,
                             Feedback{[] {}, [](QWidget *, const QString &) {}});
    window.show();

    constexpr int kRounds = 20000;
    QSlider *red = controls.slider(colour::Channel::Red);
    const double slider = microsecondsPer(kRounds, [red](int i) { red->setValue(i % 256); });
    ChannelEdit *greenHex = controls.hexBox(colour::Channel::Green);
    const double hex = microsecondsPer(
        kRounds, [greenHex](int i) { greenHex->setText(colour::FormatChannelHex((i * 7) % 256)); });
    ChannelEdit *blueDec = controls.decimalBox(colour::Channel::Blue);
    const double decimal = microsecondsPer(
        kRounds, [blueDec](int i) { blueDec->setText(colour::FormatChannelDec((i * 13) % 256)); });
    letterCase->setValue(colour::LetterCase::Lower);
    const double sliderLower = microsecondsPer(kRounds, [red](int i) { red->setValue(i % 256); });

    std::printf("cascade per slider store:              %8.2f us\n", slider);
    std::printf("cascade per slider store, lower case:  %8.2f us\n", sliderLower);
    std::printf("cascade per hex text store:            %8.2f us\n", hex);
    std::printf("cascade per typed decimal value:       %8.2f us\n", decimal);
    std::printf("one 60 Hz frame is 16667 us; 1%% of it is 167 us\n");
    return 0;
}
