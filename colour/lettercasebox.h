// SPDX-License-Identifier: MIT
#pragma once

#include <QCheckBox>

/// @brief The letter-case option: 0 upper case, 1 lower case, 2 greyed.
///
/// The greyed state only ever comes from a stored value; a click by the user
/// leaves 0 or 1. The option values are not Qt's check states, so they are
/// mapped here and nowhere else.
class LetterCaseBox : public QCheckBox
{
    Q_OBJECT
public:
    explicit LetterCaseBox(const QString &text, QWidget *parent = nullptr);

    /// 0 unchecked, 1 checked, 2 greyed.
    int value() const;
    /// Sets 0, 1 or 2; any other value counts as 0. Raises valueChanged only
    /// when the state really changes.
    void setValue(int value);

    static int toValue(Qt::CheckState state);
    static Qt::CheckState toCheckState(int value);

Q_SIGNALS:
    /// Raised synchronously after every real change of state, by the user or
    /// by setValue().
    void valueChanged(int value);

protected:
    void nextCheckState() override;
};
