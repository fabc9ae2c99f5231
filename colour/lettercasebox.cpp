// SPDX-License-Identifier: MIT
#include "colour/lettercasebox.h"

#include <QShortcutEvent>

using colour::LetterCase;

namespace {

// The option values are not Qt's check states; they are mapped here and
// nowhere else.
LetterCase toLetterCase(Qt::CheckState state)
{
    switch (state) {
    case Qt::Checked:
        return LetterCase::Lower;
    case Qt::PartiallyChecked:
        return LetterCase::Greyed;
    case Qt::Unchecked:
        break;
    }
    return LetterCase::Upper;
}

Qt::CheckState toCheckState(LetterCase value)
{
    switch (value) {
    case LetterCase::Lower:
        return Qt::Checked;
    case LetterCase::Greyed:
        return Qt::PartiallyChecked;
    case LetterCase::Upper:
        break;
    }
    return Qt::Unchecked;
}

} // namespace

LetterCaseBox::LetterCaseBox(const QString &text, QWidget *parent) : QCheckBox(text, parent)
{
    setTristate(true);
    // NOTE: Qt 6.7 brought checkStateChanged, and 6.9 deprecates the older
    // stateChanged, which the build's warnings would stop at.
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
    connect(this, &QCheckBox::checkStateChanged, this,
            [this](Qt::CheckState state) { Q_EMIT valueChanged(toLetterCase(state)); });
#else
    connect(this, &QCheckBox::stateChanged, this, [this](int state) {
        Q_EMIT valueChanged(toLetterCase(static_cast<Qt::CheckState>(state)));
    });
#endif
}

LetterCase LetterCaseBox::value() const
{
    return toLetterCase(checkState());
}

void LetterCaseBox::setValue(LetterCase value)
{
    setCheckState(toCheckState(value));
}

void LetterCaseBox::nextCheckState()
{
    // A click ticks an unticked box and clears a ticked or greyed one.
    setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked);
}

bool LetterCaseBox::event(QEvent *event)
{
    // NOTE: Qt answers a button's access key with an animated click that
    // changes the state only a tenth of a second later, so Enter pressed
    // right after the access key would still copy in the old letter case.
    // The option changes at once instead.
    if (event->type() == QEvent::Shortcut && isEnabled() &&
        !static_cast<QShortcutEvent *>(event)->isAmbiguous()) {
        if (focusPolicy() & Qt::ClickFocus)
            setFocus(Qt::ShortcutFocusReason);
        click();
        return true;
    }
    return QCheckBox::event(event);
}
