// SPDX-License-Identifier: MIT
// Build-time helper: writes one theme icon as a PNG of the given size. A drawn picture (XPM)
// is written as drawn and must already have that size; the scalable drawing (SVG) is rendered
// at that size on a transparent ground.
// Usage: vandrel_icon_png <input.xpm|input.svg> <output.png> <size>

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <cstdio>

namespace {

QImage render(const QString &input, int size)
{
    if (!input.endsWith(QLatin1StringView(".svg"))) {
        const QImage drawn(input);
        if (drawn.size() != QSize(size, size))
            return {};
        return drawn.convertToFormat(QImage::Format_ARGB32);
    }
    QSvgRenderer drawing(input);
    if (!drawing.isValid())
        return {};
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawing.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fputs("usage: vandrel_icon_png <input.xpm|input.svg> <output.png> <size>\n", stderr);
        return 2;
    }
    bool sizeOk = false;
    const int size = QByteArray(argv[3]).toInt(&sizeOk);
    if (!sizeOk || size < 1 || size > 4096) {
        std::fprintf(stderr, "vandrel_icon_png: bad size %s\n", argv[3]);
        return 2;
    }
    const QImage image = render(QString::fromLocal8Bit(argv[1]), size);
    if (image.isNull()) {
        std::fprintf(stderr, "vandrel_icon_png: cannot read %s at %d x %d\n", argv[1], size, size);
        return 1;
    }
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "vandrel_icon_png: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
