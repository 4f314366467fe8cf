#pragma once
// The export dialog: customers, products, invoices or invoice lines written as a CSV file, the
// invoices and lines for a range of invoice dates or of pay dates. Reached from the financial
// reports menu.
#include <QComboBox>

#include "widgets/DateEdit.h"
#include "widgets/WindowKit.h"

namespace zz {

class TfrmExportBooks : public TPanelForm {
    Q_OBJECT
public:
    explicit TfrmExportBooks(QWidget* parent = nullptr);

    TXiPanel* XiPanel1; // content
    TXiPanel* XiPanel2; // button bar
    QLabel* Label1;     // heading
    QComboBox* cbxWhat;
    QComboBox* cbxRange;
    TDateEdit* DateEdit1;
    TDateEdit* DateEdit2;
    TXiButton* btnExport;
    TXiButton* btnCancel;

    // Asks for the file (through the dialogs seam, a name proposed in the documents folder),
    // writes it, and says how many rows it holds; the dialog stays open for the next file.
    void btnExportClick();

protected:
    void FormActivate() override;

private:
    void rangeChanged();
};

// The one export dialog, made on first use as a window owned by `owner` (the financial reports
// menu, which lives as long as the program).
extern TfrmExportBooks* frmExportBooks;
TfrmExportBooks* exportDialog(QWidget* owner);

} // namespace zz
