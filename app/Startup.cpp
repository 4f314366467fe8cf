#include "app/Startup.h"

#include <QFileInfo>
#include <typeinfo>

#include "admin/CompanyAdmin.h"
#include "admin/CusAdmin.h"
#include "admin/NewCustomer.h"
#include "admin/NewProd.h"
#include "admin/ProdAdmin.h"
#include "admin/VAT.h"
#include "app/Admin.h"
#include "app/AppMap.h"
#include "app/FinReports.h"
#include "app/Invoicing.h"
#include "app/Main.h"
#include "app/SplashForm.h"
#include "data/DataMod.h"
#include "data/Errors.h"
#include "widgets/Application.h"
#include "widgets/Dialogs.h"

namespace zz {

QString startupErrorText(std::exception_ptr error, const QString& module, quintptr address)
{
    QString kind = QStringLiteral("Exception");
    QString message;
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        kind = QString::fromLatin1(e.className());
        message = e.message();
    } catch (const std::exception& e) {
        kind = QString::fromLatin1(typeid(e).name());
        message = QString::fromLocal8Bit(e.what());
    } catch (...) {
        message = QStringLiteral("Unknown error");
    }
    if (!message.endsWith(QLatin1Char('.')))
        message += QLatin1Char('.');
    const QString at = QStringLiteral("%1").arg(quint64(address), 8, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("Exception %1 in module %2 at %3.\n%4").arg(kind, module, at, message);
}

void createForms()
{
    // The first window created is the application's main window.
    frmMain = new TfrmMain;
    // The data module opens the six tables; the logo binds to the company row at once.
    new TDataModule1(qApp);
    frmMain->bindLogo();
    // The other windows follow, hidden, in their fixed order; windows not listed here are not
    // part of this build yet and take their places when they join.
    frmAdmin = new TfrmAdmin;
    frmInvoicing = new TfrmInvoicing;
    frmFinReports = new TfrmFinReports;
    frmCusAdmin = new TfrmCusAdmin;
    frmNewCustomer = new TfrmNewCustomer;
    frmProdAdmin = new TfrmProdAdmin;
    frmNewProd = new TfrmNewProd;
    frmVAT = new TfrmVAT;
    frmAdminCompany = new TfrmAdminCompany;
    frmMap = new TfrmMap;
}

namespace {
template <typename T>
void destroy(T*& form)
{
    delete form;
    form = nullptr;
}
} // namespace

void destroyForms()
{
    destroy(frmMap);
    destroy(frmAdminCompany);
    destroy(frmVAT);
    destroy(frmNewProd);
    destroy(frmProdAdmin);
    destroy(frmNewCustomer);
    destroy(frmCusAdmin);
    destroy(frmFinReports);
    destroy(frmInvoicing);
    destroy(frmAdmin);
    destroy(frmMain);
    delete DataModule1;
}

namespace {
[[gnu::noinline]] quintptr codeAddress() { return reinterpret_cast<quintptr>(__builtin_return_address(0)); }
} // namespace

int runZuzevevur(TApplication& app)
{
    frmSplashscreen = new TfrmSplashscreen;
    frmSplashscreen->show();
    frmSplashscreen->repaint();
    // The splash stays up, painted and responsive, until its timer has fired once.
    while (frmSplashscreen->Timer1->isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    try {
        createForms();
    } catch (...) {
        const quintptr address = codeAddress();
        const QString module = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        messageBox(MessageRequest{MsgKind::Error, QStringLiteral("Application Error"),
                                  startupErrorText(std::current_exception(), module, address), MsgButtons::OK});
        delete frmSplashscreen;
        frmSplashscreen = nullptr;
        destroyForms();
        return 1;
    }

    frmSplashscreen->hide();
    delete frmSplashscreen;
    frmSplashscreen = nullptr;

    frmMain->show();
    const int code = app.exec();
    destroyForms();
    return code;
}

} // namespace zz
