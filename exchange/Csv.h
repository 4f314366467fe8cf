#pragma once
// Reading and writing CSV files as spreadsheets and other programs write them (RFC 4180): quoted
// fields with separators, quotes and line breaks inside, a comma, semicolon or tab between fields,
// UTF-8 (with or without a byte-order mark) or Windows-1252 text. The reader streams: it holds one
// record at a time and refuses a record or field beyond kMaxRecordBytes, so a file of any size is
// read in bounded memory. The parsing is libcsv's; the decoding Qt's (ICU's code pages).
#include <QByteArray>
#include <QByteArrayList>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <QStringDecoder>
#include <deque>
#include <exception>
#include <vector>
#include <memory>
#include <optional>

#include "data/Errors.h"

struct csv_parser;

namespace zz::exchange {

enum class Encoding { Utf8, Windows1252 };

struct CsvFormat {
    char separator = ',';              // ',', ';' or '\t'
    Encoding encoding = Encoding::Utf8;
    bool header = true;                // the first record names the columns
};

// A file that cannot be read as CSV. The message names the file's line where it can.
class ECsvError : public Exception {
public:
    enum class Kind { Unreadable, FieldCount };
    ECsvError(QString message, qint64 line, Kind kind = Kind::Unreadable)
        : Exception(std::move(message)), m_line(line), m_kind(kind) {}
    const char* className() const noexcept override { return "ECsvError"; }
    qint64 line() const { return m_line; }
    Kind kind() const { return m_kind; }

private:
    qint64 m_line;
    Kind m_kind;
};

// One record: the file's line it begins on (1 for the first) and its fields, decoded.
struct CsvRecord {
    qint64 line = 0;
    QStringList fields;
};

// The separator's name for people: "comma", "semicolon", "tab".
QString separatorName(char separator);
QString encodingName(Encoding encoding);

// Reads a file record by record. Records whose fields are all empty (blank lines, a row of bare
// separators) are passed over. Every record must have as many fields as the first one.
class CsvReader {
public:
    static constexpr qint64 kMaxRecordBytes = 1 << 20;
    static constexpr int kMaxFields = 1000;

    // Opens the file; throws ECsvError when it cannot be read.
    CsvReader(const QString& path, const CsvFormat& format);
    ~CsvReader();
    CsvReader(const CsvReader&) = delete;
    CsvReader& operator=(const CsvReader&) = delete;

    // The next record; false at the end of the file. Throws ECsvError naming the line for a
    // file that is no sound CSV text (a control character, text that is not of the encoding, a
    // quoted field left open at the end, a record too long, a changing number of fields).
    bool next(CsvRecord& record);
    // How far the reading has come, and the whole size, in bytes.
    qint64 position() const { return m_position; }
    qint64 size() const { return m_size; }

    // Only for the fuzz target: reads from bytes in memory instead of a file.
    static std::unique_ptr<CsvReader> fromBytes(const QByteArray& bytes, const CsvFormat& format);

    // libcsv's callbacks.
    void fieldDone(const char* data, size_t length);
    void recordDone(int terminator);

private:
    CsvReader(const CsvFormat& format);
    void start();
    bool fill(); // feeds the parser until a record is ready or the input ends; false at the end
    bool fillRecords();
    void feed(const char* data, qint64 length);
    [[noreturn]] void fail(const QString& message, qint64 line);
    QString decode(const char* data, size_t length, bool* ok);

    CsvFormat m_format;
    QString m_name; // the file's name, for messages
    QFile m_file;
    QByteArray m_memory; // fromBytes
    qint64 m_memoryPos = 0;
    qint64 m_size = 0;
    qint64 m_position = 0;
    std::unique_ptr<csv_parser> m_parser;
    QByteArray m_chunk;
    bool m_finished = false;

    qint64 m_line = 1;        // the line the bytes being fed belong to
    qint64 m_recordLine = 1;  // the line the record being read begins on
    qint64 m_recordBytes = 0;
    int m_expectedFields = -1;
    qint64 m_firstLine = 0;
    CsvRecord m_current;
    std::deque<CsvRecord> m_ready;
    std::optional<QStringDecoder> m_decoder; // made at the first field that is not plain ASCII
    std::exception_ptr m_deferred; // a fault found after records that are still to be given
    QString m_error; // set by a callback, raised after the parser returns
    qint64 m_errorLine = 0;
    ECsvError::Kind m_errorKind = ECsvError::Kind::Unreadable;
};

// What the beginning of a file suggests: its encoding (a byte-order mark, else whether the text
// is valid UTF-8, else Windows-1252) and its separator (the one that splits the first lines into
// the same number of fields, the most of them). header is left true. Throws ECsvError for a file
// that cannot be read or is empty.
CsvFormat detectFormat(const QString& path);
CsvFormat detectFormatOf(const QByteArray& beginning, bool wholeFile);

// The first records of a file, for a preview; reading stops at the first fault, whose message
// is kept.
struct CsvPreview {
    std::vector<CsvRecord> records;
    QString error;
};
CsvPreview firstRecords(const QString& path, const CsvFormat& format, int count);

// Writes a CSV file whole or not at all: into a temporary file beside the target, which takes the
// target's name only when commit() succeeds. UTF-8, CRLF line ends, fields quoted where they hold
// the separator, a quote, a line break or blanks at either end.
class CsvWriter {
public:
    // Throws Exception when the file cannot be written there.
    CsvWriter(const QString& path, char separator = ',', bool byteOrderMark = true);
    ~CsvWriter(); // without commit, the temporary file goes and the target stays as it was
    void writeRecord(const QStringList& fields);
    // The same of fields already in UTF-8.
    void writeRecord(const QByteArrayList& fields);
    void commit();
    qint64 records() const { return m_records; }

private:
    void flush();
    QSaveFile m_file;
    char m_separator;
    QByteArray m_buffer;
    qint64 m_records = 0;
};

// A field as it goes into a CSV record: quoted and its quotes doubled when needed.
QByteArray csvField(const QByteArray& utf8, char separator);

} // namespace zz::exchange
