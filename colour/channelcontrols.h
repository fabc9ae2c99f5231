// SPDX-License-Identifier: MIT
#pragma once

#include "colour/channeltext.h"
#include "colour/feedback.h"

#include <QObject>
#include <array>
#include <functional>

class QLineEdit;
class QSlider;
class ChannelEdit;
class ColorBox;
class LetterCaseBox;
class SpinArrows;

/// @brief The main window's fourteen colour views and the steps that keep
/// them in step: per channel a slider, a spin, a decimal box and a hex box,
/// and for all channels the preview box and the code box.
///
/// The sliders hold the colour. Every store into a view raises that view's
/// step synchronously, and only when the value really changes; each cascade
/// ends because a store of the value already held raises nothing, so there
/// are no guard flags here.
class ChannelControls : public QObject
{
    Q_OBJECT
public:
    /// Creates the views as children of @p parent, named after their roles
    /// (SliderRed, TextRedHex, ColorBox, ...). @p letterCase is the window's
    /// letter-case option, whose value the hex and code steps read.
    ChannelControls(QWidget *parent, LetterCaseBox *letterCase, Feedback feedback);

    QSlider *slider(colour::Channel channel) const;
    SpinArrows *spin(colour::Channel channel) const;
    ChannelEdit *decimalBox(colour::Channel channel) const;
    ChannelEdit *hexBox(colour::Channel channel) const;
    ColorBox *colorBox() const { return m_colorBox; }
    QLineEdit *codeBox() const { return m_code; }
    LetterCaseBox *letterCase() const { return m_letterCase; }

    /// The colour triple, as the sliders hold it.
    int value(colour::Channel channel) const;
    colour::ColourValue colourValue() const;

    /// Stores the three values into the sliders, red first; each store runs
    /// its cascade before the next.
    void storeSliders(int red, int green, int blue);
    /// Stores three hex texts into the hex boxes, red first.
    void storeHexTexts(const colour::HexTriple &texts);

    /// Stores @p text into one of the text views; its step runs when the
    /// text really changes.
    void storeText(QLineEdit *box, const QString &text);

    /// Rewrites the code box, then the red, green and blue hex boxes, in the
    /// case the letter-case option asks for (0 upper, 1 lower, 2 as they are).
    void convertLetterCase();

    /// Receives one line per step entered and per store made, in order; for
    /// tests and diagnostics. Empty by default.
    std::function<void(const QString &)> trace;

    /// The deepest nesting of steps seen since the last reset.
    int maxDepth() const { return m_maxDepth; }
    void resetMaxDepth() { m_maxDepth = 0; }

private:
    struct Row
    {
        QSlider *slider = nullptr;
        SpinArrows *spin = nullptr;
        ChannelEdit *decimal = nullptr;
        ChannelEdit *hex = nullptr;
    };

    void sliderStep(colour::Channel channel);
    void decimalStep(colour::Channel channel);
    void spinStep(colour::Channel channel);
    void hexStep(colour::Channel channel);
    void codeStep();

    void storePreview();
    void storeCode();
    void note(const QString &line) const;
    const Row &row(colour::Channel channel) const;

    std::array<Row, 3> m_rows;
    ColorBox *m_colorBox = nullptr;
    QLineEdit *m_code = nullptr;
    LetterCaseBox *m_letterCase = nullptr;
    Feedback m_feedback;
    int m_depth = 0;
    int m_maxDepth = 0;

    friend class StepScope;
};
