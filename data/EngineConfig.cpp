#include "data/Engine.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QStandardPaths>
#include <QStringDecoder>

#include "data/Errors.h"

// The engine's configuration: where its file lives and the alias it defines.

namespace zz {

namespace {
QString userDir(QStandardPaths::StandardLocation location)
{
    // The folder is named after the alias so that tests and the program agree whatever the
    // application object is called.
    QString base = QStandardPaths::writableLocation(location);
    if (location == QStandardPaths::GenericDataLocation || location == QStandardPaths::GenericConfigLocation)
        base += QStringLiteral("/Zuzevevur");
    return base;
}

// The engine's configuration: "[Alias]" sections of "Key=Value" lines (keys without regard to
// case; lines starting with ";" or "#" are comments).
QMap<QString, QHash<QString, QString>> parseIni(const QByteArray& text)
{
    QMap<QString, QHash<QString, QString>> sections;
    QString section;
    for (const QByteArray& raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed();
            sections[section];
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && !section.isEmpty())
            sections[section].insert(line.left(eq).trimmed().toLower(), line.mid(eq + 1).trimmed());
    }
    return sections;
}

// Why the file's bytes are no UTF-8 text the file can be read as; empty when they are. A file
// that is no text defines nothing readable, and must not pass for a missing one.
QString whyNoText(const QByteArray& bytes)
{
    if (bytes.startsWith(QByteArray("\xff\xfe\0\0", 4)) || bytes.startsWith(QByteArray("\0\0\xfe\xff", 4)))
        return QStringLiteral("it is saved as UTF-32; save it as UTF-8 text.");
    if (bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff"))
        return QStringLiteral("it is saved as UTF-16; save it as UTF-8 text.");
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (utf8.hasError())
        return QStringLiteral("it is not UTF-8 text.");
    // Control characters other than tabs and line ends are found in binary files, not in text.
    for (const QChar c : text)
        if ((c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            || c.unicode() == 0x7f)
            return QStringLiteral("it is not UTF-8 text.");
    return {};
}
} // namespace

QString Engine::configFilePath()
{
    return userDir(QStandardPaths::GenericConfigLocation) + QStringLiteral("/engine.ini");
}

std::optional<AliasConfig> Engine::aliasFromConfig(const QByteArray& bytes, const QString& alias, const QString& path)
{
    // The byte-order mark some editors put before UTF-8 text is no part of the text.
    const QByteArray text = bytes.startsWith("\xef\xbb\xbf") ? bytes.mid(3) : bytes;
    if (const QString why = whyNoText(text); !why.isEmpty())
        throw EDBEngineError(QStringLiteral("The database configuration %1 cannot be read: %2").arg(path, why));
    const auto sections = parseIni(text);
    for (auto it = sections.begin(); it != sections.end(); ++it) {
        if (it.key().compare(alias, Qt::CaseInsensitive) != 0)
            continue;
        const QHash<QString, QString>& v = it.value();
        AliasConfig c;
        c.alias = alias;
        c.driver = v.value(QStringLiteral("driver"), QStringLiteral("QSQLITE"));
        c.database = v.value(QStringLiteral("database"));
        c.host = v.value(QStringLiteral("host"));
        bool ok = false;
        const int port = v.value(QStringLiteral("port")).toInt(&ok);
        c.port = ok && port > 0 && port < 65536 ? port : -1;
        c.user = v.value(QStringLiteral("user"));
        // A server's password belongs in the user's ~/.pgpass (read by the driver), never in this
        // file, which other programs and backups read.
        if (v.contains(QStringLiteral("password")))
            throw EDBEngineError(QStringLiteral("The alias %1 in %2 holds a password; remove it and keep the password "
                                                "in ~/.pgpass instead.").arg(alias, path));
        if (c.database.isEmpty())
            throw EDBEngineError(QStringLiteral("The alias %1 in %2 names no database.").arg(alias, path));
        return c;
    }
    if (!sections.isEmpty())
        throw EDBEngineError(QStringLiteral("Unknown database alias: %1 (not defined in %2)").arg(alias, path));
    return std::nullopt;
}

AliasConfig Engine::resolveAlias(const QString& alias)
{
    const QString path = configFilePath();
    if (QFileInfo::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw EDBEngineError(QStringLiteral("Cannot read the database configuration %1.").arg(path));
        if (const std::optional<AliasConfig> c = aliasFromConfig(file.readAll(), alias, path))
            return *c;
    }
    if (alias.compare(QLatin1String(kAlias), Qt::CaseInsensitive) != 0)
        throw EDBEngineError(QStringLiteral("Unknown database alias: %1").arg(alias));
    AliasConfig c;
    c.alias = alias;
    c.driver = QStringLiteral("QSQLITE");
    c.database = userDir(QStandardPaths::GenericDataLocation) + QStringLiteral("/Zuzevevur.db");
    c.embeddedDefault = true;
    return c;
}

} // namespace zz
