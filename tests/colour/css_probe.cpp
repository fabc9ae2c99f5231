// SPDX-License-Identifier: MIT
// Answers the browser test with the program's own functions, one JSON array a
// line in and one JSON value a line out:
//   ["write", name, code, letter case] -> the text the main window's copy makes
//   ["read", text]                     -> [red, green, blue], or null if refused
#include "colour/csscolour.h"
#include "main/clipboardtext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

int main()
{
    QTextStream in(stdin);
    QTextStream out(stdout);
    for (QString line; in.readLineInto(&line);) {
        const QJsonArray question = QJsonDocument::fromJson(line.toUtf8()).array();
        QJsonValue answer;
        if (question[0] == QStringLiteral("write"))
            answer = ClipboardText(question[1].toString(), question[2].toString(),
                                   colour::LetterCaseFromStored(question[3].toInt()));
        else if (const auto rgb = colour::ParseColourText(question[1].toString()))
            answer = QJsonArray{rgb->red, rgb->green, rgb->blue};
        out << QJsonDocument(QJsonArray{answer}).toJson(QJsonDocument::Compact) << '\n';
    }
}
