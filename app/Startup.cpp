#include "app/Startup.h"

#include <QFileInfo>
#include <QTimer>

#include "admin/CompanyAdmin.h"
#include "admin/CompanyEInvoicing.h"
#include "admin/CustomerEInvoicing.h"
#include "admin/CusAdmin.h"
#include "admin/NewCustomer.h"
#include "admin/NewProd.h"
#include "admin/ProdAdmin.h"
#include "admin/VAT.h"
#include "app/Admin.h"
#include "app/AppMap.h"
#include "app/BookGuard.h"
#include "app/FinReports.h"
#include "app/Invoicing.h"
#include "app/Main.h"
#include "app/SplashForm.h"
#include "data/BookLock.h"
#include "data/DataMod.h"
#include "data/Errors.h"
#include "invoicing/CancelledInv.h"
#include "invoicing/EnterInvNumber.h"
#include "invoicing/InvDetail.h"
#include "invoicing/MainInvoice.h"
#include "invoicing/NewInvoice.h"
#include "invoicing/UnpaidInv.h"
#include "reports/CustomerPicker.h"
#include "reports/DatePicker.h"
#include "reports/ReportInv.h"
#include "reports/ReportRevenue.h"
#include "reports/ReportStatement.h"
#include "widgets/Application.h"
#include "widgets/Dialogs.h"
#include "widgets/Handlers.h"

namespace zz {

QString startupErrorText(std::exception_ptr error, const QString& module, quintptr address)
{
    auto [kind, message] = describeError(error);
    if (!message.endsWith(QLatin1Char('.')))
        message += QLatin1Char('.');
    const QString at = QStringLiteral("%1").arg(quint64(address), 8, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("Exception %1 in module %2 at %3.\n%4").arg(kind, module, at, message);
}

namespace {
template <typename T, T*& Instance>
constexpr StartupForm window(const char* name)
{
    return {name, [] { Instance = new T; },
            [] {
                delete Instance;
                Instance = nullptr;
            },
            []() -> QObject* { return Instance; }};
}

// The order of creation. The first window created is the application's main window; the data
// module opens the six tables and the main window's logo binds to the company row at once. A
// window joins by its line, in its place.
constexpr StartupForm kStartupForms[] = {
    window<TfrmMain, frmMain>("frmMain"),
    {"DataModule1",
     [] {
         new TDataModule1(qApp);
         frmMain->bindLogo();
     },
     nullptr, []() -> QObject* { return DataModule1; }},
    window<TfrmAdmin, frmAdmin>("frmAdmin"),
    window<TfrmMainInvoice, frmMainInvoice>("frmMainInvoice"),
    window<TfrmInvoicing, frmInvoicing>("frmInvoicing"),
    window<TfrmFinReports, frmFinReports>("frmFinReports"),
    window<TfrmCusAdmin, frmCusAdmin>("frmCusAdmin"),
    window<TfrmNewCustomer, frmNewCustomer>("frmNewCustomer"),
    window<TfrmProdAdmin, frmProdAdmin>("frmProdAdmin"),
    window<TfrmNewProd, frmNewProd>("frmNewProd"),
    window<TfrmVAT, frmVAT>("frmVAT"),
    window<TfrmInvDetail, frmInvDetail>("frmInvDetail"),
    window<TfrmAdminCompany, frmAdminCompany>("frmAdminCompany"),
    window<TfrmCompanyEInvoicing, frmCompanyEInvoicing>("frmCompanyEInvoicing"),
    window<TfrmCustomerEInvoicing, frmCustomerEInvoicing>("frmCustomerEInvoicing"),
    window<TfrmNewInvoice, frmNewInvoice>("frmNewInvoice"),
    window<TfrmReportInv, frmReportInv>("frmReportInv"),
    window<TfrmInvNumber, frmInvNumber>("frmInvNumber"),
    window<TfrmUnpaidInv, frmUnpaidInv>("frmUnpaidInv"),
    window<TfrmCancelledInv, frmCancelledInv>("frmCancelledInv"),
    window<TfrmDatePicker, frmDatePicker>("frmDatePicker"),
    window<TfrmReportRevenue, frmReportRevenue>("frmReportRevenue"),
    window<TfrmCustomerPicker, frmCustomerPicker>("frmCustomerPicker"),
    window<TfrmReportStatement, frmReportStatement>("frmReportStatement"),
    window<TfrmMap, frmMap>("frmMap"),
};
} // namespace

std::span<const StartupForm> startupForms() { return kStartupForms; }

void createForms()
{
    for (const StartupForm& form : kStartupForms)
        form.create();
}

void destroyForms()
{
    // The windows go before the data module whose rows they show.
    for (auto form = std::rbegin(kStartupForms); form != std::rend(kStartupForms); ++form)
        if (form->destroy)
            form->destroy();
    delete DataModule1;
}

namespace {
[[gnu::noinline]] quintptr codeAddress() { return reinterpret_cast<quintptr>(__builtin_return_address(0)); }
} // namespace

int runZuzevevur(TApplication& app)
{
    // One program per book, for as long as this one runs.
    BookLock lock;
    if (!lockBooksForLife(lock))
        return 1;

    frmSplashscreen = new TfrmSplashscreen;
    frmSplashscreen->show();
    frmSplashscreen->repaint();
    frmSplashscreen->waitForTimer();

    // Opening and checking the book, and creating the windows, show the wait cursor.
    try {
        const WaitCursor busy;
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

    // The day's backup, while the splash still shows; a failure is told once the main window is up.
    const QString backupWarning = backUpBooksIfDue();

    frmSplashscreen->hide();
    delete frmSplashscreen;
    frmSplashscreen = nullptr;

    frmMain->show();
    if (!backupWarning.isEmpty())
        QTimer::singleShot(0, frmMain, command([backupWarning] { showWarning(backupWarning); }));
    const int code = app.exec();
    destroyForms();
    return code;
}

} // namespace zz
