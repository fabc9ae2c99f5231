// SPDX-License-Identifier: MIT
#pragma once

#include <QLineEdit>
#include <functional>

class QKeyEvent;

/// @brief A channel text box: a decimal box (three digits, key filter) or a
/// hexadecimal box (two characters, no filter).
///
/// The length limit applies to what the user types or pastes only, and cuts
/// a longer paste to what fits; a text stored by the program (store()) is kept
/// whole, whatever its length, as the channel steps rely on seeing it.
class ChannelEdit : public QLineEdit
{
    Q_OBJECT
public:
    enum class Kind { Decimal, Hex };

    ChannelEdit(Kind kind, QWidget *parent = nullptr);

    Kind kind() const { return m_kind; }
    /// Shows a text of the program's own, kept whole whatever its length.
    void store(const QString &text);
    bool isStoring() const { return m_storing; }
    /// The length of the text shown before the edit being made.
    qsizetype lengthBeforeEdit() const { return m_shownLength; }

    /// The sound of a rejected key. Only decimal boxes use it.
    void setBeep(std::function<void()> beep) { m_beep = std::move(beep); }

    /// The character code a key press types, or -1 for a key that types no
    /// character (arrows, Home, End, Delete, Tab, Insert, function keys).
    /// Ctrl+letter types the control character (Ctrl+V is 22, Ctrl+C is 3),
    /// as it does on a real keyboard, whatever text the event carries.
    static int typedCharacter(int key, Qt::KeyboardModifiers modifiers, const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    Kind m_kind;
    std::function<void()> m_beep;
    bool m_storing = false;
    qsizetype m_shownLength = 0;
};
