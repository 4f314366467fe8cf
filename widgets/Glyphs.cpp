#include "widgets/Glyphs.h"

#include <QDir>
#include <QFileInfo>

// The pictures live in a static library; register them before the first look-up.
static void registerPictures()
{
    static const bool once = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(once);
}

namespace zz {

QImage glyph(const QString& name)
{
    registerPictures();
    for (const char* suffix : {".png", ".bmp"}) {
        QImage image(QStringLiteral(":/glyphs/") + name + QLatin1String(suffix));
        if (!image.isNull())
            return image.convertToFormat(QImage::Format_RGB32);
    }
    return QImage();
}

QStringList glyphNames()
{
    registerPictures();
    QStringList names;
    const QFileInfoList files = QDir(QStringLiteral(":/glyphs")).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo& file : files)
        names << file.completeBaseName();
    names.removeDuplicates();
    return names;
}

} // namespace zz
