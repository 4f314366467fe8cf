#pragma once
// The payment QR code of an invoice: a SEPA credit transfer as the European Payments Council's
// QR code carries it (EPC069-12, version 002, "GiroCode"), which banking apps read to fill in
// the transfer.
#include <QByteArray>
#include <QString>

#include "data/Money.h"

namespace zz::einvoice {

struct CreditTransfer {
    QString bic;        // may be empty
    QString name;       // the payee; cut to 70 characters
    QString iban;       // as stored: upper case, no blanks
    Money amount;       // in euro, above zero; printed to the cent
    QString reference;  // a structured creditor reference (ISO 11649); when set, the remittance is left out
    QString remittance; // the text the payer's bank passes on ("Invoice 57"); cut to 140 characters
};

// The code's text, UTF-8, its lines separated by line feeds, ending with the last line that
// holds anything. Throws zz::Exception when the amount is not between 0.01 and 999999999.99 or
// the IBAN or the name is empty.
QByteArray epcPayload(const CreditTransfer& transfer);

} // namespace zz::einvoice
