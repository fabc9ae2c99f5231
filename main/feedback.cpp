// SPDX-License-Identifier: MIT
#include "main/feedback.h"

#include "colour/channeltext.h"

#include <QApplication>
#include <QMessageBox>

void ShowMessageBox(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, colour::kAppTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

Feedback Feedback::standard()
{
    return {[] { QApplication::beep(); }, ShowMessageBox};
}
