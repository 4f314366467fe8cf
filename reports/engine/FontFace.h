#pragma once
// The fonts reports print with: a family name ("Arial") is resolved through fontconfig to the
// TrueType file actually used (Liberation Sans on our systems), and text is measured with that
// file's own advance widths (design metrics, no hinting, no kerning), so that the screen, the
// printer and the PDF file break lines at the same places.
#include <QHash>
#include <QRawFont>
#include <QString>
#include <array>

namespace zz::report {

class FontFace {
public:
    // The face for a family and style; resolved and loaded once, then shared.
    // Throws zz::Exception when no font file can be found.
    static const FontFace& get(const QString& family, bool bold, bool italic);

    const QString& filePath() const { return m_path; }
    int fileIndex() const { return m_index; }
    // The face's raw font at 1000 units per em (resize a copy to draw).
    const QRawFont& rawFont() const { return m_raw; }

    // Advance of a character in em units; glyph index of a character.
    float advance(QChar c) const { return c.unicode() < 256 ? m_latinAdvance[c.unicode()] : otherAdvance(c); }
    quint32 glyph(QChar c) const { return c.unicode() < 256 ? m_latinGlyph[c.unicode()] : otherGlyph(c); }
    // Width of a text in em units.
    float width(QStringView text) const;

    float ascent() const { return m_ascent; }   // em units
    float descent() const { return m_descent; } // em units
    float lineSpacing() const { return m_ascent + m_descent; }

    // Tenths of a millimetre per em at a point size.
    static float emToTenths(double pointSize) { return static_cast<float>(pointSize * 254.0 / 72.0); }

private:
    FontFace(const QString& path, int index);
    struct Glyph {
        quint32 index = 0;
        float advance = 0;
    };
    Glyph lookup(QChar c) const;
    float otherAdvance(QChar c) const { return cached(c).advance; }
    quint32 otherGlyph(QChar c) const { return cached(c).index; }
    const Glyph& cached(QChar c) const;

    QString m_path;
    int m_index = 0;
    QRawFont m_raw;
    std::array<float, 256> m_latinAdvance{};
    std::array<quint32, 256> m_latinGlyph{};
    mutable QHash<char16_t, Glyph> m_other;
    float m_ascent = 0.9f, m_descent = 0.2f;
};

// The font file fontconfig picks for a family and style (empty when none).
QString resolveFontFile(const QString& family, bool bold, bool italic, int* index = nullptr);

} // namespace zz::report
