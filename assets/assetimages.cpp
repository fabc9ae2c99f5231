// SPDX-License-Identifier: MIT
#include "assets/assetimages.h"

#include <QImageReader>
#include <QString>
#include <QStringView>
#include <array>
#include <cstddef>

namespace assets {
namespace {

// Resource paths of the toolbar images, in image-number order.
constexpr std::array<QStringView, 7> kToolbarFiles = {
    u":/toolbar/help.xpm",    u":/toolbar/new.xpm",  u":/toolbar/dropper.xpm",
    u":/toolbar/palette.xpm", u":/toolbar/body.xpm", u":/toolbar/hammer.xpm",
    u":/toolbar/chooser.xpm",
};

// One of the compiled-in XPM pictures. Qt reads XPM itself: with the format
// named and detection off, no image format plugin is asked about it.
QImage ReadXpm(const QString &path)
{
    QImageReader reader(path, "xpm");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace

QPixmap ToolbarImage(ToolbarPicture picture)
{
    const auto index = static_cast<std::size_t>(picture) - 1;
    if (index >= kToolbarFiles.size()) {
        return {};
    }
    QImage image = ReadXpm(kToolbarFiles[index].toString()).convertToFormat(QImage::Format_ARGB32);
    // NOTE: the images are drawn in sixteen opaque colours and keep silver for the see-through
    // parts, so the mask comes from the colour rather than from an alpha channel.
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == kToolbarSeeThrough) {
                image.setPixel(x, y, qRgba(0, 0, 0, 0));
            }
        }
    }
    return QPixmap::fromImage(image);
}

QIcon WindowIcon()
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(ReadXpm(QStringLiteral(":/icons/vandrel-16.xpm"))));
    icon.addPixmap(QPixmap::fromImage(ReadXpm(QStringLiteral(":/icons/vandrel-32.xpm"))));
    return icon;
}

QImage PipetteCursorImage()
{
    return ReadXpm(QStringLiteral(":/cursors/pipette.xpm")).convertToFormat(QImage::Format_ARGB32);
}

QCursor PipetteCursor()
{
    return QCursor(QPixmap::fromImage(PipetteCursorImage()), kPipetteHotSpot.x(),
                   kPipetteHotSpot.y());
}

} // namespace assets
