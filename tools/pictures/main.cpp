// make_pictures: draws every picture of the program and writes it into resources/ (or into the
// folder given as the only argument). The glyphs go to glyphs/<name>.png, the program's icon to
// icons/program_<size>.png.
#include <QApplication>
#include <QDir>
#include <QImageWriter>
#include <QTextStream>

#include "Icons.h"

namespace {

bool save(const QImage& image, const QString& path, const char* format, int quality = -1)
{
    QImageWriter writer(path, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (!writer.write(image)) {
        QTextStream(stderr) << "cannot write " << path << ": " << writer.errorString() << "\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(ZZ_RESOURCES_DIR);
    QDir dir(out);
    if (!dir.mkpath(QStringLiteral("glyphs"))) {
        QTextStream(stderr) << "cannot create " << out << "/glyphs\n";
        return 1;
    }

    bool ok = true;
    for (const auto& icons : {pictures::smallIcons(), pictures::largeIcons()})
        for (const pictures::Icon& icon : icons)
            ok &= save(pictures::renderIcon(icon), dir.filePath(QStringLiteral("glyphs/%1.png").arg(icon.name)), "png");

    // The splash logo is a baseline JPEG (Qt's writer never writes progressive scans unless asked).
    ok &= save(pictures::splashLogo(), dir.filePath(QStringLiteral("splash_logo.jpg")), "jpg", 92);

    // The program's icon, one file per size of the desktop's icon theme.
    if (!dir.mkpath(QStringLiteral("icons"))) {
        QTextStream(stderr) << "cannot create " << out << "/icons\n";
        return 1;
    }
    for (int size : pictures::programIconSizes())
        ok &= save(pictures::programIcon(size), dir.filePath(QStringLiteral("icons/program_%1.png").arg(size)), "png");

    return ok ? 0 : 1;
}
