#include "exchange/ExportBooks.h"

#include <QDir>
#include <QStandardPaths>

#include "data/Regional.h"
#include "exchange/Export.h"
#include "widgets/Dialogs.h"
#include "widgets/Handlers.h"

namespace zz {

using namespace exchange;

TfrmExportBooks* frmExportBooks = nullptr;

TfrmExportBooks* exportDialog(QWidget* owner)
{
    if (!frmExportBooks) {
        frmExportBooks = new TfrmExportBooks(owner);
        QObject::connect(frmExportBooks, &QObject::destroyed, [] { frmExportBooks = nullptr; });
    }
    return frmExportBooks;
}

TfrmExportBooks::TfrmExportBooks(QWidget* parent) : TPanelForm(QStringLiteral("Export"), 364, 232, parent)
{
    setObjectName(QStringLiteral("frmExportBooks"));
    makePanels(PanelScheme::csRose, XiPanel1, XiPanel2);
    Label1 = makeHeading(XiPanel1, QStringLiteral("Label1"), QStringLiteral("Export"), width());

    cbxWhat = new QComboBox(XiPanel1);
    cbxWhat->setObjectName(QStringLiteral("cbxWhat"));
    cbxWhat->addItem(QStringLiteral("Customers"), int(ExportWhat::Customers));
    cbxWhat->addItem(QStringLiteral("Products"), int(ExportWhat::Products));
    cbxWhat->addItem(QStringLiteral("Invoices"), int(ExportWhat::Invoices));
    cbxWhat->addItem(QStringLiteral("Invoice lines"), int(ExportWhat::Lines));
    cbxWhat->addItem(QStringLiteral("Credit notes"), int(ExportWhat::CreditNotes));
    cbxWhat->setGeometry(104, 60, 233, 22);
    makeCaption(XiPanel1, QStringLiteral("Label2"), QStringLiteral("&What"), 8, 64)->setBuddy(cbxWhat);

    cbxRange = new QComboBox(XiPanel1);
    cbxRange->setObjectName(QStringLiteral("cbxRange"));
    cbxRange->addItem(QStringLiteral("All invoices"), int(ExportRange::Kind::All));
    cbxRange->addItem(QStringLiteral("Invoice dates from - to"), int(ExportRange::Kind::InvoiceDates));
    cbxRange->addItem(QStringLiteral("Pay dates from - to"), int(ExportRange::Kind::PayDates));
    cbxRange->setGeometry(104, 92, 233, 22);
    makeCaption(XiPanel1, QStringLiteral("Label3"), QStringLiteral("&Invoices"), 8, 96)->setBuddy(cbxRange);

    DateEdit1 = new TDateEdit(XiPanel1);
    DateEdit1->setObjectName(QStringLiteral("DateEdit1"));
    DateEdit1->setAccessibleName(QStringLiteral("From"));
    DateEdit1->setGeometry(104, 124, 121, 21);
    makeCaption(XiPanel1, QStringLiteral("Label4"), QStringLiteral("&From"), 8, 128)->setBuddy(DateEdit1);
    DateEdit2 = new TDateEdit(XiPanel1);
    DateEdit2->setObjectName(QStringLiteral("DateEdit2"));
    DateEdit2->setAccessibleName(QStringLiteral("To"));
    DateEdit2->setGeometry(104, 156, 121, 21);
    makeCaption(XiPanel1, QStringLiteral("Label5"), QStringLiteral("&To"), 8, 160)->setBuddy(DateEdit2);

    btnExport = makeButton(XiPanel2, QStringLiteral("btnExport"), QStringLiteral("E&xport..."), QStringLiteral("save"),
                           ButtonScheme::csNeoRose, 16, 8);
    btnCancel = makeButton(XiPanel2, QStringLiteral("btnCancel"), QStringLiteral("&Cancel"), QStringLiteral("cancel"),
                           ButtonScheme::csNeoRose, 273, 8);
    connect(btnExport, &TXiButton::clicked, this, command(this, &TfrmExportBooks::btnExportClick));
    connect(btnCancel, &TXiButton::clicked, this, command([this] { close(); }));
    connect(cbxWhat, &QComboBox::currentIndexChanged, this, command([this] { rangeChanged(); }));
    connect(cbxRange, &QComboBox::currentIndexChanged, this, command([this] { rangeChanged(); }));
    setTabOrderOf({cbxWhat, cbxRange, DateEdit1, DateEdit2, btnExport, btnCancel});
    rangeChanged();
}

void TfrmExportBooks::FormActivate()
{
    // The year so far, as an accountant asks for it.
    const QDate today = QDate::currentDate();
    DateEdit1->setDate(QDate(today.year(), 1, 1));
    DateEdit2->setDate(today);
    cbxWhat->setFocus();
}

void TfrmExportBooks::rangeChanged()
{
    const auto what = ExportWhat(cbxWhat->currentData().toInt());
    const bool invoices = what == ExportWhat::Invoices || what == ExportWhat::Lines || what == ExportWhat::CreditNotes;
    cbxRange->setEnabled(invoices);
    const bool dates = invoices && ExportRange::Kind(cbxRange->currentData().toInt()) != ExportRange::Kind::All;
    DateEdit1->setEnabled(dates);
    DateEdit2->setEnabled(dates);
}

void TfrmExportBooks::btnExportClick()
{
    guarded([&] {
        const auto what = ExportWhat(cbxWhat->currentData().toInt());
        ExportOptions options;
        QString name = cbxWhat->currentText();
        if (what == ExportWhat::Invoices || what == ExportWhat::Lines || what == ExportWhat::CreditNotes) {
            options.range.kind = ExportRange::Kind(cbxRange->currentData().toInt());
            if (options.range.kind != ExportRange::Kind::All) {
                options.range.from = DateEdit1->Date();
                options.range.to = DateEdit2->Date();
                if (options.range.from == zeroDate() || options.range.to == zeroDate()) {
                    showWarning(QStringLiteral("Please enter both dates of the range."));
                    return;
                }
                name += QStringLiteral(" %1 to %2").arg(options.range.from.toString(Qt::ISODate),
                                                        options.range.to.toString(Qt::ISODate));
            }
        }
        FileDialogRequest request;
        request.caption = QStringLiteral("Export %1").arg(cbxWhat->currentText());
        request.filter = QStringLiteral("CSV files (*.csv)");
        request.defaultSuffix = QStringLiteral("csv");
        request.directory = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(name + ".csv");
        request.save = true;
        const std::optional<QString> path = fileDialog(request);
        if (!path)
            return;
        const qint64 rows = exportCsv(what, *path, options);
        showInformation(QStringLiteral("%1 rows written to %2.").arg(rows).arg(QDir::toNativeSeparators(*path)));
    });
}

} // namespace zz
