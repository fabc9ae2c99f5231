// SPDX-License-Identifier: MIT
#include "common/messagebox.h"

#include "common/appinfo.h"

#include <QApplication>
#include <QMessageBox>

void ShowMessageBox(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, appinfo::Name(), text, QMessageBox::Ok, parent);
    // NOTE: a message may quote what the user pasted; shown as plain text,
    // markup in it is never rendered (nor an image in it fetched).
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

Feedback StandardFeedback()
{
    return {[] { QApplication::beep(); }, ShowMessageBox};
}
