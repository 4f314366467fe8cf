#include "exchange/Import.h"

#include <QHash>
#include <QLocale>
#include <QSqlQuery>
#include <QVariant>
#include <optional>

#include "data/Engine.h"
#include "data/Field.h"
#include "data/Money.h"
#include "data/Schema.h"
#include "data/TableSql.h"

namespace zz::exchange {

namespace {
std::function<void(qint64)>& beforeRowWrite()
{
    static std::function<void(qint64)> hook;
    return hook;
}

// Lower case letters and digits only: "E-mail Address" -> "emailaddress".
QString titleKey(const QString& title)
{
    QString out;
    for (QChar c : title)
        if (c.isLetterOrNumber())
            out += c.toLower();
    return out;
}

// The titles a column of each field may carry: the field name, the editor's caption, the list's
// column title and the usual words of other programs.
const std::vector<QStringList>& titlesOf(ImportKind kind)
{
    static const std::vector<QStringList> customers = {
        {"Cus_Name", "Customer Name", "Customer", "Name", "Company", "Company Name", "Client", "Firm"},
        {"Cus_Address1", "Address 1", "Customer Address", "Address", "Street", "Address Line 1", "Street Address"},
        {"Cus_Address2", "Address 2", "Address Line 2", "City", "Town"},
        {"Cus_Address3", "Address 3", "Address Line 3", "Postal Code", "Post Code", "Postcode", "Zip", "Zip Code"},
        {"Cus_Web_Address", "Web Address", "Customer Web Address", "Web", "Website", "Web Site", "URL", "Homepage"},
        {"Cus_Email", "Email Address", "Customer Email", "Email", "E-mail", "Mail", "E-mail Address"},
        {"Cus_Phone", "Phone Number", "Customer Phone", "Phone", "Telephone", "Tel", "Tel.", "Mobile"},
        {"Cus_Contact", "Contact Name", "Customer Contact", "Contact", "Contact Person"},
        {"Cus_VAT_No", "VAT Number", "Customer VAT Number", "VAT", "VAT No", "VAT ID", "Tax Number", "Tax ID"},
    };
    static const std::vector<QStringList> products = {
        {"Prod_Code", "Product Code", "Code", "SKU", "Item", "Item Code", "Article", "Article Number", "Part Number"},
        {"Prod_Description", "Description", "Product Description", "Product", "Item Description", "Name",
         "Product Name"},
        {"Prod_Price", "Unit Price", "Price", "Net Price", "Sales Price", "Amount"},
    };
    return kind == ImportKind::Customers ? customers : products;
}

int fieldForTitle(ImportKind kind, const QString& title)
{
    const QString key = titleKey(title);
    if (key.isEmpty())
        return -1;
    const auto& titles = titlesOf(kind);
    for (size_t f = 0; f < titles.size(); ++f)
        for (const QString& t : titles[f])
            if (titleKey(t) == key)
                return int(f);
    return -1;
}

std::optional<double> readPrice(const QString& text, PriceReading reading)
{
    double value = 0;
    if (reading == PriceReading::Regional)
        return parseLocalFloat(text, &value) ? std::optional<double>(value) : std::nullopt;
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    value = c.toDouble(text.trimmed(), &ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

// An existing product, as the books hold it.
struct StoredProduct {
    qint64 id = 0;
    QVariant description;
    QVariant price;
};

// One pass over the file: every row checked, and with `write` the sound ones written.
class Pass {
public:
    Pass(const QString& path, ImportKind kind, const ImportOptions& options, bool write, const ImportProgress& progress)
        : m_path(path), m_kind(kind), m_options(options), m_write(write), m_progress(progress),
          m_fields(importFields(kind)), m_table(tableDef(kind == ImportKind::Customers ? QStringLiteral("Customer")
                                                                                      : QStringLiteral("Product")))
    {
        if (m_options.mapping.columns.size() != m_fields.size())
            throw Exception(QStringLiteral("The column mapping does not fit the %1.").arg(kindName(kind)));
        for (size_t f = 0; f < m_fields.size(); ++f)
            if (m_fields[f].required && m_options.mapping.columns[f] < 0)
                throw Exception(QStringLiteral("No column is chosen for %1 (%2), which every row needs.")
                                    .arg(m_fields[f].caption, m_fields[f].name));
        for (size_t f = 0; f < m_fields.size(); ++f)
            m_tableIndex.push_back(m_table.fieldIndex(m_fields[f].name));
    }

    ImportCheck run()
    {
        if (m_kind == ImportKind::Products)
            readStoredProducts();
        CsvReader reader(m_path, m_options.csv);
        CsvRecord record;
        bool headerSkipped = !m_options.csv.header;
        bool any = false;
        qint64 step = 0;
        while (reader.next(record)) {
            any = true;
            if (!headerSkipped) {
                headerSkipped = true;
                checkColumns(record);
                continue;
            }
            if (m_check.rows == 0)
                checkColumns(record);
            ++m_check.rows;
            row(record);
            if (m_progress && ++step % 2000 == 0 && !m_progress(reader.position(), reader.size()))
                throw Exception(QStringLiteral("The import was stopped; nothing was imported."));
        }
        if (!any)
            throw ECsvError(QStringLiteral("The file %1 is empty.").arg(fileName()), 0);
        if (m_check.rows == 0)
            throw ECsvError(QStringLiteral("The file %1 holds only a header row and no %2 to import.")
                                .arg(fileName(), kindName(m_kind)),
                            1);
        return m_check;
    }

private:
    QString fileName() const { return m_path.section(QLatin1Char('/'), -1); }

    void checkColumns(const CsvRecord& record)
    {
        for (size_t f = 0; f < m_fields.size(); ++f)
            if (m_options.mapping.columns[f] >= record.fields.size())
                throw Exception(QStringLiteral("%1 is mapped to column %2, but the file has only %3 columns.")
                                    .arg(m_fields[f].name)
                                    .arg(m_options.mapping.columns[f] + 1)
                                    .arg(record.fields.size()));
    }

    void readStoredProducts()
    {
        QSqlQuery q = prepareOrThrow(QStringLiteral("SELECT rowid, Prod_Code, Prod_Description, Prod_Price FROM Product"));
        q.setForwardOnly(true);
        execOrThrow(q, QStringLiteral("Product"));
        while (q.next())
            m_stored.insert(q.value(1).toString(), {q.value(0).toLongLong(), q.value(2), q.value(3)});
    }

    void note(std::vector<RowNote>& notes, qint64 line, const QString& text)
    {
        if (notes.size() < ImportCheck::kMaxNotes)
            notes.push_back({line, text});
    }

    void row(const CsvRecord& record)
    {
        QStringList reasons;
        Row values(m_table.fields.size());
        std::optional<double> price;
        for (size_t f = 0; f < m_fields.size(); ++f) {
            const ImportField& field = m_fields[f];
            const int column = m_options.mapping.columns[f];
            QString text = column >= 0 ? record.fields[column] : QString();
            if (field.price) {
                if (text.trimmed().isEmpty()) {
                    reasons << QStringLiteral("Field '%1' must have a value").arg(field.name);
                    continue;
                }
                price = readPrice(text, m_options.prices);
                if (!price) {
                    reasons << QStringLiteral("'%1' is not a valid floating point value for field '%2'").arg(text, field.name);
                    continue;
                }
                const auto money = Money::fromDoubleChecked(*price);
                if (!money) {
                    reasons << QStringLiteral("the price %1 is beyond the amounts the books can hold").arg(text);
                    price.reset();
                    continue;
                }
                price = money->toDouble();
                values[size_t(m_tableIndex[f])] = *price;
                continue;
            }
            if (text.size() > field.size) {
                if (m_options.longTexts == LongTexts::Refuse) {
                    reasons << QStringLiteral("%1 is %2 characters long; the field holds at most %3")
                                   .arg(field.name)
                                   .arg(text.size())
                                   .arg(field.size);
                    continue;
                }
                text.truncate(field.size);
            }
            // As in the edit fields, an empty text leaves the field empty.
            if (text.isEmpty()) {
                if (field.required)
                    reasons << QStringLiteral("Field '%1' must have a value").arg(field.name);
                continue;
            }
            values[size_t(m_tableIndex[f])] = text;
        }

        const StoredProduct* stored = nullptr;
        if (m_kind == ImportKind::Products) {
            const QString code = values[0].toString();
            if (!code.isEmpty()) {
                const auto seen = m_seenCodes.constFind(code);
                if (seen != m_seenCodes.constEnd())
                    reasons << QStringLiteral("the product code %1 is repeated; it is on line %2 already").arg(code).arg(*seen);
                else
                    m_seenCodes.insert(code, record.line);
                const auto it = m_stored.constFind(code);
                if (it != m_stored.constEnd())
                    stored = &*it;
            }
        }
        if (!reasons.isEmpty()) {
            ++m_check.refusedCount;
            note(m_check.refused, record.line, reasons.join(QStringLiteral("; ")) + QLatin1Char('.'));
            return;
        }
        if (stored) {
            const bool same = stored->description.toString() == values[1].toString()
                && Money::fromDouble(stored->price.toDouble()) == Money::fromDouble(values[2].toDouble());
            if (m_options.existing == ExistingProducts::Leave || same) {
                ++m_check.unchanged;
                note(m_check.existing, record.line,
                     QStringLiteral("The product %1 is in the books already; it is left as it is.").arg(values[0].toString()));
                return;
            }
            ++m_check.toUpdate;
            note(m_check.existing, record.line,
                 QStringLiteral("The product %1 is in the books already; its description and price are updated.")
                     .arg(values[0].toString()));
            if (m_write) {
                if (beforeRowWrite())
                    beforeRowWrite()(record.line);
                const Row read{values[0], stored->description, stored->price};
                updateRow(m_table, stored->id, values, {false, true, true}, read);
            }
            return;
        }
        ++m_check.toInsert;
        if (m_write) {
            if (beforeRowWrite())
                beforeRowWrite()(record.line);
            m_inserter.insert(values);
        }
    }

    QString m_path;
    ImportKind m_kind;
    ImportOptions m_options;
    bool m_write;
    ImportProgress m_progress;
    const std::vector<ImportField>& m_fields;
    const TableDef& m_table;
    std::vector<int> m_tableIndex;
    RowInserter m_inserter{m_table};
    QHash<QString, StoredProduct> m_stored;
    QHash<QString, qint64> m_seenCodes;
    ImportCheck m_check;
};
} // namespace

const std::vector<ImportField>& importFields(ImportKind kind)
{
    static const std::vector<ImportField> customers = [] {
        const TableDef& t = tableDef(QStringLiteral("Customer"));
        const char* captions[] = {"Customer Name", "Address 1",    "Address 2",    "Address 3", "Web Address",
                                  "Email Address", "Phone Number", "Contact Name", "VAT Number"};
        std::vector<ImportField> out;
        for (int i = 0; i < 9; ++i) {
            const FieldDef& f = t.fields[size_t(i + 1)];
            out.push_back({f.name, QLatin1String(captions[i]), f.size, f.required, false});
        }
        return out;
    }();
    static const std::vector<ImportField> products = [] {
        const TableDef& t = tableDef(QStringLiteral("Product"));
        return std::vector<ImportField>{
            {t.fields[0].name, QStringLiteral("Product Code"), t.fields[0].size, true, false},
            {t.fields[1].name, QStringLiteral("Description"), t.fields[1].size, true, false},
            {t.fields[2].name, QStringLiteral("Unit Price"), 0, true, true},
        };
    }();
    return kind == ImportKind::Customers ? customers : products;
}

QString kindName(ImportKind kind)
{
    return kind == ImportKind::Customers ? QStringLiteral("customers") : QStringLiteral("products");
}

ColumnMapping guessMapping(ImportKind kind, const QStringList& header, bool hasHeader)
{
    const size_t n = importFields(kind).size();
    ColumnMapping m;
    m.columns.assign(n, -1);
    if (!hasHeader) {
        for (size_t f = 0; f < n && qsizetype(f) < header.size(); ++f)
            m.columns[f] = int(f);
        return m;
    }
    // The field names and captions first, then the looser words, each column used once.
    for (int pass = 0; pass < 2; ++pass)
        for (qsizetype c = 0; c < header.size(); ++c) {
            if (std::find(m.columns.begin(), m.columns.end(), int(c)) != m.columns.end())
                continue;
            const QString key = titleKey(header[c]);
            const auto& titles = titlesOf(kind);
            for (size_t f = 0; f < n; ++f) {
                if (m.columns[f] >= 0)
                    continue;
                const QStringList& words = titles[f];
                const qsizetype from = pass == 0 ? 0 : 2, to = pass == 0 ? 2 : words.size();
                bool hit = false;
                for (qsizetype w = from; w < to && !hit; ++w)
                    hit = titleKey(words[w]) == key;
                if (hit) {
                    m.columns[f] = int(c);
                    break;
                }
            }
        }
    return m;
}

bool looksLikeHeader(ImportKind kind, const QStringList& firstRow)
{
    for (const QString& t : firstRow)
        if (fieldForTitle(kind, t) >= 0)
            return true;
    return false;
}

ImportCheck checkImport(const QString& path, ImportKind kind, const ImportOptions& options, const ImportProgress& progress)
{
    return Pass(path, kind, options, false, progress).run();
}

ImportCheck runImport(const QString& path, ImportKind kind, const ImportOptions& options, const ImportCheck& checked,
                      bool soundRowsOnly, const ImportProgress& progress)
{
    if (checked.refusedCount > 0 && !soundRowsOnly)
        throw Exception(QStringLiteral("%1 rows are refused; nothing was imported.").arg(checked.refusedCount));
    ImportCheck done;
    Engine::runInTransaction(
        [&] {
            // Another seat's writes to the table wait until the import is over, so that the check
            // made while writing holds for the books as they are.
            Engine::lockTableForWriting(kind == ImportKind::Customers ? QStringLiteral("Customer")
                                                                      : QStringLiteral("Product"));
            done = Pass(path, kind, options, true, progress).run();
            if (!done.sameCounts(checked))
                throw Exception(QStringLiteral("The file or the books changed since the check (%1 rows to import then, %2 "
                                               "now); nothing was imported. Check the file again.")
                                    .arg(checked.toInsert + checked.toUpdate)
                                    .arg(done.toInsert + done.toUpdate));
        },
        Engine::OnFailure::RollBack);
    return done;
}

void setBeforeRowWrite(std::function<void(qint64 line)> hook) { beforeRowWrite() = std::move(hook); }

} // namespace zz::exchange
