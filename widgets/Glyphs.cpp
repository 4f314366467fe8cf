#include "widgets/Glyphs.h"

#include <QDir>
#include <QFileInfo>

// Q_INIT_RESOURCE must stand outside a namespace.
static void initPictures() { Q_INIT_RESOURCE(resources); }

namespace zz {

void registerPictures()
{
    static const bool once = (initPictures(), true);
    Q_UNUSED(once);
}

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

QIcon programIcon()
{
    registerPictures();
    QIcon icon;
    const QFileInfoList files = QDir(QStringLiteral(":/icons")).entryInfoList({QStringLiteral("program_*.png")}, QDir::Files);
    for (const QFileInfo& file : files)
        icon.addFile(file.filePath());
    return icon;
}

} // namespace zz
