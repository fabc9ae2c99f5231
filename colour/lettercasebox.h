// SPDX-License-Identifier: MIT
#pragma once

#include "colour/channeltext.h"

#include <QCheckBox>

/// @brief The letter-case option as a check box: unticked upper case, ticked
/// lower case, greyed the greyed state.
///
/// The greyed state only ever comes from a stored value; a click by the user
/// leaves upper or lower case.
class LetterCaseBox : public QCheckBox
{
    Q_OBJECT
public:
    explicit LetterCaseBox(const QString &text, QWidget *parent = nullptr);

    colour::LetterCase value() const;
    /// Raises valueChanged only when the state really changes.
    void setValue(colour::LetterCase value);

Q_SIGNALS:
    /// Raised synchronously after every real change of state, by the user or
    /// by setValue().
    void valueChanged(colour::LetterCase value);

protected:
    bool event(QEvent *event) override;
    void nextCheckState() override;
};
