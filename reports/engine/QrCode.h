#pragma once
// QR codes for the printouts (libqrencode, byte mode): the modules of a code and the filled
// rectangles that draw it, so that every page backend draws it as vector squares.
#include <QByteArray>
#include <QRectF>
#include <vector>

namespace zz::report {

struct QrMatrix {
    int size = 0;               // modules per side, without the quiet zone
    std::vector<quint8> dark;   // size * size, row by row; 1 for a dark module

    bool isDark(int x, int y) const { return dark[std::size_t(y) * std::size_t(size) + std::size_t(x)] != 0; }
};

// The code of the bytes at error correction level M in the smallest version that holds them.
// Throws zz::Exception when they do not fit into any version.
QrMatrix encodeQr(const QByteArray& bytes);

// The modules needed around the code, left white: four on every side.
constexpr int kQrQuietZone = 4;

// The dark modules as rectangles inside `square` (the code with its quiet zone): each row's runs
// of dark modules merged into one rectangle, and runs of the same columns in the rows below
// merged into it.
std::vector<QRectF> qrRectangles(const QrMatrix& code, const QRectF& square);

} // namespace zz::report
