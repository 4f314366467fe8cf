// The stored form of the company logo: header rule, size limits and the bitmap decoder.
#include "data/Logo.h"
#include "tests/fuzz/FuzzInput.h"

using namespace zz;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    zz::fuzz::startGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray stored(reinterpret_cast<const char*>(data), qsizetype(size));
    const QImage logo = decodeLogo(stored);
    bitmapTooLarge(logoImageBytes(stored));
    if (!logo.isNull())
        encodeLogo(logo.scaled(8, 8));
    return 0;
}
