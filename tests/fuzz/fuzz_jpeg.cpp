// The JPEG reader of the splash picture.
#include "widgets/JpegImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QString error;
    zz::decodeJpeg(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), &error);
    return 0;
}
