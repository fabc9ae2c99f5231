// SPDX-License-Identifier: MIT
#include "common/messagebox.h"

#include "common/appinfo.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QShortcut>

void ShowMessageBox(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, appinfo::Name(), text, QMessageBox::Ok, parent);
    // NOTE: a message may quote what the user pasted; shown as plain text,
    // markup in it is never rendered (nor an image in it fetched).
    box.setTextFormat(Qt::PlainText);
    // Ctrl+C copies the caption and the text, so that a message (a file's
    // name, say) can be passed on.
    QShortcut copy(QKeySequence::Copy, &box);
    QObject::connect(&copy, &QShortcut::activated, &box, [&box] {
        QGuiApplication::clipboard()->setText(box.windowTitle() + QStringLiteral("\n\n") +
                                              box.text());
    });
    box.exec();
}

Feedback StandardFeedback()
{
    return {[] { QApplication::beep(); }, ShowMessageBox};
}
