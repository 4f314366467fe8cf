#include "admin/CompanyEInvoicing.h"

#include "data/CreditNotes.h"
#include "data/Errors.h"
#include "widgets/Accessible.h"
#include "widgets/Handlers.h"

namespace zz {

TfrmCompanyEInvoicing* frmCompanyEInvoicing = nullptr;

TfrmCompanyEInvoicing::TfrmCompanyEInvoicing(QWidget* parent)
    : TPanelForm(QStringLiteral("Company E-Invoicing"), 371, 486, parent)
{
    setObjectName(QStringLiteral("frmCompanyEInvoicing"));
    makePanels(PanelScheme::csRose, XiPanel1, XiPanel2);

    Label12 = makeHeading(XiPanel1, QStringLiteral("Label12"), QStringLiteral("E-Invoicing Detail"), width());

    // Save and Cancel take S and C; every field has its own letter.
    const int top = makeEditRows(XiPanel1,
                                 {
                                     {Label1, "Co&untry", edtCountry, "edtCountry", 33, 2},
                                     {Label2, "&VAT Identifier", edtVATId, "edtVATId", 233, 50},
                                     {Label3, "Ta&x Number", edtTaxNumber, "edtTaxNumber", 233, 50},
                                     {Label4, "&E-mail Address", edtEmail, "edtEmail", 233, 100},
                                     {Label5, "&IBAN", edtIBAN, "edtIBAN", 233, 42},
                                     {Label6, "&BIC", edtBIC, "edtBIC", 121, 11},
                                     {Label7, "Payment &Days", edtPayDays, "edtPayDays", 49, 4},
                                     {Label8, "Payment &Terms", edtPayTerms, "edtPayTerms", 233, 200},
                                     {Label9, "Cu&rrency", edtCurrency, "edtCurrency", 41, 3},
                                 },
                                 {54, 120, false});
    edtCountry->setPlaceholderText(QStringLiteral("DE"));
    edtPayDays->setInputMethodHints(Qt::ImhDigitsOnly);

    Label10 = makeCaption(XiPanel1, QStringLiteral("Label10"), QStringLiteral("At &Zero VAT"), 8, top + 4);
    cmbZeroRate = new QComboBox(XiPanel1);
    cmbZeroRate->setObjectName(QStringLiteral("cmbZeroRate"));
    cmbZeroRate->addItem(QStringLiteral("Zero-rated (Z)"), QStringLiteral("Z"));
    cmbZeroRate->addItem(QStringLiteral("Exempt (E)"), QStringLiteral("E"));
    cmbZeroRate->setGeometry(120, top, 121, 21);
    nameControl(Label10, cmbZeroRate);

    Label11 = makeCaption(XiPanel1, QStringLiteral("Label11"), QStringLiteral("Exemption Re&ason"), 8, top + 36);
    edtExemption = new QLineEdit(XiPanel1);
    edtExemption->setObjectName(QStringLiteral("edtExemption"));
    edtExemption->setGeometry(120, top + 32, 233, 21);
    edtExemption->setMaxLength(200);
    edtExemption->setPlaceholderText(QStringLiteral("printed when the supplies are exempt"));
    makeFlat(edtExemption, false);
    nameControl(Label11, edtExemption);
    // The reason is asked for only when the supplies are exempt.
    const auto followCategory = [this] { edtExemption->setEnabled(cmbZeroRate->currentData().toString() == QLatin1String("E")); };
    connect(cmbZeroRate, &QComboBox::currentIndexChanged, this, followCategory);
    followCategory();

    // Where the credit notes' numbers go on from: the next one's number.
    Label13 = makeCaption(XiPanel1, QStringLiteral("Label13"), QStringLiteral("Credit &Note No."), 8, top + 68);
    edtCreditNoteNo = new QLineEdit(XiPanel1);
    edtCreditNoteNo->setObjectName(QStringLiteral("edtCreditNoteNo"));
    edtCreditNoteNo->setGeometry(120, top + 64, 73, 21);
    edtCreditNoteNo->setMaxLength(9);
    edtCreditNoteNo->setInputMethodHints(Qt::ImhDigitsOnly);
    edtCreditNoteNo->setToolTip(QStringLiteral("The number the next credit note gets."));
    makeFlat(edtCreditNoteNo, false);
    nameControl(Label13, edtCreditNoteNo);

    // The captions stand left of the fields at 120; a wide font moves them nearer the edge.
    int widest = 0;
    for (QLabel* l : {Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label9, Label10, Label11, Label13})
        widest = std::max(widest, l->width());
    const int captionLeft = std::clamp(120 - 4 - widest, 4, 8);
    for (QLabel* l : {Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label9, Label10, Label11, Label13})
        l->move(captionLeft, l->y());

    makeSaveCancel(XiPanel2, btnSave, btnCancel, 280, [this] { btnSaveClick(); }, [this] { btnCancelClick(); });

    setTabOrderOf({edtCountry, edtVATId, edtTaxNumber, edtEmail, edtIBAN, edtBIC, edtPayDays, edtPayTerms, edtCurrency,
                   cmbZeroRate, edtExemption, edtCreditNoteNo, btnSave, btnCancel});
}

void TfrmCompanyEInvoicing::FormActivate() { edtCountry->setFocus(); }

void TfrmCompanyEInvoicing::Execute(const QString& vatNumber)
{
    std::optional<CompanyEInvoiceDetails> stored;
    if (!guarded([&] { stored = loadCompanyEInvoiceDetails(); }))
        return;
    CompanyEInvoiceDetails shown;
    if (stored) {
        shown = *stored;
    } else {
        // The company's VAT number often is its identifier already; its prefix then names the country.
        shown.currency = regionalCurrency();
        const QString vat = vatNumber.trimmed().toUpper().remove(QLatin1Char(' '));
        if (!vat.isEmpty() && vatIdProblem(vat).isEmpty()) {
            shown.vatId = vat;
            if (countryProblem(vat.left(2)).isEmpty())
                shown.country = vat.left(2);
        }
    }
    showDetails(shown);
    if (!guarded([&] { m_shownCreditNoteNo = nextCreditNoteNumber(); }))
        return;
    edtCreditNoteNo->setText(QString::number(m_shownCreditNoteNo));
    ShowModal();
}

void TfrmCompanyEInvoicing::showDetails(const CompanyEInvoiceDetails& d)
{
    edtCountry->setText(d.country);
    edtVATId->setText(d.vatId);
    edtTaxNumber->setText(d.taxNumber);
    edtEmail->setText(d.email);
    // In groups of four, as bank papers print it; it is stored without the blanks.
    QString iban = normalisedIban(d.iban);
    for (int at = 4; at < iban.size(); at += 5)
        iban.insert(at, QLatin1Char(' '));
    edtIBAN->setText(iban);
    edtBIC->setText(d.bic);
    edtPayDays->setText(QString::number(d.paymentTermsDays));
    edtPayTerms->setText(d.paymentTermsText);
    // Left empty, the currency follows the regional settings.
    edtCurrency->setText(d.currencyOverridden ? d.currency : QString());
    edtCurrency->setPlaceholderText(regionalCurrency());
    edtCurrency->setToolTip(QStringLiteral("Empty: the currency of the regional settings, %1.").arg(regionalCurrency()));
    cmbZeroRate->setCurrentIndex(d.zeroRateCategory == QLatin1String("E") ? 1 : 0);
    edtExemption->setText(d.exemptionReason);
    // Long texts show from their beginning.
    for (QLineEdit* e : {edtCountry, edtVATId, edtTaxNumber, edtEmail, edtIBAN, edtBIC, edtPayDays, edtPayTerms, edtCurrency, edtExemption})
        e->setCursorPosition(0);
}

CompanyEInvoiceDetails TfrmCompanyEInvoicing::details() const
{
    CompanyEInvoiceDetails d;
    d.country = edtCountry->text();
    d.vatId = edtVATId->text();
    d.taxNumber = edtTaxNumber->text();
    d.email = edtEmail->text();
    d.iban = edtIBAN->text();
    d.bic = edtBIC->text();
    const QString days = edtPayDays->text().trimmed();
    bool ok = true;
    d.paymentTermsDays = days.isEmpty() ? 0 : days.toInt(&ok);
    if (!ok)
        throw EConvertError(QStringLiteral("The payment days '%1' are no whole number: give the days from the invoice date "
                                           "to the due date, from 0 to 3650.")
                                .arg(edtPayDays->text()));
    d.paymentTermsText = edtPayTerms->text();
    d.currencyOverridden = !edtCurrency->text().trimmed().isEmpty();
    d.currency = d.currencyOverridden ? edtCurrency->text() : regionalCurrency();
    d.zeroRateCategory = cmbZeroRate->currentData().toString();
    d.exemptionReason = edtExemption->text();
    return d;
}

// A refused save keeps the dialog open with everything typed, so that the user can correct it.
void TfrmCompanyEInvoicing::btnSaveClick()
{
    guarded([&] {
        const CompanyEInvoiceDetails d = details();
        bool ok = false;
        const int creditNoteNo = edtCreditNoteNo->text().trimmed().toInt(&ok);
        if (!ok)
            throw EConvertError(QStringLiteral("The credit note number '%1' is no whole number: give the number the next "
                                               "credit note gets, from 1 on.")
                                    .arg(edtCreditNoteNo->text()));
        // Checked before anything is saved; set under the cancellations' lock after the details.
        const bool numberChanged = creditNoteNo != m_shownCreditNoteNo;
        if (numberChanged) {
            const QString problem = nextCreditNoteNumberProblem(creditNoteNo);
            if (!problem.isEmpty())
                throw EDatabaseError(problem);
        }
        saveCompanyEInvoiceDetails(d);
        if (numberChanged) {
            setNextCreditNoteNumber(creditNoteNo);
            m_shownCreditNoteNo = creditNoteNo;
        }
        Close();
    });
}

void TfrmCompanyEInvoicing::btnCancelClick() { Close(); }

} // namespace zz
