#pragma once
// The administration menu: customers, products, company details, VAT rate.
#include "app/SectionMenu.h"

namespace zz {

class TfrmAdmin : public TSectionMenu {
    Q_OBJECT
public:
    explicit TfrmAdmin(QWidget* parent = nullptr);

    TXiPanel* XiPanel2; // client panel
    TXiPanel* XiPanel1; // bottom strip
    TXiButton* btnCustomer;
    TXiButton* btnProduct;
    TXiButton* btnCompany;
    TXiButton* btnVAT;

    void btnCustomerClick();
    void btnProductClick();
    void btnCompanyClick();
    void btnVATClick();
    void btnCloseClick() { close(); }
};

extern TfrmAdmin* frmAdmin;

} // namespace zz
