// SPDX-License-Identifier: MIT
#pragma once

#include "colour/channelcontrols.h"
#include "colour/channeledit.h"
#include "colour/colorbox.h"
#include "colour/lettercasebox.h"
#include "colour/spinarrows.h"

#include <QLineEdit>
#include <QSlider>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <utility>

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
