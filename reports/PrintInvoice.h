#pragma once
// Printing one invoice by its number: what the invoice browser's "Print..." and the invoice-number
// dialog share.

namespace zz {

// Reopens the invoice report query for the number, sets the printout's money masks and shows the
// printout in the print preview; returns when the preview closes. Throws on any error.
void printInvoice(int invoiceNumber);

} // namespace zz
