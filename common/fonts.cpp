// SPDX-License-Identifier: MIT
#include "common/fonts.h"

#include <QByteArray>

#include <fontconfig/fontconfig.h>

#include <array>

namespace {

// Whether the system font configuration knows @p family, by any of its names.
bool Installed(const QString &family)
{
    const QByteArray name = family.toUtf8();
    FcPattern *pattern = FcPatternCreate();
    FcObjectSet *objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    bool found = false;
    if (pattern && objects &&
        FcPatternAddString(pattern, FC_FAMILY,
                           reinterpret_cast<const FcChar8 *>(name.constData()))) {
        if (FcFontSet *fonts = FcFontList(nullptr, pattern, objects)) {
            found = fonts->nfont > 0;
            FcFontSetDestroy(fonts);
        }
    }
    if (objects)
        FcObjectSetDestroy(objects);
    if (pattern)
        FcPatternDestroy(pattern);
    return found;
}

// The first of @p candidates installed here, or @p name itself for the
// system's own aliases to resolve.
QString FirstInstalled(const std::array<QString, 3> &candidates, const QString &name)
{
    for (const QString &family : candidates) {
        if (Installed(family))
            return family;
    }
    return name;
}

struct MappedFamilies
{
    QString gothic;
    QString pGothic;
};

MappedFamilies FindFamilies()
{
    FcInit();
    return {FirstInstalled({QStringLiteral("IPAGothic"), QStringLiteral(u"IPAゴシック"),
                            QStringLiteral("Noto Sans Mono CJK JP")},
                           kGothicName),
            FirstInstalled({QStringLiteral("IPAPGothic"), QStringLiteral(u"IPA Pゴシック"),
                            QStringLiteral("Noto Sans CJK JP")},
                           kPGothicName)};
}

// Found once per process, on whichever thread asks first; another thread
// asking meanwhile waits for it.
// NOTE: The font configuration is loaded in that one-time start too: two
// threads never load it at once, and a thread that uses it later sees it
// complete.
const MappedFamilies &Families()
{
    static const MappedFamilies families = FindFamilies();
    return families;
}

} // namespace

void ResolveMappedFamilies()
{
    Families();
}

QFont MappedFont(const QString &name, int points)
{
    // One family per font: a font with a list of families makes the font
    // database look up every fallback family at once, where a single family
    // defers that until a character is missing from it.
    if (name == kGothicName) {
        QFont font(Families().gothic, points);
        font.setStyleHint(QFont::TypeWriter);
        return font;
    }
    if (name == kPGothicName)
        return QFont(Families().pGothic, points);
    return QFont(name, points);
}
