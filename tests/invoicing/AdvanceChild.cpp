// Helper of the crash test: opens the book its home folder holds (the first argument), opens the
// unpaid list as the invoicing menu does, says "advancing" on its output and runs "&Advance All",
// answering Yes; then says "done". An error box makes it end with code 1.
#include <QTextStream>
#include <cstdio>

#include "data/DataMod.h"
#include "invoicing/UnpaidInv.h"
#include "tests/support/TestSupport.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: advance_child <home folder>\n");
        return 2;
    }
    const QByteArray home = argv[1];
    qputenv("XDG_DATA_HOME", home + "/data");
    qputenv("XDG_CONFIG_HOME", home + "/config");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    zz::TApplication app(argc, argv);
    zz::test::RecordingSeam seam;
    zz::TDataModule1 dm;
    zz::TfrmUnpaidInv window;
    dm.qryUnpaidInv->Close();
    dm.qryUnpaidInv->Open();
    std::printf("advancing\n");
    std::fflush(stdout);
    window.btnPayPeriodClick();
    std::printf("done\n");
    std::fflush(stdout);
    for (const zz::MessageRequest& m : seam.messages)
        if (m.kind != zz::MsgKind::Confirmation) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(m.title), qPrintable(m.text));
            return 1;
        }
    return 0;
}
