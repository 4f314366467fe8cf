#pragma once
// The import dialog: a CSV file of customers or products chosen, its first rows shown with the
// separator, encoding and header row it was read with (each changeable), its columns mapped onto
// the fields, every row checked, the refused rows listed with line and reason, and then the sound
// rows imported, or nothing. Reached from the customer and product administration windows.
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QTableWidget>
#include <optional>

#include "exchange/Import.h"
#include "widgets/WindowKit.h"

namespace zz {

class TfrmImportFile : public TPanelForm {
    Q_OBJECT
public:
    explicit TfrmImportFile(QWidget* parent = nullptr);

    // Shows the dialog modally for customers or products; true when rows were imported (the
    // caller's list then reads its cursor again).
    bool Run(exchange::ImportKind kind);

    TXiPanel* XiPanel1; // content
    TXiPanel* XiPanel2; // button bar
    QLabel* Label1;     // heading
    QLineEdit* edtFile;
    TXiButton* btnFile;
    QComboBox* cbxSeparator;
    QComboBox* cbxEncoding;
    QCheckBox* chkHeader;
    QComboBox* cbxPrices;
    QTableWidget* grdPreview;
    QTableWidget* grdMapping;
    QCheckBox* chkCut;
    QComboBox* cbxExisting;
    TXiButton* btnCheck;
    QLabel* lblResult;
    QListWidget* lstNotes;
    TXiButton* btnImport;
    TXiButton* btnCancel;

    // Handlers. File chooses through the dialogs seam; Check checks every row and lists the
    // refused ones; Import writes (asking first when rows are refused).
    void btnFileClick();
    void btnCheckClick();
    void btnImportClick();
    // Reads the file with what the user chose (separator, encoding, header row).
    void openFile(const QString& path);

protected:
    void FormActivate() override;

private:
    void readFormat();
    void showPreview();
    void mappingChanged();
    void optionsChanged();
    exchange::ImportOptions options() const;
    void clearCheck();

    exchange::ImportKind m_kind = exchange::ImportKind::Customers;
    QString m_path;
    exchange::CsvFormat m_format;
    std::vector<exchange::CsvRecord> m_first;
    std::vector<QComboBox*> m_columnBoxes;
    std::optional<exchange::ImportCheck> m_check;
    bool m_imported = false;
    bool m_filling = false;
};

// The one import dialog, made on first use as a window owned by `owner` (an administration window,
// which lives as long as the program).
extern TfrmImportFile* frmImportFile;
TfrmImportFile* importDialog(QWidget* owner);

} // namespace zz
