// SPDX-License-Identifier: MIT
#include "colour/channeledit.h"

#include "colour/channeltext.h"

#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QValidator>

namespace {

/// The box's maximum length for what the user types or pastes: what goes in
/// beyond it is cut off, as far as it fits. A text stored by the program is
/// never cut: the line edit keeps a text that it was set to even when this
/// validator calls it invalid.
class LengthValidator final : public QValidator
{
public:
    LengthValidator(ChannelEdit &edit, qsizetype maximum)
        : QValidator(&edit), m_edit(edit), m_maximum(maximum)
    {
    }

    State validate(QString &input, int &cursor) const override
    {
        if (input.size() <= m_maximum)
            return Acceptable;
        // The text just put in ends at the cursor; what overflows is its end.
        // Only an edit of a text that fitted is cut; a longer stored text
        // stays as the program left it.
        const qsizetype excess = input.size() - m_maximum;
        if (m_edit.isStoring() || m_edit.lengthBeforeEdit() > m_maximum || cursor < excess)
            return Invalid;
        input.remove(cursor - excess, excess);
        cursor -= static_cast<int>(excess);
        return Acceptable;
    }

private:
    const ChannelEdit &m_edit;
    qsizetype m_maximum;
};

} // namespace

ChannelEdit::ChannelEdit(Kind kind, QWidget *parent) : QLineEdit(parent), m_kind(kind)
{
    setValidator(new LengthValidator(*this, kind == Kind::Decimal ? 3 : 2));
    setAlignment(Qt::AlignCenter);
    // Connected before anything else, so the length is current when the
    // next edit is checked.
    connect(this, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_shownLength = text.size(); });
}

void ChannelEdit::store(const QString &text)
{
    const QScopedValueRollback storing(m_storing, true);
    setText(text);
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
