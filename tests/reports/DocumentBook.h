#pragma once
// A small book for the printed documents' tests, written straight into the test's own database:
// the company with a logo, customers, products, invoices in every state and their lines. Values
// are chosen so that the tests can work out every amount on their own.
#include <QDate>
#include <QImage>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include "data/DataMod.h"
#include "data/Engine.h"
#include "data/Logo.h"
#include "data/Regional.h"
#include "tests/support/TestSupport.h"

namespace zz::test {

// A picture that is not square, with a colour in each corner, to see it stretched to its square.
inline QImage cornerLogo()
{
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, x < 4 ? (y < 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 255)) : (y < 2 ? qRgb(0, 160, 0) : qRgb(0, 0, 0)));
    return image;
}

inline void execSql(const QString& sql, const QVariantList& values = {})
{
    QSqlQuery q(Engine::database());
    QVERIFY2(q.prepare(sql), qPrintable(q.lastError().text()));
    for (const QVariant& v : values)
        q.addBindValue(v);
    QVERIFY2(q.exec(), qPrintable(sql + QStringLiteral(": ") + q.lastError().text()));
}

struct InvoiceRow {
    int number;
    int customer;
    QDate date;
    double vat = 15;
    QString paid = QStringLiteral("NO");
    QDate payDate = {};
    QString cancelled = QStringLiteral("NO");
    QString days = QStringLiteral("CURRENT");
    QString orderNo = {};
};

// Writes past the cursors, in one transaction from the first write to refresh(), which commits
// and lets the data module's tables see what was written.
struct DocumentBook {
    TDataModule1& dm;
    bool writing = Engine::database().transaction();

    void company()
    {
        execSql(QStringLiteral("INSERT INTO Company (Com_Name, Com_VAT_No, Com_Reg_No, Com_Tel, Com_Fax, Com_Cell, "
                               "Com_Address1, Com_Address2, Com_Address3, Com_Members, Com_Logo, Inv_Start_No) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {QStringLiteral("Zuzevevur Trading"), QStringLiteral("VAT 4100200300"), QStringLiteral("Reg 2001/012345/07"),
                 QStringLiteral("011 555 0100"), QStringLiteral("011 555 0101"), QStringLiteral("082 555 0102"),
                 QStringLiteral("12 Long Street"), QStringLiteral("Johannesburg"), QStringLiteral("2001"),
                 QStringLiteral("J. Doe, A. N. Other"), encodeLogo(cornerLogo()), 1000});
    }
    int customer(const QString& name, const QString& contact = QStringLiteral("Mary"))
    {
        execSql(QStringLiteral("INSERT INTO Customer (Cus_Name, Cus_Address1, Cus_Address2, Cus_Address3, Cus_Phone, "
                               "Cus_Contact, Cus_VAT_No) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                {name, name + QStringLiteral(" House"), QStringLiteral("Pretoria"), QStringLiteral("0002"),
                 QStringLiteral("012 555 0199"), contact, QStringLiteral("VAT 4999")});
        QSqlQuery q(Engine::database());
        q.exec(QStringLiteral("SELECT max(Cus_Code) FROM Customer"));
        q.next();
        return q.value(0).toInt();
    }
    void product(const QString& code, const QString& description, double price)
    {
        execSql(QStringLiteral("INSERT INTO Product (Prod_Code, Prod_Description, Prod_Price) VALUES (?, ?, ?)"),
                {code, description, price});
    }
    void invoice(const InvoiceRow& r)
    {
        execSql(QStringLiteral("INSERT INTO Invoice (Inv_Number, Cus_Code, Inv_Date, Inv_PayDate, Inv_Order_No, Inv_VAT, "
                               "Inv_Paid, Inv_Days, Inv_Cancelled) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {r.number, r.customer, r.date.toString(Qt::ISODate),
                 r.payDate.isValid() ? QVariant(r.payDate.toString(Qt::ISODate)) : QVariant(), r.orderNo, r.vat, r.paid,
                 r.days, r.cancelled});
    }
    // A line at a unit price with a discount; the discounted price is given as the editor stores it.
    void line(int invoice, const QString& product, int units, double price, int discount, double discountedPrice)
    {
        execSql(QStringLiteral("INSERT INTO Line (Inv_Number, Prod_Code, Line_Units, Line_Price, Line_Discount, "
                               "Line_Discount_Price) VALUES (?, ?, ?, ?, ?, ?)"),
                {invoice, product, units, price, discount, discountedPrice});
    }
    void refresh()
    {
        if (writing)
            QVERIFY(Engine::database().commit());
        writing = false;
        dm.tblCompany->Refresh();
        dm.tblCustomer->Refresh();
        dm.tblCustomer->First();
    }
};

} // namespace zz::test
