#include "reports/engine/QrCode.h"

#include <qrencode.h>

#include <memory>

#include "data/Errors.h"

namespace zz::report {

QrMatrix encodeQr(const QByteArray& bytes)
{
    std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeData(int(bytes.size()), reinterpret_cast<const unsigned char*>(bytes.constData()), 0, QR_ECLEVEL_M),
        &QRcode_free);
    if (!code)
        throw Exception(QStringLiteral("The QR code of %1 bytes cannot be made: they do not fit into one code.").arg(bytes.size()));
    QrMatrix m;
    m.size = code->width;
    m.dark.resize(std::size_t(m.size) * std::size_t(m.size));
    for (std::size_t i = 0; i < m.dark.size(); ++i)
        m.dark[i] = code->data[i] & 1; // the lowest bit is the module's colour
    return m;
}

std::vector<QRectF> qrRectangles(const QrMatrix& code, const QRectF& square)
{
    std::vector<QRectF> out;
    const int n = code.size;
    if (n <= 0)
        return out;
    const double module = square.width() / double(n + 2 * kQrQuietZone);
    const double left = square.left() + kQrQuietZone * module;
    const double top = square.top() + kQrQuietZone * module;
    // Runs already drawn as part of a taller rectangle started in a row above.
    std::vector<quint8> done(code.dark.size(), 0);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n;) {
            if (!code.isDark(x, y) || done[std::size_t(y) * n + x]) {
                ++x;
                continue;
            }
            int end = x;
            while (end < n && code.isDark(end, y) && !done[std::size_t(y) * n + end])
                ++end;
            // The same run (same columns, closed at both ends) in the rows below.
            auto sameRun = [&](int row) {
                for (int c = x; c < end; ++c)
                    if (!code.isDark(c, row) || done[std::size_t(row) * n + c])
                        return false;
                return (x == 0 || !code.isDark(x - 1, row)) && (end == n || !code.isDark(end, row));
            };
            int bottom = y + 1;
            while (bottom < n && sameRun(bottom)) {
                for (int c = x; c < end; ++c)
                    done[std::size_t(bottom) * n + c] = 1;
                ++bottom;
            }
            out.emplace_back(left + x * module, top + y * module, (end - x) * module, (bottom - y) * module);
            x = end;
        }
    }
    return out;
}

} // namespace zz::report
