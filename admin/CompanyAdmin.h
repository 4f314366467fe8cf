#pragma once
// The company dialog: the business's own details in the single row of tblCompany (name, numbers,
// address, members, logo and the next invoice number), which the administration menu has put
// into edit mode before showing the dialog.
#include <QLabel>

#include "widgets/WindowKit.h"
#include "widgets/DBImage.h"
#include "widgets/Dialogs.h"

namespace zz {

class TfrmAdminCompany : public TPanelForm {
    Q_OBJECT
public:
    explicit TfrmAdminCompany(QWidget* parent = nullptr);

    TXiPanel* XiPanel1; // content
    TXiPanel* XiPanel2; // button bar
    QLabel* Label12;    // heading
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label11; // "Logo"
    QLabel* Label13; // "Invoice Start No"
    TDBEdit* DBEdit1; // Com_Name
    TDBEdit* DBEdit2;
    TDBEdit* DBEdit3;
    TDBEdit* DBEdit4;
    TDBEdit* DBEdit5;
    TDBEdit* DBEdit6;
    TDBEdit* DBEdit7;
    TDBEdit* DBEdit8;
    TDBEdit* DBEdit9;
    TDBEdit* DBEdit10;
    TDBImage* DBImage1;
    TXiButton* btnLogo;
    TDBEdit* DBEdit11; // Inv_Start_No
    TXiButton* btnSave;
    TXiButton* btnCancel;
    TXiButton* btnEInvoicing; // the company's e-invoicing details, in the bar between Save and Cancel

    // What the picture file dialog is asked for.
    static FileDialogRequest openPictureRequest();
    // Reads a Windows bitmap file whole; throws "Cannot open file <path>" or
    // "Bitmap image is not valid".
    static QByteArray readBitmapFile(const QString& path);

    void btnLogoClick();
    void btnSaveClick();
    void btnCancelClick();
    void btnEInvoicingClick();

protected:
    void FormActivate() override;
};

extern TfrmAdminCompany* frmAdminCompany;

} // namespace zz
