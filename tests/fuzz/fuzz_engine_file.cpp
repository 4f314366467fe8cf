// The engine's configuration file: any bytes, read for the alias of the books.
#include "data/Engine.h"
#include "data/Errors.h"

using namespace zz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        Engine::aliasFromConfig(text, QStringLiteral("Zuzevevur"), QStringLiteral("engine.ini"));
    } catch (const Exception&) {
        // An alias without a database, or missing among others, or a file that is no UTF-8 text:
        // reported at start-up.
    }
    return 0;
}
