// SPDX-License-Identifier: MIT
#include "colour/channeledit.h"

#include "colour/channeltext.h"

#include <QKeyEvent>
#include <QValidator>

namespace {

/// Refuses typed or pasted input that would make the text longer than the
/// box holds. A text stored by the program is never refused: the line edit
/// keeps a text that it was set to even when this validator calls it invalid.
class LengthValidator final : public QValidator
{
public:
    LengthValidator(qsizetype maximum, QObject *parent) : QValidator(parent), m_maximum(maximum) {}

    State validate(QString &input, int &) const override
    {
        return input.size() > m_maximum ? Invalid : Acceptable;
    }

private:
    qsizetype m_maximum;
};

} // namespace

ChannelEdit::ChannelEdit(Kind kind, QWidget *parent) : QLineEdit(parent), m_kind(kind)
{
    setValidator(new LengthValidator(kind == Kind::Decimal ? 3 : 2, this));
    setAlignment(Qt::AlignCenter);
}

int ChannelEdit::typedCharacter(int key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    if (key == Qt::Key_Backspace)
        return 8;
    if (key == Qt::Key_Delete || key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return -1;
    const bool control = modifiers.testFlag(Qt::ControlModifier) &&
                         !modifiers.testFlag(Qt::AltModifier) &&
                         !modifiers.testFlag(Qt::MetaModifier);
    if (control && key >= Qt::Key_A && key <= Qt::Key_Z)
        return key - Qt::Key_A + 1;
    if (text.isEmpty())
        return -1;
    return text.at(0).unicode();
}

void ChannelEdit::keyPressEvent(QKeyEvent *event)
{
    if (m_kind == Kind::Decimal) {
        const int character = typedCharacter(event->key(), event->modifiers(), event->text());
        if (character >= 0 && !colour::IsDecimalKey(character)) {
            if (m_beep)
                m_beep();
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void ChannelEdit::inputMethodEvent(QInputMethodEvent *event)
{
    // Text composed by an input method is typed text too: the decimal boxes
    // take digits only.
    if (m_kind == Kind::Decimal) {
        const QString commit = event->commitString();
        for (const QChar c : commit) {
            if (!colour::IsDecimalKey(c.unicode())) {
                if (m_beep)
                    m_beep();
                event->accept();
                return;
            }
        }
    }
    QLineEdit::inputMethodEvent(event);
}
