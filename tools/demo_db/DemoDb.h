#pragma once
// Writes a demonstration database with many customers, products, invoices and lines, for trying
// the program on a realistic size and for measuring the cursors.
#include <QString>

namespace zz::demo {

struct DemoSize {
    int customers = 100000;
    int products = 20000;
    int invoices = 300000;
    int lines = 1500000;
    // Of every ten invoices this many are open (spread over the six age classes), one is
    // cancelled and the rest are paid; 3 gives about 90,000 open invoices of 300,000, 4 about 120,000.
    int openTenths = 3;
    // "DE" or "ZA": the company in that country with complete e-invoicing details (a German IBAN
    // and EUR, or ZAR), the customers alternately in Germany and South Africa with their
    // countries, addresses and buyer references, so that every invoice can be written as an
    // e-invoice. Empty: none, a book as before.
    QString eInvoicing;
};

// Creates the six tables in a new SQLite file (which must not exist) and fills them in one
// transaction. Returns an empty string on success, else the error.
QString writeDemoDatabase(const QString& path, const DemoSize& size, unsigned seed = 1);

} // namespace zz::demo
