// The CSV reader and writer: files as spreadsheets write them (comma, semicolon, tab; UTF-8 with
// and without a byte-order mark, Windows-1252) read field for field with the lines they begin on;
// every kind of bad file refused with a message naming its line; the writer's quoting read back
// unchanged, and a file written whole or not at all.
#include <QTemporaryDir>
#include <QtTest>

#include "exchange/Csv.h"
#include "tests/support/TestSupport.h"

using namespace zz;
using namespace zz::exchange;

namespace {
QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

std::vector<CsvRecord> readAll(const QString& path, const CsvFormat& format)
{
    CsvReader reader(path, format);
    std::vector<CsvRecord> out;
    CsvRecord r;
    while (reader.next(r))
        out.push_back(r);
    return out;
}

// The error reading the whole file gives, and its line.
std::pair<QString, qint64> readError(const QString& path, const CsvFormat& format)
{
    try {
        readAll(path, format);
    } catch (const ECsvError& e) {
        return {e.message(), e.line()};
    }
    return {QString(), -1};
}

QByteArray latin1(const QString& text)
{
    QStringEncoder enc("windows-1252");
    return enc.encode(text);
}
} // namespace

class TestCsv : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void spreadsheetFilesAreDetectedAndReadFieldForField_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<char>("separator");
        QTest::addColumn<int>("encoding");
        const QString text = QStringLiteral(
            "Name{s}Street{s}City{s}Note\r\n"
            "Müller GmbH{s}Hauptstraße 1{s}Köln{s}\"says \"\"hi\"\"{s} twice\"\r\n"
            "\"Smith{s} Jones & Co\"{s}\"12 High St\r\nFlat 3\"{s}Løndon{s}\r\n"
            "\r\n"
            "Café Zoë{s}{s}Genève{s}€ 5\r\n");
        const auto with = [&](char s) { return QString(text).replace(QStringLiteral("{s}"), QString(QLatin1Char(s))); };
        QTest::newRow("comma, UTF-8 with BOM") << ("\xEF\xBB\xBF" + with(',').toUtf8()) << ',' << int(Encoding::Utf8);
        QTest::newRow("semicolon, Windows-1252") << latin1(with(';')) << ';' << int(Encoding::Windows1252);
        QTest::newRow("tab, UTF-8 without BOM") << with('\t').toUtf8() << '\t' << int(Encoding::Utf8);
        QTest::newRow("semicolon, UTF-8, LF only") << with(';').replace("\r\n", "\n").toUtf8() << ';' << int(Encoding::Utf8);
    }
    void spreadsheetFilesAreDetectedAndReadFieldForField()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(char, separator);
        QFETCH(int, encoding);
        const QString path = writeFile(m_dir, "list.csv", bytes);
        const CsvFormat format = detectFormat(path);
        QCOMPARE(format.separator, separator);
        QCOMPARE(int(format.encoding), encoding);

        const auto records = readAll(path, format);
        QCOMPARE(records.size(), size_t(4)); // the blank line is passed over
        QCOMPARE(records[0].fields, (QStringList{"Name", "Street", "City", "Note"}));
        QCOMPARE(records[1].fields[0], QStringLiteral("Müller GmbH"));
        QCOMPARE(records[1].fields[1], QStringLiteral("Hauptstraße 1"));
        QCOMPARE(records[1].fields[3], QStringLiteral("says \"hi\"%1 twice").arg(QLatin1Char(separator)));
        QCOMPARE(records[2].fields[0], QStringLiteral("Smith%1 Jones & Co").arg(QLatin1Char(separator)));
        QVERIFY(records[2].fields[1] == QStringLiteral("12 High St\r\nFlat 3") || records[2].fields[1] == QStringLiteral("12 High St\nFlat 3"));
        QCOMPARE(records[2].fields[2], QStringLiteral("Løndon"));
        QCOMPARE(records[3].fields, (QStringList{"Café Zoë", "", "Genève", "€ 5"}));
        // Each record knows the line it begins on, past the line break inside a field and the blank line.
        QCOMPARE(records[0].line, 1);
        QCOMPARE(records[1].line, 2);
        QCOMPARE(records[2].line, 3);
        QCOMPARE(records[3].line, 6);
    }

    void theUserCanOverrideWhatWasDetected()
    {
        // A file with one column and commas in it: read as semicolon-separated, the commas stay.
        const QString path = writeFile(m_dir, "one.csv", "a,b;c\nd,e;f\n");
        CsvFormat format = detectFormat(path);
        QCOMPARE(format.separator, ';');
        format.separator = ',';
        const auto records = readAll(path, format);
        QCOMPARE(records[1].fields, (QStringList{"d", "e;f"}));
        // Windows-1252 text read as UTF-8 is refused, naming the line and the way out.
        const QString old = writeFile(m_dir, "old.csv", latin1(QStringLiteral("Name\nAnn\nJürgen\n")));
        QCOMPARE(detectFormat(old).encoding, Encoding::Windows1252);
        const auto [message, line] = readError(old, CsvFormat{',', Encoding::Utf8, true});
        QCOMPARE(line, 3);
        QVERIFY2(message.contains("line 3") && message.contains("Windows-1252"), qPrintable(message));
    }

    void badFilesAreRefusedNamingTheLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("line");
        QTest::addColumn<QString>("says");
        // A spreadsheet's own file (a zip archive) chosen instead of its CSV export.
        QTest::newRow("binary") << QByteArray("Name,Street\nAnn,Road\nPK\x03\x04\x14\0\x06\0", 29) << qint64(3)
                                << "no text file";
        QTest::newRow("cut inside a quoted field")
            << QByteArray("Name,Street\nAnn,Road\nBob,\"Long\nstreet") << qint64(3) << "ends inside a quoted field";
        QTest::newRow("column count changes")
            << QByteArray("Name,Street\nAnn,Road\nBob,Lane\nCyd,Way,Extra\n") << qint64(4) << "has 3 fields";
        QTest::newRow("stray quote") << QByteArray("Name,Street\nAnn,Ro\"ad\n") << qint64(2) << "quote";
        QTest::newRow("a megabyte-long line")
            << (QByteArray("Name,Street\nAnn,Road\nBob,") + QByteArray(1100 * 1024, 'x') + "\nCyd,Way\n") << qint64(3)
            << "longer than 1 MB";
        QTest::newRow("a megabyte-long quoted field")
            << (QByteArray("Name,Street\nAnn,\"") + QByteArray(1100 * 1024, 'x') + "\"\n") << qint64(2) << "1 MB";
    }
    void badFilesAreRefusedNamingTheLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, line);
        QFETCH(QString, says);
        const QString path = writeFile(m_dir, "bad.csv", bytes);
        const auto [message, at] = readError(path, CsvFormat{});
        QVERIFY2(message.contains(says), qPrintable(message));
        QCOMPARE(at, line);
        QVERIFY2(message.startsWith(QStringLiteral("bad.csv, line %1: ").arg(line)), qPrintable(message));
    }

    void emptyFilesAreNamedAsSuch()
    {
        for (const QByteArray& bytes : {QByteArray(), QByteArray("\xEF\xBB\xBF")}) {
            const QString path = writeFile(m_dir, "empty.csv", bytes);
            QCOMPARE(test::errorOf([&] { detectFormat(path); }), QStringLiteral("The file empty.csv is empty."));
        }
        QVERIFY(test::errorOf([&] { detectFormat(m_dir.filePath("missing.csv")); }).startsWith("Cannot read"));
        QVERIFY(test::errorOf([&] { CsvReader r(m_dir.path(), CsvFormat{}); }).contains("folder"));
    }

    void writtenFieldsReadBackUnchanged()
    {
        const QList<QStringList> rows = {
            // A field may begin with a byte-order mark of its own, even the very first one.
            {QStringLiteral("\uFEFFmarked"), "a", "b", "c", "d", "e", "f"},
            {"plain", "with, comma", "with \"quotes\"", "two\r\nlines", " blank ends ", "", "Müller €"},
            {"=1+2", "\"", ",", "\n", "x", "  ", "end"},
        };
        const QString path = m_dir.filePath("out.csv");
        {
            CsvWriter w(path);
            for (const QStringList& r : rows)
                w.writeRecord(r);
            w.commit();
        }
        const QByteArray bytes = test::fileBytes(path);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF\xEF\xBB\xBFmarked,a,b,c,d,e,f\r\nplain,\"with, comma\",\"with \"\"quotes\"\"\",\"two\r\nlines\","));
        QVERIFY(bytes.endsWith("end\r\n"));
        const auto records = readAll(path, detectFormat(path));
        QCOMPARE(records.size(), size_t(3));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(records[size_t(i)].fields, rows[i]);
    }

    void aFileIsWrittenWholeOrNotAtAll()
    {
        const QString path = writeFile(m_dir, "kept.csv", "the old file\r\n");
        {
            CsvWriter w(path);
            w.writeRecord(QStringList{"half", "written"});
            // Ends without commit, as when the export fails part way.
        }
        QCOMPARE(test::fileBytes(path), QByteArray("the old file\r\n"));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).filter("kept").size(), 1);
        QVERIFY(test::errorOf([&] { CsvWriter w(m_dir.filePath("no/such/folder/x.csv")); }).startsWith("Cannot write"));
    }
};

ZZ_TEST_MAIN(TestCsv)
#include "test_csv.moc"
