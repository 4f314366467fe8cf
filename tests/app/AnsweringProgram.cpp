// The program exactly as shipped, but with a dialog seam that writes every box to the error
// stream as "[title] text" and answers it with its first button, so that the start-up test can
// run it unattended.
#include <cstdio>

#include "app/Startup.h"
#include "widgets/Application.h"
#include "widgets/Dialogs.h"

namespace {
class AnsweringSeam : public zz::DialogSeam {
public:
    zz::MsgResult message(const zz::MessageRequest& r) override
    {
        std::fprintf(stderr, "[%s] %s\n", qPrintable(r.title), qPrintable(r.text));
        return r.buttons == zz::MsgButtons::YesNo ? zz::MsgResult::Yes : zz::MsgResult::OK;
    }
};
} // namespace

int main(int argc, char** argv)
{
    zz::TApplication app(argc, argv);
    AnsweringSeam seam;
    zz::setDialogSeam(&seam);
    return zz::runZuzevevur(app);
}
