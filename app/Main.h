#pragma once
// The main window: three section buttons with hover previews, the company logo, Map and Exit.
#include <QLabel>
#include <QWidget>

#include "widgets/XiButton.h"
#include "widgets/DBImage.h"
#include "widgets/Form.h"
#include "widgets/XiPanel.h"

namespace zz {

class TfrmMain : public QWidget {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget* parent = nullptr);

    TXiPanel* XiPanel1;
    QLabel* Label1;
    QLabel* imgAdmin;
    QLabel* imgInv;
    QLabel* imgReports;
    TXiPanel* XiPanel3;
    TDBImage* DBImage1;
    TXiButton* btnAdmin;
    TXiButton* btnInvoicing;
    TXiButton* btnReports;
    TXiPanel* XiPanel2;
    TXiButton* btnMap;
    TXiButton* btnExit;

    // Binds the logo to the company row; called as soon as the data module exists.
    void bindLogo();

    void setImages(bool admin, bool invoicing, bool reports);
    void btnAdminMouseMove();
    void btnInvoicingMouseMove();
    void btnReportsMouseMove();
    void btnAdminClick();
    void btnInvoicingClick();
    void btnReportsClick();
    void btnMapClick();
    void btnExitClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Hides the main window while a section menu runs modally, then shows it again.
    void runSection(TForm* form);
};

extern TfrmMain* frmMain;

} // namespace zz
