// SPDX-License-Identifier: MIT
#include "common/messagebox.h"

#include "common/appinfo.h"

#include <QApplication>
#include <QMessageBox>

void ShowMessageBox(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, appinfo::Name(), text, QMessageBox::Ok, parent);
    box.exec();
}

Feedback StandardFeedback()
{
    return {[] { QApplication::beep(); }, ShowMessageBox};
}
