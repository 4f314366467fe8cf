#include "reports/PrintInvoice.h"

#include "data/DataMod.h"

namespace zz {

void printInvoice(int invoiceNumber)
{
    TQuery* q = DataModule1->qryInvReport;
    q->Close();
    q->Params(0).SetAsInteger(invoiceNumber);
    q->Open();
    // The printout itself joins here when the invoice report exists.
}

} // namespace zz
