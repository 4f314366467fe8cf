#include "admin/CompanyAdmin.h"

#include "admin/CompanyEInvoicing.h"

#include <QFile>
#include <QFileInfo>

#include "data/DataMod.h"
#include "data/Errors.h"
#include "data/Logo.h"
#include "widgets/Accessible.h"
#include "widgets/Dialogs.h"
#include "widgets/Handlers.h"

namespace zz {

TfrmAdminCompany* frmAdminCompany = nullptr;

TfrmAdminCompany::TfrmAdminCompany(QWidget* parent) : TPanelForm(QStringLiteral("Company Administration"), 371, 454, parent)
{
    setObjectName(QStringLiteral("frmAdminCompany"));
    makePanels(PanelScheme::csRose, XiPanel1, XiPanel2);

    Label12 = makeHeading(XiPanel1, QStringLiteral("Label12"), QStringLiteral("Company Detail"), width());

    TDataSource* source = DataModule1 ? DataModule1->datCompany : nullptr;
    const int top = makeFieldRows(XiPanel1, source,
                                  {
                                      {Label1, "Company Name", DBEdit1, "Com_Name", 233, true},
                                      {Label2, "VAT Number", DBEdit2, "Com_VAT_No", 233},
                                      {Label3, "Registration Number", DBEdit3, "Com_Reg_No", 233},
                                      {Label4, "Phone Number", DBEdit4, "Com_Tel", 121},
                                      {Label5, "Fax Number", DBEdit5, "Com_Fax", 121},
                                      {Label6, "Cell Number", DBEdit6, "Com_Cell", 121},
                                      {Label7, "Address 1", DBEdit7, "Com_Address1", 233},
                                      {Label8, "Address 2", DBEdit8, "Com_Address2", 233},
                                      {Label9, "Address 3", DBEdit9, "Com_Address3", 121},
                                      {Label10, "Company Members", DBEdit10, "Com_Members", 233},
                                  },
                                  {54, 120, false});

    // The eleventh row: the logo with its "..." button, then the invoice start number.
    Label11 = makeCaption(XiPanel1, QStringLiteral("Label11"), QStringLiteral("Logo"), 8, top + 10);
    DBImage1 = new TDBImage(XiPanel1);
    DBImage1->setObjectName(QStringLiteral("DBImage1"));
    DBImage1->setBorder(false);
    DBImage1->setGeometry(120, top, 33, 33);
    if (source)
        DBImage1->bind(source, QStringLiteral("Com_Logo"));
    btnLogo = makeButton(XiPanel1, QStringLiteral("btnLogo"), QStringLiteral("..."), QString(), ButtonScheme::csNeoRose, 157, top + 7);
    btnLogo->resize(25, 19);
    DBEdit11 = new TDBEdit(source, QStringLiteral("Inv_Start_No"), XiPanel1);
    DBEdit11->setObjectName(QStringLiteral("DBEdit11"));
    DBEdit11->setGeometry(280, top + 6, 73, 21);
    makeFlat(DBEdit11, false);
    Label13 = makeCaption(XiPanel1, QStringLiteral("Label13"), QStringLiteral("Invoice Start No"), 192, top + 10);
    nameControl(Label11, DBImage1);
    nameControl(Label13, DBEdit11);
    btnLogo->setAccessibleName(QStringLiteral("Choose the logo"));
    Label13->move(std::max(btnLogo->geometry().right() + 5, DBEdit11->x() - 6 - Label13->width()), Label13->y());

    // The captions stand left of the fields at 120; a wide font moves them nearer the edge.
    int widest = 0;
    for (QLabel* l : {Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label9, Label10, Label11})
        widest = std::max(widest, l->width());
    const int captionLeft = std::clamp(120 - 4 - widest, 4, 8);
    for (QLabel* l : {Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label9, Label10, Label11})
        l->move(captionLeft, l->y());

    makeSaveCancel(XiPanel2, btnSave, btnCancel, 280, [this] { btnSaveClick(); }, [this] { btnCancelClick(); });

    // The e-invoicing details open from the free middle of the bar; they are saved on their own.
    btnEInvoicing = makeButton(XiPanel2, QStringLiteral("btnEInvoicing"), QStringLiteral("&E-Invoicing"), QString(),
                               ButtonScheme::csNeoRose, 140, 8);
    btnEInvoicing->resize(91, 25);
    connect(btnEInvoicing, &TXiButton::clicked, this, command(this, &TfrmAdminCompany::btnEInvoicingClick));

    setTabOrderOf({DBEdit1, DBEdit2, DBEdit3, DBEdit4, DBEdit5, DBEdit6, DBEdit7, DBEdit8, DBEdit9, DBEdit10, btnLogo,
                   DBImage1, DBEdit11, btnSave, btnCancel, btnEInvoicing});
    connect(btnLogo, &TXiButton::clicked, this, command(this, &TfrmAdminCompany::btnLogoClick));
}

void TfrmAdminCompany::FormActivate() { DBEdit1->setFocus(); }

FileDialogRequest TfrmAdminCompany::openPictureRequest()
{
    FileDialogRequest r;
    r.caption = QStringLiteral("Open");
    r.filter = QStringLiteral("Bitmaps (*.bmp)");
    r.defaultSuffix = QStringLiteral("bmp");
    r.picturePreview = true;
    return r;
}

QByteArray TfrmAdminCompany::readBitmapFile(const QString& path)
{
    const QString fullPath = QFileInfo(path).absoluteFilePath();
    QFile file(fullPath);
    if (QFileInfo(fullPath).isDir() || !file.open(QIODevice::ReadOnly))
        throw Exception(QStringLiteral("Cannot open file %1").arg(fullPath));
    // The size is checked before anything is read, and the reading stops past the limit (a file
    // may grow meanwhile, and a device reports no size): no file takes more memory than a logo.
    const auto tooLarge = [&] {
        return Exception(QStringLiteral("The bitmap %1 is too large for a logo (at most %2 MB).")
                             .arg(fullPath)
                             .arg(kMaxLogoFileBytes / (1024 * 1024)));
    };
    if (file.size() > kMaxLogoFileBytes)
        throw tooLarge();
    QByteArray bytes;
    bytes.reserve(qsizetype(file.size()));
    char chunk[1 << 16];
    for (qint64 n; (n = file.read(chunk, sizeof chunk)) > 0;) {
        if (bytes.size() + n > kMaxLogoFileBytes)
            throw tooLarge();
        bytes.append(chunk, qsizetype(n));
    }
    if (file.error() != QFileDevice::NoError)
        throw Exception(QStringLiteral("Cannot open file %1").arg(fullPath));
    // A Windows bitmap file begins with "BM" and must decode as one.
    if (decodeBitmap(bytes).isNull())
        throw Exception(bitmapTooLarge(bytes) ? QStringLiteral("The bitmap %1 is too large for a logo (at most %2 million pixels).")
                                                    .arg(fullPath).arg(kMaxLogoPixels / 1000000)
                                              : QStringLiteral("Bitmap image is not valid"));
    return bytes;
}

void TfrmAdminCompany::btnLogoClick()
{
    const std::optional<QString> path = fileDialog(openPictureRequest());
    if (!path)
        return;
    guarded([&] {
        const QByteArray bitmap = readBitmapFile(*path);
        // The picture belongs to the pending row; Save writes it, Cancel drops it.
        DataModule1->tblCompany->Edit();
        DataModule1->tblCompanyCom_Logo->SetValue(logoStoredForm(bitmap));
    });
}

void TfrmAdminCompany::btnSaveClick() { saveRow(DataModule1->tblCompany); }

void TfrmAdminCompany::btnCancelClick() { cancelRow(DataModule1->tblCompany); }

// The company row stays pending meanwhile; the VAT number as typed suggests the VAT identifier.
void TfrmAdminCompany::btnEInvoicingClick()
{
    frmCompanyEInvoicing->Execute(DBEdit2->text());
}

} // namespace zz
