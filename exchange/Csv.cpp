#include "exchange/Csv.h"

#include <QFileInfo>
#include <csv.h>
#include <cstdlib>

namespace zz::exchange {

namespace {
constexpr qint64 kChunk = 64 * 1024;
const char kBom[] = "\xEF\xBB\xBF";

// libcsv grows its field buffer through this: a field beyond the record limit is refused there,
// so that no single field can take more memory than that.
void* cappedRealloc(void* p, size_t size)
{
    if (size > size_t(CsvReader::kMaxRecordBytes) + 4096)
        return nullptr;
    return std::realloc(p, size);
}

// Blanks around a field are part of it (RFC 4180): nothing is trimmed.
int noSpace(unsigned char) { return 0; }

void onField(void* data, size_t length, void* reader)
{
    static_cast<CsvReader*>(reader)->fieldDone(static_cast<const char*>(data), length);
}
void onRecord(int terminator, void* reader) { static_cast<CsvReader*>(reader)->recordDone(terminator); }

bool isAscii(const char* data, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (static_cast<unsigned char>(data[i]) >= 0x80)
            return false;
    return true;
}
} // namespace

QString separatorName(char separator)
{
    switch (separator) {
    case ',': return QStringLiteral("comma");
    case ';': return QStringLiteral("semicolon");
    case '\t': return QStringLiteral("tab");
    default: return QString(QLatin1Char(separator));
    }
}

QString encodingName(Encoding encoding)
{
    return encoding == Encoding::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Windows-1252");
}

CsvReader::CsvReader(const CsvFormat& format)
    : m_format(format), m_parser(std::make_unique<csv_parser>())
{
}

CsvReader::CsvReader(const QString& path, const CsvFormat& format) : CsvReader(format)
{
    m_name = QFileInfo(path).fileName();
    m_file.setFileName(path);
    if (QFileInfo(path).isDir())
        throw ECsvError(QStringLiteral("%1 is a folder, not a file.").arg(path), 0);
    if (!m_file.open(QIODevice::ReadOnly))
        throw ECsvError(QStringLiteral("Cannot read %1: %2.").arg(path, m_file.errorString()), 0);
    m_size = m_file.size();
    start();
}

std::unique_ptr<CsvReader> CsvReader::fromBytes(const QByteArray& bytes, const CsvFormat& format)
{
    std::unique_ptr<CsvReader> r(new CsvReader(format));
    r->m_name = QStringLiteral("the text");
    r->m_memory = bytes;
    r->m_size = bytes.size();
    r->start();
    return r;
}

void CsvReader::start()
{
    if (csv_init(m_parser.get(), CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL) != 0)
        throw ECsvError(QStringLiteral("Cannot start reading %1.").arg(m_name), 0);
    csv_set_delim(m_parser.get(), static_cast<unsigned char>(m_format.separator));
    csv_set_space_func(m_parser.get(), noSpace);
    csv_set_realloc_func(m_parser.get(), cappedRealloc);
    csv_set_free_func(m_parser.get(), std::free);
}

CsvReader::~CsvReader()
{
    if (m_parser)
        csv_free(m_parser.get());
}

void CsvReader::fail(const QString& message, qint64 line)
{
    throw ECsvError(line > 0 ? QStringLiteral("%1, line %2: %3").arg(m_name).arg(line).arg(message) : message, line);
}

QString CsvReader::decode(const char* data, size_t length, bool* ok)
{
    *ok = true;
    if (isAscii(data, length))
        return QString::fromLatin1(data, qsizetype(length));
    if (!m_decoder) {
        // Each field is decoded on its own: a byte-order mark at its start is a character of the
        // field (the file's own mark is passed over before the first row).
        m_decoder.emplace(m_format.encoding == Encoding::Utf8
                              ? QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom)
                              : QStringDecoder("windows-1252", QStringDecoder::Flag::ConvertInitialBom));
    }
    if (!m_decoder->isValid()) {
        *ok = false;
        return QString();
    }
    m_decoder->resetState();
    QString text = m_decoder->decode(QByteArrayView(data, qsizetype(length)));
    if (m_decoder->hasError())
        *ok = false;
    return text;
}

void CsvReader::fieldDone(const char* data, size_t length)
{
    if (!m_error.isEmpty())
        return;
    if (m_current.fields.size() >= kMaxFields) {
        m_error = QStringLiteral("the row has more than %1 fields.").arg(kMaxFields);
        m_errorLine = m_recordLine;
        return;
    }
    bool ok = true;
    QString text = decode(data ? data : "", data ? length : 0, &ok);
    if (!ok) {
        m_error = !m_decoder->isValid()
            ? QStringLiteral("the text decoder for %1 is not available.").arg(encodingName(m_format.encoding))
            : QStringLiteral("the text is not UTF-8; choose the encoding Windows-1252 if the file comes from an older "
                             "program.");
        m_errorLine = m_recordLine;
        return;
    }
    m_current.fields.append(std::move(text));
}

void CsvReader::recordDone(int terminator)
{
    if (!m_error.isEmpty())
        return;
    bool blank = true;
    for (const QString& f : std::as_const(m_current.fields))
        if (!f.isEmpty()) {
            blank = false;
            break;
        }
    if (!blank) {
        const int count = int(m_current.fields.size());
        if (m_expectedFields < 0) {
            m_expectedFields = count;
            m_firstLine = m_recordLine;
        } else if (count != m_expectedFields) {
            m_error = QStringLiteral("the row has %1 fields, but the first row (line %2) has %3; every row must have the "
                                     "same columns.")
                          .arg(count)
                          .arg(m_firstLine)
                          .arg(m_expectedFields);
            m_errorLine = m_recordLine;
            m_errorKind = ECsvError::Kind::FieldCount;
            return;
        }
        m_current.line = m_recordLine;
        m_ready.push_back(std::move(m_current));
    }
    m_current = CsvRecord();
    m_recordBytes = 0;
    m_recordLine = terminator < 0 ? m_line : m_line + 1;
}

void CsvReader::feed(const char* data, qint64 length)
{
    qint64 begin = 0;
    while (begin < length) {
        qint64 end = begin;
        while (end < length && data[end] != '\n')
            ++end;
        const bool lineEnd = end < length;
        if (lineEnd)
            ++end;
        const size_t n = size_t(end - begin);
        // A text file holds no control characters but the tab and the line ends.
        for (qint64 i = begin; i < end; ++i) {
            const unsigned char c = static_cast<unsigned char>(data[i]);
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
                fail(c == 0 ? QStringLiteral("a zero byte: this is no text file.")
                            : QStringLiteral("the control character 0x%1: this is no text file.")
                                  .arg(int(c), 2, 16, QLatin1Char('0')),
                     m_line);
        }
        m_recordBytes += qint64(n);
        const size_t done = csv_parse(m_parser.get(), data + begin, n, onField, onRecord, this);
        if (!m_error.isEmpty()) {
            const QString message = m_error;
            m_error.clear();
            const qint64 line = m_errorLine;
            throw ECsvError(QStringLiteral("%1, line %2: %3").arg(m_name).arg(line).arg(message), line, m_errorKind);
        }
        if (done < n) {
            const int why = csv_error(m_parser.get());
            if (why == CSV_ENOMEM || why == CSV_ETOOBIG)
                fail(QStringLiteral("a field longer than %1 MB; this is no list of rows.").arg(kMaxRecordBytes >> 20),
                     m_recordLine);
            qint64 line = m_line;
            for (size_t j = 0; j < done && j < n; ++j)
                if (data[begin + qint64(j)] == '\n')
                    ++line;
            fail(QStringLiteral("a quote stands inside a field that is not quoted, or a quoted field goes on after its "
                                "closing quote."),
                 line);
        }
        if (m_recordBytes > kMaxRecordBytes)
            fail(QStringLiteral("the row is longer than %1 MB; this is no list of rows.").arg(kMaxRecordBytes >> 20),
                 m_recordLine);
        if (lineEnd)
            ++m_line;
        begin = end;
    }
}

bool CsvReader::fill()
{
    try {
        return fillRecords();
    } catch (const ECsvError&) {
        // The records before the fault are given first; the fault comes at the next call.
        if (m_ready.empty())
            throw;
        m_deferred = std::current_exception();
        m_finished = true;
        return true;
    }
}

bool CsvReader::fillRecords()
{
    while (m_ready.empty()) {
        if (m_deferred)
            std::rethrow_exception(std::exchange(m_deferred, nullptr));
        if (m_finished)
            return false;
        qint64 got = 0;
        if (m_file.isOpen()) {
            m_chunk.resize(kChunk);
            got = m_file.read(m_chunk.data(), kChunk);
            if (got < 0)
                fail(QStringLiteral("Cannot read %1: %2.").arg(m_name, m_file.errorString()), 0);
            m_chunk.resize(got);
        } else {
            got = std::min<qint64>(kChunk, m_memory.size() - m_memoryPos);
            m_chunk = m_memory.mid(m_memoryPos, got);
            m_memoryPos += got;
        }
        const char* data = m_chunk.constData();
        qint64 length = got;
        if (m_position == 0 && length >= 3 && m_chunk.startsWith(kBom)) {
            data += 3;
            length -= 3;
        }
        m_position += got;
        if (got == 0) {
            m_finished = true;
            const qint64 startLine = m_recordLine;
            if (csv_fini(m_parser.get(), onField, onRecord, this) != 0)
                fail(QStringLiteral("the file ends inside a quoted field that begins here; the file is cut short or a "
                                    "quote is missing."),
                     startLine);
            if (!m_error.isEmpty()) {
                const QString message = m_error;
                m_error.clear();
                throw ECsvError(QStringLiteral("%1, line %2: %3").arg(m_name).arg(m_errorLine).arg(message), m_errorLine,
                                m_errorKind);
            }
            continue;
        }
        feed(data, length);
    }
    return true;
}

bool CsvReader::next(CsvRecord& record)
{
    if (!fill())
        return false;
    record = std::move(m_ready.front());
    m_ready.pop_front();
    return true;
}

CsvFormat detectFormatOf(const QByteArray& beginning, bool wholeFile)
{
    CsvFormat format;
    QByteArray sample = beginning;
    if (sample.startsWith(kBom)) {
        format.encoding = Encoding::Utf8;
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8.decode(sample);
        format.encoding = utf8.hasError() ? Encoding::Windows1252 : Encoding::Utf8;
    }
    if (!wholeFile) {
        const qsizetype lastLine = sample.lastIndexOf('\n');
        if (lastLine > 0)
            sample.truncate(lastLine + 1);
    }
    // The separator that splits the first rows into the same number of fields, the most of them;
    // on a tie the tab, then the semicolon (whose files often hold decimal commas), then the comma.
    struct Score {
        char separator;
        bool consistent = false;
        int fields = 0;
    };
    Score best{',', false, 0};
    for (char separator : {'\t', ';', ','}) {
        CsvFormat trial = format;
        trial.separator = separator;
        Score score{separator};
        int records = 0;
        try {
            auto reader = CsvReader::fromBytes(sample, trial);
            CsvRecord r;
            while (records < 50 && reader->next(r)) {
                if (records == 0)
                    score.fields = int(r.fields.size());
                ++records;
            }
            score.consistent = records > 0;
        } catch (const ECsvError& e) {
            // A sample cut in the middle of a quoted field still tells, from the rows before.
            score.consistent = records > 0 && e.kind() != ECsvError::Kind::FieldCount && !wholeFile;
        }
        const bool usable = score.consistent && score.fields > 1;
        const bool bestUsable = best.consistent && best.fields > 1;
        if (usable && (!bestUsable || score.fields > best.fields))
            best = score;
    }
    format.separator = best.separator;
    return format;
}

CsvFormat detectFormat(const QString& path)
{
    QFile file(path);
    if (QFileInfo(path).isDir())
        throw ECsvError(QStringLiteral("%1 is a folder, not a file.").arg(path), 0);
    if (!file.open(QIODevice::ReadOnly))
        throw ECsvError(QStringLiteral("Cannot read %1: %2.").arg(path, file.errorString()), 0);
    const QByteArray beginning = file.read(kChunk);
    if (beginning.isEmpty() || beginning == QByteArray(kBom))
        throw ECsvError(QStringLiteral("The file %1 is empty.").arg(QFileInfo(path).fileName()), 0);
    return detectFormatOf(beginning, file.atEnd());
}

CsvPreview firstRecords(const QString& path, const CsvFormat& format, int count)
{
    CsvPreview preview;
    try {
        CsvReader reader(path, format);
        CsvRecord r;
        while (int(preview.records.size()) < count && reader.next(r))
            preview.records.push_back(std::move(r));
    } catch (const Exception& e) {
        preview.error = e.message();
    }
    return preview;
}

QByteArray csvField(const QByteArray& utf8, char separator)
{
    bool quote = false;
    for (char c : utf8)
        if (c == separator || c == '"' || c == '\n' || c == '\r') {
            quote = true;
            break;
        }
    if (!utf8.isEmpty() && (utf8.front() == ' ' || utf8.back() == ' ' || utf8.front() == '\t' || utf8.back() == '\t'))
        quote = true;
    if (!quote)
        return utf8;
    QByteArray out;
    out.reserve(utf8.size() + 2);
    out += '"';
    for (char c : utf8) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

CsvWriter::CsvWriter(const QString& path, char separator, bool byteOrderMark) : m_file(path), m_separator(separator)
{
    if (!m_file.open(QIODevice::WriteOnly))
        throw Exception(QStringLiteral("Cannot write %1: %2.").arg(path, m_file.errorString()));
    if (byteOrderMark)
        m_buffer += kBom;
}

CsvWriter::~CsvWriter()
{
    if (m_file.isOpen())
        m_file.cancelWriting();
}

void CsvWriter::writeRecord(const QStringList& fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            m_buffer += m_separator;
        m_buffer += csvField(fields[i].toUtf8(), m_separator);
    }
    m_buffer += "\r\n";
    ++m_records;
    if (m_buffer.size() >= (1 << 20))
        flush();
}

void CsvWriter::writeRecord(const QByteArrayList& fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            m_buffer += m_separator;
        m_buffer += csvField(fields[i], m_separator);
    }
    m_buffer += "\r\n";
    ++m_records;
    if (m_buffer.size() >= (1 << 20))
        flush();
}

void CsvWriter::flush()
{
    if (m_buffer.isEmpty())
        return;
    if (m_file.write(m_buffer) != m_buffer.size())
        throw Exception(QStringLiteral("Cannot write %1: %2.").arg(m_file.fileName(), m_file.errorString()));
    m_buffer.clear();
}

void CsvWriter::commit()
{
    flush();
    if (!m_file.commit())
        throw Exception(QStringLiteral("Cannot write %1: %2.").arg(m_file.fileName(), m_file.errorString()));
}

} // namespace zz::exchange
