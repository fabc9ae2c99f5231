// SPDX-License-Identifier: MIT
#include "colour/lettercasebox.h"

LetterCaseBox::LetterCaseBox(const QString &text, QWidget *parent) : QCheckBox(text, parent)
{
    setTristate(true);
    connect(this, &QCheckBox::stateChanged, this, [this](int state) {
        Q_EMIT valueChanged(toValue(static_cast<Qt::CheckState>(state)));
    });
}

int LetterCaseBox::value() const
{
    return toValue(checkState());
}

void LetterCaseBox::setValue(int value)
{
    setCheckState(toCheckState(value));
}

int LetterCaseBox::toValue(Qt::CheckState state)
{
    switch (state) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Unchecked:
        break;
    }
    return 0;
}

Qt::CheckState LetterCaseBox::toCheckState(int value)
{
    switch (value) {
    case 1:
        return Qt::Checked;
    case 2:
        return Qt::PartiallyChecked;
    default:
        return Qt::Unchecked;
    }
}

void LetterCaseBox::nextCheckState()
{
    // A click ticks an unticked box and clears a ticked or greyed one.
    setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked);
}
