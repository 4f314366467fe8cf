#pragma once
// Printing one invoice by its number: what the invoice browser's "Print..." and the invoice-number
// dialog share.

namespace zz {

// Reopens the invoice report query for the number, sets the printout's money masks and shows the
// printout in the print preview; returns when the preview closes. Throws on any error. When the
// invoice can be written as an e-invoice, its totals print as the e-invoice states them (each
// line rounded to the cent before they are added), and an exempt invoice prints its exemption
// reason; otherwise the printout is the one it has always been. The preview offers the invoice's
// e-invoice: the Factur-X hybrid for Save as PDF and E-mail, the XRechnung XML beside them.
void printInvoice(int invoiceNumber);

// Shows the credit note with that number in the print preview (print, Save as PDF "Credit Note
// 3.pdf", E-mail); where the e-invoicing details are complete the preview offers it as an EN 16931
// credit note (Factur-X, XRechnung). Returns when the preview closes; throws on any error.
void printCreditNote(int creditNoteNumber);
// The credit note of a cancelled invoice in the print preview. An invoice cancelled before the
// book kept credit notes gets its credit note first, once the user agrees; a refusal prints nothing.
void printCreditNoteOfInvoice(int invoiceNumber);

} // namespace zz
