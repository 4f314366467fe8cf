// The CSV reader: any bytes, read with any separator and encoding, and the detection of both. A
// file read whole is written again by the writer's quoting and must read back record for record.
#include <cstdio>
#include <cstdlib>

#include "exchange/Csv.h"
#include "tests/fuzz/FuzzInput.h"

using namespace zz;
using namespace zz::exchange;

namespace {
std::vector<CsvRecord> readAll(const QByteArray& bytes, const CsvFormat& format)
{
    std::vector<CsvRecord> out;
    auto reader = CsvReader::fromBytes(bytes, format);
    CsvRecord r;
    while (reader->next(r))
        out.push_back(r);
    return out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const auto choice = in.take<std::uint8_t>();
    const QByteArray bytes = in.rest();
    CsvFormat format;
    const char separators[] = {',', ';', '\t'};
    format.separator = separators[(choice & 3) % 3];
    format.encoding = (choice & 4) ? Encoding::Windows1252 : Encoding::Utf8;
    if (choice & 8) {
        try {
            format = detectFormatOf(bytes, true);
        } catch (const Exception&) {
        }
    }
    std::vector<CsvRecord> records;
    try {
        records = readAll(bytes, format);
    } catch (const ECsvError&) {
        return 0; // refused with a message: a bad file
    }
    // As the writer writes: a byte-order mark first, so that a first field beginning with one keeps it.
    QByteArray written = "\xEF\xBB\xBF";
    for (const CsvRecord& r : records) {
        for (qsizetype i = 0; i < r.fields.size(); ++i) {
            if (i > 0)
                written += format.separator;
            written += csvField(r.fields[i].toUtf8(), format.separator);
        }
        written += "\r\n";
    }
    CsvFormat utf8 = format;
    utf8.encoding = Encoding::Utf8;
    std::vector<CsvRecord> again;
    try {
        again = readAll(written, utf8);
    } catch (const ECsvError& e) {
        std::fprintf(stderr, "written records do not read back: %s\n", e.what());
        std::abort();
    }
    if (again.size() != records.size()) {
        std::fprintf(stderr, "%zu records read back as %zu\n", records.size(), again.size());
        std::abort();
    }
    for (size_t i = 0; i < records.size(); ++i)
        if (again[i].fields != records[i].fields) {
            std::fprintf(stderr, "record %zu reads back changed\n", i);
            std::abort();
        }
    return 0;
}
