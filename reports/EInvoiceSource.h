#pragma once
// What the print preview asks of the e-invoice behind a document it shows: the invoice printout
// hands one in (the revenue report and the statement none), and the preview then offers the
// Factur-X hybrid for Save as PDF and E-mail and the XRechnung XML beside them.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include "einvoice/EInvoice.h"

namespace zz {

class EInvoiceSource {
public:
    virtual ~EInvoiceSource() = default;
    // The e-invoicing details still missing, each as the user knows it ("the company's country");
    // empty when the e-invoice can be written.
    virtual QStringList missingDetails() const = 0;
    // The invoice's Cross Industry Invoice XML (UTF-8) in the profile asked for. Throws
    // zz::Exception with one message naming what is missing or wrong; nothing is written then.
    virtual QByteArray xml(einvoice::Profile profile) const = 0;
};

// The preview's one line about the e-invoice: what Save as PDF writes, or which details are
// missing for it.
QString eInvoiceStatusText(const QStringList& missing);

} // namespace zz
