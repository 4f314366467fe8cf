// The statement's customer picker on the large demonstration book: from showing the dialog to
// its first paint with the first customer named in the box, and dropping its list down, against
// the former way of filling the box (every customer copied into it each time the dialog shows)
// run in the same process. Prints medians; asserts nothing.
//
//   bench_picker [demo book] [runs]
// The demo book (default /tmp/zz_bench/demo.db) is written by the demo_db tool's code when it does
// not exist and is never changed: the runs work on a copy.
#include "data/DataMod.h"
#include "reports/CustomerPicker.h"
#include "tools/demo_db/DemoDb.h"
#include "widgets/Application.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace zz;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

double timed(const std::function<void()>& work)
{
    QElapsedTimer t;
    t.start();
    work();
    return double(t.nsecsElapsed()) / 1e6;
}

// The former box: on every showing, every customer's name and code copied into it, then the
// current customer's entry looked up by its code.
void fillTheFormerWay(QComboBox& box, TDataModule1& dm)
{
    box.clear();
    TTable* customers = dm.tblCustomer;
    TField* name = dm.tblCustomerCus_Name;
    TField* code = dm.tblCustomerCus_Code;
    const int n = customers->RecordCount();
    for (int i = 0; i < n; ++i)
        box.addItem(name->displayTextOf(customers->rowValue(i, name->index())), customers->rowValue(i, code->index()));
    box.setCurrentIndex(box.findData(code->Value()));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString source = args.value(1, QStringLiteral("/tmp/zz_bench/demo.db"));
    const int runs = std::max(1, args.value(2, QStringLiteral("7")).toInt());

    if (!QFile::exists(source)) {
        QDir().mkpath(QFileInfo(source).absolutePath());
        std::printf("writing the demonstration book %s ...\n", qPrintable(source));
        std::fflush(stdout);
        const QString err = demo::writeDemoDatabase(source, demo::DemoSize{});
        if (!err.isEmpty()) {
            std::fprintf(stderr, "demo book: %s\n", qPrintable(err));
            return 1;
        }
    }
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    QDir().mkpath(home.path() + "/data/Zuzevevur");
    if (!QFile::copy(source, home.path() + "/data/Zuzevevur/Zuzevevur.db")) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(source));
        return 1;
    }

    TDataModule1 dm;
    frmCustomerPicker = new TfrmCustomerPicker;
    TfrmCustomerPicker& picker = *frmCustomerPicker;

    // As the menu shows it: shown, activated (the box names the first customer), painted.
    std::vector<double> shown, dropped;
    QString named;
    for (int i = 0; i < runs; ++i) {
        shown.push_back(timed([&] {
            picker.show();
            picker.beginTestModal();
            picker.grab(); // painted
        }));
        named = picker.DBLookupComboBox1->currentText();
        dropped.push_back(timed([&] {
            picker.DBLookupComboBox1->showPopup();
            picker.DBLookupComboBox1->view()->grab();
        }));
        picker.DBLookupComboBox1->hidePopup();
        picker.endTestModal();
        picker.hide();
    }

    // The former way, in a dialog of the same size.
    QDialog former;
    former.resize(picker.size());
    QComboBox box(&former);
    box.setGeometry(112, 40, 233, 21);
    box.setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    box.setMaxVisibleItems(16);
    std::vector<double> formerShown, formerDropped;
    for (int i = 0; i < runs; ++i) {
        formerShown.push_back(timed([&] {
            former.show();
            dm.tblCustomer->First();
            fillTheFormerWay(box, dm);
            former.grab();
        }));
        formerDropped.push_back(timed([&] {
            box.showPopup();
            box.view()->grab();
        }));
        box.hidePopup();
        former.hide();
        box.clear();
    }

    std::printf("book: %s, %d customers, %d runs each, medians\n", qPrintable(source), dm.tblCustomer->RecordCount(), runs);
    std::printf("customer picker shown with \"%s\" in its box: %7.2f ms (former way %7.2f ms, %.1fx)\n", qPrintable(named),
                median(shown), median(formerShown), median(formerShown) / std::max(0.001, median(shown)));
    std::printf("  the first showing in the process:         %7.2f ms (former way %7.2f ms)\n", shown.front(), formerShown.front());
    std::printf("its list dropped down:                      %7.2f ms (former way %7.2f ms, %.1fx)\n", median(dropped),
                median(formerDropped), median(formerDropped) / std::max(0.001, median(dropped)));
    delete frmCustomerPicker;
    return 0;
}
