// Installation: every file in its place under a temporary prefix, the launcher and the metainfo
// accepted by the desktop's validators and agreeing with each other, and the Debian package with
// the same files under /usr and its dependencies.
#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kId = QStringLiteral("org.zuzevevur.Creator");

struct Run {
    int code = -1;
    QString out, err;
};

Run run(const QString& program, const QStringList& arguments, const QString& folder = QString())
{
    QProcess p;
    if (!folder.isEmpty())
        p.setWorkingDirectory(folder);
    p.start(program, arguments);
    if (!p.waitForFinished(240000) || p.exitStatus() != QProcess::NormalExit)
        return {-1, QString(), p.errorString()};
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()), QString::fromLocal8Bit(p.readAllStandardError())};
}

// Where each installed file goes, relative to the prefix.
QStringList expectedFiles()
{
    QStringList files = {QStringLiteral("bin/Zuzevevur"), QStringLiteral("bin/zuzevevur-book"), QStringLiteral("bin/zuzevevur-demo-db"),
                         QStringLiteral("share/applications/%1.desktop").arg(kId),
                         QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kId),
                         QStringLiteral("share/doc/zuzevevur-creator/README.md")};
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        files << QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kId);
    files.sort();
    return files;
}

QStringList filesUnder(const QString& root)
{
    QStringList files;
    for (QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly | QIODevice::Text) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT
    QTemporaryDir m_prefix;

private slots:
    void initTestCase()
    {
        const Run install = run(QStringLiteral(ZZ_CMAKE), {QStringLiteral("--install"), QStringLiteral(ZZ_BUILD_DIR),
                                                           QStringLiteral("--prefix"), m_prefix.path()});
        QVERIFY2(install.code == 0, qPrintable(install.out + install.err));
    }

    void everyFileInItsPlace()
    {
        QCOMPARE(filesUnder(m_prefix.path()), expectedFiles());
        for (const char* program : {"bin/Zuzevevur", "bin/zuzevevur-book", "bin/zuzevevur-demo-db"})
            QVERIFY2(QFileInfo(m_prefix.filePath(QLatin1String(program))).isExecutable(), program);
        // The icons are the sizes their folders say, with a transparent ground.
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QImage icon(m_prefix.filePath(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kId)));
            QCOMPARE(icon.size(), QSize(size, size));
            QVERIFY(icon.hasAlphaChannel());
            QVERIFY(qAlpha(icon.pixel(0, 0)) < 64);
        }
        // The installed program runs.
        const Run version = run(m_prefix.filePath(QStringLiteral("bin/Zuzevevur")), {QStringLiteral("--version")});
        QCOMPARE(version.code, 0);
        QCOMPARE(version.out, QStringLiteral("Zuzevevur Creator %1\n").arg(QLatin1String(ZZ_VERSION)));
    }

    void launcherAndMetainfoAgreeAndPassTheValidators()
    {
        const QString desktop = m_prefix.filePath(QStringLiteral("share/applications/%1.desktop").arg(kId));
        QHash<QString, QString> entry;
        const QStringList lines = readText(desktop).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.first(), QStringLiteral("[Desktop Entry]"));
        for (const QString& line : lines)
            entry.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
        QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Zuzevevur Creator"));
        QCOMPARE(entry.value(QStringLiteral("Exec")), QStringLiteral("Zuzevevur"));
        QCOMPARE(entry.value(QStringLiteral("Icon")), kId);
        QCOMPARE(entry.value(QStringLiteral("Categories")), QStringLiteral("Office;Finance;"));
        QCOMPARE(entry.value(QStringLiteral("Terminal")), QStringLiteral("false"));
        QVERIFY(!entry.value(QStringLiteral("Comment")).isEmpty());

        const QString metainfo = readText(m_prefix.filePath(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kId)));
        QVERIFY(metainfo.contains(QStringLiteral("<id>%1</id>").arg(kId)));
        QVERIFY(metainfo.contains(QStringLiteral("<launchable type=\"desktop-id\">%1.desktop</launchable>").arg(kId)));
        QVERIFY(metainfo.contains(QStringLiteral("<binary>Zuzevevur</binary>")));
        QVERIFY(metainfo.contains(QStringLiteral("<release version=\"%1\"").arg(QLatin1String(ZZ_VERSION))));

        const QString desktopValidate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        const QString appstreamcli = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
        if (desktopValidate.isEmpty() || appstreamcli.isEmpty())
            QSKIP("desktop-file-validate or appstreamcli is missing (scripts/setup installs desktop-file-utils and appstream)");
        const Run launcher = run(desktopValidate, {desktop});
        QVERIFY2(launcher.code == 0 && launcher.out.isEmpty() && launcher.err.isEmpty(), qPrintable(launcher.out + launcher.err));
        const Run appstream = run(appstreamcli, {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                                 m_prefix.filePath(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kId))});
        QVERIFY2(appstream.code == 0, qPrintable(appstream.out + appstream.err));
    }

    void theDebianPackageHoldsTheSameFilesAndNamesItsDependencies()
    {
        const QString dpkgDeb = QStandardPaths::findExecutable(QStringLiteral("dpkg-deb"));
        if (dpkgDeb.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("dpkg-shlibdeps")).isEmpty())
            QSKIP("dpkg-deb or dpkg-shlibdeps is missing (scripts/setup installs dpkg-dev)");
        QTemporaryDir out;
        const Run pack = run(QStringLiteral(ZZ_CPACK), {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), out.path()},
                             QStringLiteral(ZZ_BUILD_DIR));
        QVERIFY2(pack.code == 0, qPrintable(pack.out + pack.err));
        const QStringList debs = QDir(out.path()).entryList({QStringLiteral("*.deb")});
        QCOMPARE(debs.size(), 1);
        QVERIFY2(debs.first().startsWith(QStringLiteral("zuzevevur-creator_%1_").arg(QLatin1String(ZZ_VERSION))), qPrintable(debs.first()));
        const QString deb = out.filePath(debs.first());

        const Run contents = run(dpkgDeb, {QStringLiteral("-c"), deb});
        QCOMPARE(contents.code, 0);
        QStringList packaged;
        for (const QString& line : contents.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            if (!line.startsWith(QLatin1Char('d')))
                packaged << line.section(QLatin1Char(' '), -1).mid(QStringLiteral("./usr/").size());
        packaged.sort();
        QCOMPARE(packaged, expectedFiles());

        const auto field = [&](const char* name) { return run(dpkgDeb, {QStringLiteral("-f"), deb, QLatin1String(name)}).out.trimmed(); };
        QCOMPARE(field("Package"), QStringLiteral("zuzevevur-creator"));
        QCOMPARE(field("Version"), QLatin1String(ZZ_VERSION));
        const QString depends = field("Depends");
        // Found by dpkg-shlibdeps in the program, and what it loads at run time.
        for (const char* package : {"libqt6widgets6", "libqt6printsupport6", "libqt6sql6", "libsqlite3-0", "libjpeg62-turbo",
                                    "libhpdf-2.3.0", "libfontconfig1", "libqt6sql6-sqlite", "fonts-liberation2"})
            QVERIFY2(depends.contains(QRegularExpression(QStringLiteral("(^|, )%1( \\(|,|$)").arg(QRegularExpression::escape(QLatin1String(package))))),
                     qPrintable(QStringLiteral("%1 missing from %2").arg(QLatin1String(package), depends)));
        QVERIFY(field("Recommends").contains(QStringLiteral("xdg-utils")));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
