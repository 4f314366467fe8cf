#include "data/EInvoiceDetails.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include "data/Backup.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "data/Regional.h"
#include "data/Schema.h"

namespace zz {

namespace {

std::function<void(const char*)>& saveProbe()
{
    static std::function<void(const char*)> probe;
    return probe;
}

void probe(const char* step)
{
    if (saveProbe())
        saveProbe()(step);
}

// The officially assigned ISO 3166-1 alpha-2 codes.
const QSet<QString>& countryCodes()
{
    static const QSet<QString> codes = [] {
        static const char* const all =
            "AD AE AF AG AI AL AM AO AQ AR AS AT AU AW AX AZ "
            "BA BB BD BE BF BG BH BI BJ BL BM BN BO BQ BR BS BT BV BW BY BZ "
            "CA CC CD CF CG CH CI CK CL CM CN CO CR CU CV CW CX CY CZ "
            "DE DJ DK DM DO DZ "
            "EC EE EG EH ER ES ET "
            "FI FJ FK FM FO FR "
            "GA GB GD GE GF GG GH GI GL GM GN GP GQ GR GS GT GU GW GY "
            "HK HM HN HR HT HU "
            "ID IE IL IM IN IO IQ IR IS IT "
            "JE JM JO JP "
            "KE KG KH KI KM KN KP KR KW KY KZ "
            "LA LB LC LI LK LR LS LT LU LV LY "
            "MA MC MD ME MF MG MH MK ML MM MN MO MP MQ MR MS MT MU MV MW MX MY MZ "
            "NA NC NE NF NG NI NL NO NP NR NU NZ "
            "OM "
            "PA PE PF PG PH PK PL PM PN PR PS PT PW PY "
            "QA "
            "RE RO RS RU RW "
            "SA SB SC SD SE SG SH SI SJ SK SL SM SN SO SR SS ST SV SX SY SZ "
            "TC TD TF TG TH TJ TK TL TM TN TO TR TT TV TW TZ "
            "UA UG UM US UY UZ "
            "VA VC VE VG VI VN VU "
            "WF WS "
            "YE YT "
            "ZA ZM ZW";
        QSet<QString> set;
        for (const QString& c : QString::fromLatin1(all).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            set.insert(c);
        return set;
    }();
    return codes;
}

// The ISO 4217 codes an invoice may be written in (the codes for testing and for "no currency" left out).
const QSet<QString>& currencyCodes()
{
    static const QSet<QString> codes = [] {
        static const char* const all =
            "AED AFN ALL AMD ANG AOA ARS AUD AWG AZN BAM BBD BDT BGN BHD BIF BMD BND BOB BOV BRL BSD BTN BWP "
            "BYN BZD CAD CDF CHE CHF CHW CLF CLP CNY COP COU CRC CUC CUP CVE CZK DJF DKK DOP DZD EGP ERN ETB "
            "EUR FJD FKP GBP GEL GHS GIP GMD GNF GTQ GYD HKD HNL HTG HUF IDR ILS INR IQD IRR ISK JMD JOD JPY "
            "KES KGS KHR KMF KPW KRW KWD KYD KZT LAK LBP LKR LRD LSL LYD MAD MDL MGA MKD MMK MNT MOP MRU MUR "
            "MVR MWK MXN MXV MYR MZN NAD NGN NIO NOK NPR NZD OMR PAB PEN PGK PHP PKR PLN PYG QAR RON RSD RUB "
            "RWF SAR SBD SCR SDG SEK SGD SHP SLE SLL SOS SRD SSP STN SVC SYP SZL THB TJS TMT TND TOP TRY TTD "
            "TWD TZS UAH UGX USD USN UYI UYU UYW UZS VED VES VND VUV WST XAF XAG XAU XBA XBB XBC XBD XCD XCG "
            "XDR XOF XPD XPF XPT XSU XUA YER ZAR ZMW ZWG ZWL";
        QSet<QString> set;
        for (const QString& c : QString::fromLatin1(all).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            set.insert(c);
        return set;
    }();
    return codes;
}

// The length of an IBAN by the country that issues it (the IBAN registry of ISO 13616).
int ibanLength(const QString& country)
{
    static const struct { const char code[3]; int length; } lengths[] = {
        {"AD", 24}, {"AE", 23}, {"AL", 28}, {"AT", 20}, {"AZ", 28}, {"BA", 20}, {"BE", 16}, {"BG", 22},
        {"BH", 22}, {"BI", 27}, {"BR", 29}, {"BY", 28}, {"CH", 21}, {"CR", 22}, {"CY", 28}, {"CZ", 24},
        {"DE", 22}, {"DJ", 27}, {"DK", 18}, {"DO", 28}, {"EE", 20}, {"EG", 29}, {"ES", 24}, {"FI", 18},
        {"FK", 18}, {"FO", 18}, {"FR", 27}, {"GB", 22}, {"GE", 22}, {"GI", 23}, {"GL", 18}, {"GR", 27},
        {"GT", 28}, {"HN", 28}, {"HR", 21}, {"HU", 28}, {"IE", 22}, {"IL", 23}, {"IQ", 23}, {"IS", 26},
        {"IT", 27}, {"JO", 30}, {"KW", 30}, {"KZ", 20}, {"LB", 28}, {"LC", 32}, {"LI", 21}, {"LT", 20},
        {"LU", 20}, {"LV", 21}, {"LY", 25}, {"MC", 27}, {"MD", 24}, {"ME", 22}, {"MK", 19}, {"MN", 20},
        {"MR", 27}, {"MT", 31}, {"MU", 30}, {"NI", 28}, {"NL", 18}, {"NO", 15}, {"OM", 23}, {"PK", 24},
        {"PL", 28}, {"PS", 29}, {"PT", 25}, {"QA", 29}, {"RO", 24}, {"RS", 22}, {"RU", 33}, {"SA", 24},
        {"SC", 31}, {"SD", 18}, {"SE", 24}, {"SI", 19}, {"SK", 24}, {"SM", 27}, {"SO", 23}, {"ST", 25},
        {"SV", 28}, {"TL", 23}, {"TN", 24}, {"TR", 26}, {"UA", 29}, {"VA", 22}, {"VG", 24}, {"XK", 20},
        {"YE", 30},
    };
    for (const auto& l : lengths)
        if (country == QLatin1String(l.code))
            return l.length;
    return 0;
}

QString lengthProblem(const QString& value, const char* field, int size)
{
    if (value.size() > size)
        return QStringLiteral("The %1 is too long: at most %2 characters, and it has %3.").arg(QLatin1String(field)).arg(size).arg(value.size());
    for (const QChar c : value)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return QStringLiteral("The %1 holds a line break or another control character; it must be one line of text.")
                .arg(QLatin1String(field));
    return QString();
}

int fieldSize(const TableDef& t, const char* field)
{
    return t.fields[size_t(t.fieldIndex(QLatin1String(field)))].size;
}

const TableDef& companyTable() { return eInvoicingTables()[0]; }
const TableDef& customerTable() { return eInvoicingTables()[1]; }

// The details as they are stored: blanks around each text dropped, codes in upper case.
CompanyEInvoiceDetails normalised(const CompanyEInvoiceDetails& d)
{
    CompanyEInvoiceDetails n = d;
    n.country = d.country.trimmed().toUpper();
    n.vatId = d.vatId.trimmed().toUpper().remove(QLatin1Char(' '));
    n.taxNumber = d.taxNumber.trimmed();
    n.email = d.email.trimmed();
    n.iban = normalisedIban(d.iban);
    n.bic = d.bic.trimmed().toUpper().remove(QLatin1Char(' '));
    n.paymentTermsText = d.paymentTermsText.trimmed();
    n.currency = d.currency.trimmed().toUpper();
    n.zeroRateCategory = d.zeroRateCategory.trimmed().toUpper();
    n.exemptionReason = d.exemptionReason.trimmed();
    if (!n.currencyOverridden)
        n.currency = regionalCurrency();
    return n;
}

CustomerEInvoiceDetails normalised(const CustomerEInvoiceDetails& d)
{
    CustomerEInvoiceDetails n = d;
    n.country = d.country.trimmed().toUpper();
    n.buyerReference = d.buyerReference.trimmed();
    n.electronicAddress = d.electronicAddress.trimmed();
    return n;
}

// The first of the problems that is not empty.
QString firstOf(std::initializer_list<QString> problems)
{
    for (const QString& p : problems)
        if (!p.isEmpty())
            return p;
    return QString();
}

QString countryFieldProblem(const QString& code) { return code.isEmpty() ? QString() : countryProblem(code); }

// The state of the open book's e-invoicing tables; throws the message when they are damaged.
bool tablesPresent(const QSqlDatabase& db)
{
    QString problem;
    switch (checkEInvoicingTables(db, &problem)) {
    case OptionalTables::Absent: return false;
    case OptionalTables::Complete: return true;
    case OptionalTables::Damaged: break;
    }
    throw EDBEngineError(problem);
}

QVariant textOrNull(const QString& s) { return s.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(s); }

// Before the book's shape changes: today's backup of a local book, if it has none yet.
void backUpBeforeNewTables(const QSqlDatabase& db)
{
    if (db.driverName() != QLatin1String("QSQLITE"))
        return; // a server's books are backed up with the server's own tools
    const QString book = db.databaseName();
    if (book.isEmpty() || book == QLatin1String(":memory:") || !QFileInfo(book).isFile())
        return;
    const QDateTime now = QDateTime::currentDateTime();
    try {
        if (!backup::isDue(book, now))
            return;
        const QString written = backup::write(book, now);
        backup::rotate(book, backup::kKeep, written);
    } catch (const Exception& e) {
        throw EBackupError(QStringLiteral("The e-invoicing details were not saved. They need two new tables in the "
                                          "book, and the book is backed up before it gets them, but today's backup "
                                          "could not be written: %1")
                               .arg(e.message()));
    }
}

// Runs the saving work in one transaction, making the tables first when the book lacks them.
void saveInTransaction(const std::function<void()>& writeRow)
{
    QSqlDatabase db = Engine::database();
    bool make = !tablesPresent(db);
    if (make)
        backUpBeforeNewTables(db);
    beforeWriting();
    Transaction transaction;
    if (dialectOf(db) == SqlDialect::PostgreSQL) {
        // Seats save these details one after another, so that two first saves at once do not
        // both make the tables, nor both add the same customer's row; the second then finds what
        // the first made.
        QSqlQuery lock(db);
        if (!lock.exec(QStringLiteral("SELECT pg_advisory_xact_lock(16931)")))
            throw EDBEngineError(engineErrorText(engineText(lock.lastError()), QString()));
        make = !tablesPresent(db);
    }
    if (make) {
        QSqlQuery q(db);
        for (const QString& sql : eInvoicingSchemaSql(dialectOf(db)))
            if (!q.exec(sql))
                throw EDBEngineError(engineErrorText(engineText(q.lastError()), QString()));
        probe("tables");
    }
    writeRow();
    probe("row");
    transaction.commit();
}

} // namespace

QString normalisedIban(const QString& iban)
{
    QString out;
    for (const QChar c : iban)
        if (!c.isSpace())
            out += c.toUpper();
    return out;
}

QString ibanProblem(const QString& iban)
{
    const QString n = normalisedIban(iban);
    // Shown in groups of four, as it is printed on bank papers.
    QString shown;
    for (int i = 0; i < n.size(); i += 4)
        shown += (i ? QStringLiteral(" ") : QString()) + n.mid(i, 4);
    static const QRegularExpression shape(QStringLiteral("^[A-Z]{2}[0-9]{2}[A-Z0-9]+$"));
    if (!shape.match(n).hasMatch())
        return QStringLiteral("The IBAN %1 is not valid: it begins with the two letters of its country and two check digits, "
                              "followed by letters and digits only (DE89 3704 0044 0532 0130 00).")
            .arg(shown);
    const int length = ibanLength(n.left(2));
    if (length == 0)
        return QStringLiteral("The IBAN %1 is not valid: %2 is no country whose banks give IBANs.").arg(shown, n.left(2));
    if (n.size() != length)
        return QStringLiteral("The IBAN %1 is not valid: an IBAN of %2 has %3 characters, and this one has %4.")
            .arg(shown, n.left(2))
            .arg(length)
            .arg(n.size());
    // ISO 7064 mod 97-10 over the account, then the country and check digits, letters as 10..35.
    const QString moved = n.mid(4) + n.left(4);
    int remainder = 0;
    for (const QChar c : moved) {
        const int v = c.isDigit() ? c.digitValue() : c.unicode() - 'A' + 10;
        remainder = v >= 10 ? (remainder * 100 + v) % 97 : (remainder * 10 + v) % 97;
    }
    if (remainder != 1)
        return QStringLiteral("The IBAN %1 is not valid: its check digits do not match the account; a character is "
                              "wrong or two are swapped.")
            .arg(shown);
    return QString();
}

QString countryProblem(const QString& code)
{
    const QString c = code.trimmed().toUpper();
    if (!countryCodes().contains(c))
        return QStringLiteral("The country code %1 is not known: give the two letters of ISO 3166-1 (DE for Germany, "
                              "ZA for South Africa).")
            .arg(code.trimmed().isEmpty() ? QStringLiteral("(none)") : code.trimmed());
    return QString();
}

QString currencyProblem(const QString& code)
{
    const QString c = code.trimmed().toUpper();
    if (!currencyCodes().contains(c))
        return QStringLiteral("The currency code %1 is not known: give the three letters of ISO 4217 (EUR, ZAR).")
            .arg(code.trimmed().isEmpty() ? QStringLiteral("(none)") : code.trimmed());
    return QString();
}

QString emailProblem(const QString& address, const QString& field)
{
    static const QRegularExpression shape(QStringLiteral("^[^@\\s]+@[^@\\s.]+(\\.[^@\\s.]+)+$"));
    if (!shape.match(address.trimmed()).hasMatch())
        return QStringLiteral("The %1 %2 is not valid: it has the shape name@example.com.").arg(field, address.trimmed());
    return QString();
}

QString bicProblem(const QString& bic)
{
    const QString b = bic.trimmed().toUpper().remove(QLatin1Char(' '));
    static const QRegularExpression shape(QStringLiteral("^[A-Z0-9]{4}[A-Z]{2}[A-Z0-9]{2}([A-Z0-9]{3})?$"));
    if (!shape.match(b).hasMatch())
        return QStringLiteral("The BIC %1 is not valid: it has 8 or 11 letters and digits (DEUTDEFF or DEUTDEFF500).").arg(bic.trimmed());
    if (!countryCodes().contains(b.mid(4, 2)) && b.mid(4, 2) != QLatin1String("XK"))
        return QStringLiteral("The BIC %1 is not valid: its fifth and sixth letters, %2, are no country code.").arg(bic.trimmed(), b.mid(4, 2));
    return QString();
}

QString vatIdProblem(const QString& vatId)
{
    const QString v = vatId.trimmed().toUpper().remove(QLatin1Char(' '));
    static const QRegularExpression shape(QStringLiteral("^[A-Z]{2}[A-Z0-9+*.]{2,13}$"));
    if (!shape.match(v).hasMatch())
        return QStringLiteral("The VAT identifier %1 is not valid: it begins with the two letters of its country, followed "
                              "by 2 to 13 letters and digits (DE123456789).")
            .arg(vatId.trimmed());
    // Greece's prefix is EL, Northern Ireland's XI; every other prefix is the country's code.
    const QString prefix = v.left(2);
    if (!countryCodes().contains(prefix) && prefix != QLatin1String("EL") && prefix != QLatin1String("XI"))
        return QStringLiteral("The VAT identifier %1 is not valid: %2 is no country prefix.").arg(vatId.trimmed(), prefix);
    return QString();
}

QString companyDetailsProblem(const CompanyEInvoiceDetails& details)
{
    const CompanyEInvoiceDetails d = normalised(details);
    const TableDef& t = companyTable();
    QString exemption;
    if (d.zeroRateCategory != QLatin1String("Z") && d.zeroRateCategory != QLatin1String("E"))
        exemption = QStringLiteral("The VAT category at a zero rate is Z (the supplies are zero-rated) or E (they are exempt), not %1.")
                        .arg(d.zeroRateCategory.isEmpty() ? QStringLiteral("none") : d.zeroRateCategory);
    else if (d.zeroRateCategory == QLatin1String("E") && d.exemptionReason.isEmpty())
        exemption = QStringLiteral("The exemption reason is needed when the supplies are exempt from VAT: it is printed on "
                                   "the invoice and sent in the e-invoice.");
    return firstOf({
        d.country.isEmpty() ? QString() : countryProblem(d.country),
        d.vatId.isEmpty() ? QString() : firstOf({lengthProblem(d.vatId, "VAT identifier", fieldSize(t, "Com_VAT_Id")), vatIdProblem(d.vatId)}),
        lengthProblem(d.taxNumber, "tax number", fieldSize(t, "Com_Tax_No")),
        d.email.isEmpty() ? QString()
                          : firstOf({lengthProblem(d.email, "e-mail address", fieldSize(t, "Com_Email")),
                                     emailProblem(d.email, QStringLiteral("e-mail address"))}),
        d.iban.isEmpty() ? QString() : ibanProblem(d.iban),
        d.bic.isEmpty() ? QString() : bicProblem(d.bic),
        d.paymentTermsDays < 0 || d.paymentTermsDays > 3650
            ? QStringLiteral("The payment days are %1: give the days from the invoice date to the due date, from 0 to 3650.")
                  .arg(d.paymentTermsDays)
            : QString(),
        lengthProblem(d.paymentTermsText, "payment terms text", fieldSize(t, "Com_Pay_Terms")),
        d.currencyOverridden ? currencyProblem(d.currency) : QString(),
        exemption,
        lengthProblem(d.exemptionReason, "exemption reason", fieldSize(t, "Com_Exemption")),
    });
}

QString customerDetailsProblem(const CustomerEInvoiceDetails& details)
{
    const CustomerEInvoiceDetails d = normalised(details);
    const TableDef& t = customerTable();
    return firstOf({
        d.cusCode > 0 ? QString() : QStringLiteral("Save the customer first: its e-invoicing details belong to a stored customer."),
        countryFieldProblem(d.country),
        lengthProblem(d.buyerReference, "buyer reference", fieldSize(t, "Cus_Buyer_Ref")),
        d.electronicAddress.isEmpty()
            ? QString()
            : firstOf({lengthProblem(d.electronicAddress, "electronic address", fieldSize(t, "Cus_E_Address")),
                       emailProblem(d.electronicAddress, QStringLiteral("electronic address"))}),
    });
}

QString regionalCurrency() { return regional().currencyCode.trimmed().toUpper(); }

bool hasEInvoicingTables() { return tablesPresent(Engine::database()); }

void setEInvoiceSaveProbe(std::function<void(const char* step)> probe) { saveProbe() = std::move(probe); }

std::optional<CompanyEInvoiceDetails> loadCompanyEInvoiceDetails()
{
    if (!tablesPresent(Engine::database()))
        return std::nullopt;
    // Like the company table, the one row read is the first; further rows are never seen.
    QSqlQuery q = prepareOrThrow(QStringLiteral(
        "SELECT Com_Country, Com_VAT_Id, Com_Tax_No, Com_Email, Com_IBAN, Com_BIC, Com_Pay_Days, Com_Pay_Terms, "
        "Com_Currency, Com_Zero_VAT, Com_Exemption FROM CompanyEInvoicing ORDER BY rowid"));
    execOrThrow(q, QStringLiteral("CompanyEInvoicing"));
    if (!q.next())
        return std::nullopt;
    CompanyEInvoiceDetails d;
    d.country = q.value(0).toString();
    d.vatId = q.value(1).toString();
    d.taxNumber = q.value(2).toString();
    d.email = q.value(3).toString();
    d.iban = q.value(4).toString();
    d.bic = q.value(5).toString();
    d.paymentTermsDays = q.value(6).toInt();
    d.paymentTermsText = q.value(7).toString();
    const QString currency = q.value(8).toString();
    d.currencyOverridden = !currency.isEmpty();
    d.currency = d.currencyOverridden ? currency : regionalCurrency();
    const QString zero = q.value(9).toString();
    d.zeroRateCategory = zero.isEmpty() ? QStringLiteral("Z") : zero;
    d.exemptionReason = q.value(10).toString();
    return d;
}

std::optional<CustomerEInvoiceDetails> loadCustomerEInvoiceDetails(int cusCode)
{
    if (!tablesPresent(Engine::database()))
        return std::nullopt;
    QSqlQuery q = prepareOrThrow(QStringLiteral(
        "SELECT Cus_Country, Cus_Buyer_Ref, Cus_E_Address FROM CustomerEInvoicing WHERE Cus_Code = ?"));
    q.addBindValue(cusCode);
    execOrThrow(q, QStringLiteral("CustomerEInvoicing"));
    if (!q.next())
        return std::nullopt;
    CustomerEInvoiceDetails d;
    d.cusCode = cusCode;
    d.country = q.value(0).toString();
    d.buyerReference = q.value(1).toString();
    d.electronicAddress = q.value(2).toString();
    return d;
}

void saveCompanyEInvoiceDetails(const CompanyEInvoiceDetails& details)
{
    const QString problem = companyDetailsProblem(details);
    if (!problem.isEmpty())
        throw EDatabaseError(problem);
    const CompanyEInvoiceDetails d = normalised(details);
    saveInTransaction([&] {
        const QVariantList values{textOrNull(d.country), textOrNull(d.vatId), textOrNull(d.taxNumber),
                                  textOrNull(d.email), textOrNull(d.iban), textOrNull(d.bic), d.paymentTermsDays,
                                  textOrNull(d.paymentTermsText),
                                  d.currencyOverridden ? textOrNull(d.currency) : textOrNull(QString()),
                                  textOrNull(d.zeroRateCategory), textOrNull(d.exemptionReason)};
        QSqlQuery first = prepareOrThrow(QStringLiteral("SELECT MIN(rowid) FROM CompanyEInvoicing"));
        execOrThrow(first, QStringLiteral("CompanyEInvoicing"));
        const QVariant row = first.next() ? first.value(0) : QVariant();
        QSqlQuery write = prepareOrThrow(
            row.isNull()
                ? QStringLiteral("INSERT INTO CompanyEInvoicing (Com_Country, Com_VAT_Id, Com_Tax_No, Com_Email, Com_IBAN, "
                                 "Com_BIC, Com_Pay_Days, Com_Pay_Terms, Com_Currency, Com_Zero_VAT, Com_Exemption) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                : QStringLiteral("UPDATE CompanyEInvoicing SET Com_Country = ?, Com_VAT_Id = ?, Com_Tax_No = ?, Com_Email = ?, "
                                 "Com_IBAN = ?, Com_BIC = ?, Com_Pay_Days = ?, Com_Pay_Terms = ?, Com_Currency = ?, "
                                 "Com_Zero_VAT = ?, Com_Exemption = ? WHERE rowid = ?"));
        for (const QVariant& v : values)
            write.addBindValue(v);
        if (!row.isNull())
            write.addBindValue(row);
        execOrThrow(write, QStringLiteral("CompanyEInvoicing"));
    });
}

void saveCustomerEInvoiceDetails(const CustomerEInvoiceDetails& details)
{
    const QString problem = customerDetailsProblem(details);
    if (!problem.isEmpty())
        throw EDatabaseError(problem);
    const CustomerEInvoiceDetails d = normalised(details);
    saveInTransaction([&] {
        QSqlQuery exists = prepareOrThrow(QStringLiteral("SELECT COUNT(*) FROM Customer WHERE Cus_Code = ?"));
        exists.addBindValue(d.cusCode);
        execOrThrow(exists, QStringLiteral("Customer"));
        if (!exists.next() || exists.value(0).toInt() == 0)
            throw EDatabaseError(QStringLiteral("The customer is no longer in the book (another seat may have deleted it); "
                                                "its e-invoicing details were not saved."));
        QSqlQuery update = prepareOrThrow(QStringLiteral(
            "UPDATE CustomerEInvoicing SET Cus_Country = ?, Cus_Buyer_Ref = ?, Cus_E_Address = ? WHERE Cus_Code = ?"));
        for (const QVariant& v : {textOrNull(d.country), textOrNull(d.buyerReference), textOrNull(d.electronicAddress)})
            update.addBindValue(v);
        update.addBindValue(d.cusCode);
        execOrThrow(update, QStringLiteral("CustomerEInvoicing"));
        if (update.numRowsAffected() > 0)
            return;
        QSqlQuery insert = prepareOrThrow(QStringLiteral(
            "INSERT INTO CustomerEInvoicing (Cus_Code, Cus_Country, Cus_Buyer_Ref, Cus_E_Address) VALUES (?, ?, ?, ?)"));
        insert.addBindValue(d.cusCode);
        for (const QVariant& v : {textOrNull(d.country), textOrNull(d.buyerReference), textOrNull(d.electronicAddress)})
            insert.addBindValue(v);
        execOrThrow(insert, QStringLiteral("CustomerEInvoicing"));
    });
}

} // namespace zz
