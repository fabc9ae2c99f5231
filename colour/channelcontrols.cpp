// SPDX-License-Identifier: MIT
#include "colour/channelcontrols.h"

#include "colour/channeledit.h"
#include "colour/colorbox.h"
#include "colour/lettercasebox.h"
#include "colour/spinarrows.h"

#include <QLineEdit>
#include <QSlider>
#include <algorithm>

using colour::Channel;

namespace {

QString channelName(Channel channel)
{
    switch (channel) {
    case Channel::Red:
        return QStringLiteral("Red");
    case Channel::Green:
        return QStringLiteral("Green");
    case Channel::Blue:
        break;
    }
    return QStringLiteral("Blue");
}

std::size_t index(Channel channel)
{
    return static_cast<std::size_t>(channel);
}

} // namespace

/// Notes the entry of a step and counts how deep the steps are nested while
/// it runs; the trace shows nested steps indented under the store that
/// raised them.
class StepScope
{
public:
    StepScope(ChannelControls &controls, const QString &name) : m_controls(controls)
    {
        m_controls.note(name);
        ++m_controls.m_depth;
        m_controls.m_maxDepth = std::max(m_controls.m_maxDepth, m_controls.m_depth);
    }
    ~StepScope() { --m_controls.m_depth; }
    StepScope(const StepScope &) = delete;
    StepScope &operator=(const StepScope &) = delete;

private:
    ChannelControls &m_controls;
};

ChannelControls::ChannelControls(QWidget *parent, LetterCaseBox *letterCase, Feedback feedback)
    : QObject(parent), m_letterCase(letterCase), m_feedback(std::move(feedback))
{
    for (const Channel channel : colour::kChannels) {
        const QString name = channelName(channel);
        Row &r = m_rows[index(channel)];

        r.slider = new QSlider(Qt::Horizontal, parent);
        r.slider->setObjectName(QStringLiteral("Slider") + name);
        r.slider->setRange(0, 255);
        r.slider->setSingleStep(1);
        r.slider->setPageStep(16);
        r.slider->setTracking(true);

        r.decimal = new ChannelEdit(ChannelEdit::Kind::Decimal, parent);
        r.decimal->setObjectName(QStringLiteral("Text") + name);
        r.decimal->setText(QStringLiteral("000"));
        r.decimal->setBeep(m_feedback.beep);

        r.spin = new SpinArrows(parent);
        r.spin->setObjectName(QStringLiteral("UpDown") + name);

        r.hex = new ChannelEdit(ChannelEdit::Kind::Hex, parent);
        r.hex->setObjectName(QStringLiteral("Text") + name + QStringLiteral("Hex"));
        r.hex->setText(QStringLiteral("00"));

        // valueChanged fires for every drag position (tracking is on), for
        // keys and for stores, and only on a real change: both the scroll and
        // the change notification of the slider run this one step.
        connect(r.slider, &QSlider::valueChanged, this, [this, channel] { sliderStep(channel); });
        connect(r.decimal, &QLineEdit::textChanged, this,
                [this, channel] { decimalStep(channel); });
        connect(r.spin, &SpinArrows::valueChanged, this, [this, channel] { spinStep(channel); });
        connect(r.hex, &QLineEdit::textChanged, this, [this, channel] { hexStep(channel); });
    }

    m_colorBox = new ColorBox(parent);
    m_colorBox->setObjectName(QStringLiteral("ColorBox"));

    m_code = new QLineEdit(parent);
    m_code->setObjectName(QStringLiteral("TextCode"));
    m_code->setReadOnly(true);
    m_code->setAlignment(Qt::AlignCenter);
    m_code->setText(QStringLiteral("#RRGGBB"));
    connect(m_code, &QLineEdit::textChanged, this, [this] { codeStep(); });
}

QSlider *ChannelControls::slider(Channel channel) const
{
    return row(channel).slider;
}
SpinArrows *ChannelControls::spin(Channel channel) const
{
    return row(channel).spin;
}
ChannelEdit *ChannelControls::decimalBox(Channel channel) const
{
    return row(channel).decimal;
}
ChannelEdit *ChannelControls::hexBox(Channel channel) const
{
    return row(channel).hex;
}
const ChannelControls::Row &ChannelControls::row(Channel channel) const
{
    return m_rows[index(channel)];
}

int ChannelControls::value(Channel channel) const
{
    return row(channel).slider->value();
}

colour::ColourValue ChannelControls::colourValue() const
{
    return colour::MakeColourValue(value(Channel::Red), value(Channel::Green),
                                   value(Channel::Blue));
}

void ChannelControls::storeSliders(int red, int green, int blue)
{
    const int values[] = {red, green, blue};
    for (const Channel channel : colour::kChannels) {
        note(QStringLiteral("store Slider%1 %2")
                 .arg(channelName(channel))
                 .arg(values[index(channel)]));
        row(channel).slider->setValue(values[index(channel)]);
    }
}

void ChannelControls::storeHexTexts(const colour::HexTriple &texts)
{
    const QString values[] = {texts.red, texts.green, texts.blue};
    for (const Channel channel : colour::kChannels)
        storeText(row(channel).hex, values[index(channel)]);
}

void ChannelControls::note(const QString &line) const
{
    if (trace)
        trace(QString(2 * m_depth, u' ') + line);
}

void ChannelControls::storeText(QLineEdit *box, const QString &text)
{
    note(QStringLiteral("store %1 \"%2\"").arg(box->objectName(), text));
    if (auto *channelBox = qobject_cast<ChannelEdit *>(box))
        channelBox->store(text);
    else
        box->setText(text);
}

void ChannelControls::storePreview()
{
    const colour::ColourValue value = colourValue();
    note(QStringLiteral("store ColorBox %1").arg(value, 6, 16, QLatin1Char('0')));
    m_colorBox->setBackColor(value);
}

void ChannelControls::storeCode()
{
    storeText(m_code,
              colour::BuildColorCode(row(Channel::Red).hex->text(), row(Channel::Green).hex->text(),
                                     row(Channel::Blue).hex->text()));
}

void ChannelControls::sliderStep(Channel channel)
{
    const Row &r = row(channel);
    const StepScope scope(*this, QStringLiteral("Slider%1_Change").arg(channelName(channel)));
    storeText(r.decimal, colour::FormatChannelDec(r.slider->value()));
    storePreview();
    storeCode();
}

void ChannelControls::decimalStep(Channel channel)
{
    const Row &r = row(channel);
    const StepScope scope(*this, QStringLiteral("Text%1_Change").arg(channelName(channel)));
    const QString text = r.decimal->text();
    if (text.size() != 3)
        return; // a partial entry: wait for the third character
    if (const std::optional<int> value = colour::ParseChannelDec(text)) {
        note(QStringLiteral("store UpDown%1 %2").arg(channelName(channel)).arg(*value));
        r.spin->setValue(*value);
        return;
    }
    m_feedback.message(r.decimal->window(), colour::kDecimalMessage);
    // The short form is ignored by the nested step; the slider step then
    // writes the full form, repaints and recomposes.
    storeText(r.decimal, QString::number(r.slider->value()));
    sliderStep(channel);
}

void ChannelControls::spinStep(Channel channel)
{
    const Row &r = row(channel);
    const StepScope scope(*this, QStringLiteral("UpDown%1_Change").arg(channelName(channel)));
    storeText(r.hex, colour::FormatChannelHex(r.spin->value()));
}

void ChannelControls::hexStep(Channel channel)
{
    const Row &r = row(channel);
    const StepScope scope(*this, QStringLiteral("Text%1Hex_Change").arg(channelName(channel)));
    const QString text = r.hex->text();
    if (text.size() == 2) {
        if (const std::optional<int> value = colour::ParseChannelHex(text)) {
            note(QStringLiteral("store Slider%1 %2").arg(channelName(channel)).arg(*value));
            r.slider->setValue(*value);
            const colour::LetterCase letterCase = m_letterCase->value();
            if (letterCase != colour::LetterCase::Greyed)
                storeText(r.hex, colour::ApplyLetterCase(r.hex->text(), letterCase));
        } else {
            m_feedback.message(r.hex->window(), colour::kHexMessage);
            // A partial number in the decimal box becomes the channel's
            // value; otherwise the spin step restores the channel's form.
            if (const auto number = colour::ReadDecimalNumber(r.decimal->text())) {
                if (const auto whole = colour::RoundHalfEven(*number))
                    storeText(r.hex, colour::FormatHexPlain(*whole));
            }
            spinStep(channel);
        }
    }
    if (channel == Channel::Blue) {
        storePreview();
        storeCode();
    }
}

void ChannelControls::codeStep()
{
    const StepScope scope(*this, QStringLiteral("TextCode_Change"));
    if (m_letterCase->value() == colour::LetterCase::Lower)
        storeText(m_code, colour::ApplyLetterCase(m_code->text(), colour::LetterCase::Lower));
}

void ChannelControls::convertLetterCase()
{
    const colour::LetterCase option = m_letterCase->value();
    if (option == colour::LetterCase::Greyed)
        return;
    QLineEdit *const boxes[] = {m_code, row(Channel::Red).hex, row(Channel::Green).hex,
                                row(Channel::Blue).hex};
    for (QLineEdit *box : boxes)
        storeText(box, colour::ApplyLetterCase(box->text(), option));
}
