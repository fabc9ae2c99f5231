// SPDX-License-Identifier: MIT
// Build-time helper: writes a window icon picture as a PNG for the desktop's icon theme,
// enlarged by a whole factor without smoothing so the pixels stay crisp.
// Usage: vandrel_icon_png <input.xpm> <output.png> [factor]

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 3 || argc > 4) {
        std::fputs("usage: vandrel_icon_png <input.xpm> <output.png> [factor]\n", stderr);
        return 2;
    }
    bool factorOk = true;
    const int factor = argc == 4 ? QByteArray(argv[3]).toInt(&factorOk) : 1;
    const QImage picture(QString::fromLocal8Bit(argv[1]));
    if (picture.isNull() || !factorOk || factor < 1) {
        std::fprintf(stderr, "vandrel_icon_png: cannot read %s or bad factor\n", argv[1]);
        return 1;
    }
    const QImage enlarged =
        picture.convertToFormat(QImage::Format_ARGB32)
            .scaled(picture.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (!enlarged.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "vandrel_icon_png: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
