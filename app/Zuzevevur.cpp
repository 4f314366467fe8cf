// Zuzevevur Creator: the program's entry.
#include "app/Startup.h"
#include "widgets/Application.h"

int main(int argc, char** argv)
{
    zz::TApplication app(argc, argv);
    return zz::runZuzevevur(app);
}
