// SPDX-License-Identifier: MIT
// The yardstick for start-up: a bare Qt window showing one Japanese label,
// built with the same flags as the program.
#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral(u"色コード"));
    label.setWindowTitle(QStringLiteral("BareWindow"));
    label.resize(337, 221);
    label.show();
    return QApplication::exec();
}
