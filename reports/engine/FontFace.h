#pragma once
// The fonts reports print with. A family name ("Arial") is resolved through fontconfig to the
// TrueType file actually used (Liberation Sans on our systems), and text is measured with that
// file's own advance widths (design metrics, no hinting, no kerning), so that the screen, the
// printer and the PDF file break lines at the same places.
//
// A character the face lacks is taken from the first font in fontconfig's fallback order for
// the family that has it ("日本" from a CJK font), and measured with that font. A character no
// usable font has, a control character and any character outside the Basic Multilingual Plane
// print as one replacement mark (U+FFFD) in every backend: the PDF writer addresses glyphs by
// 16-bit character codes, so the screen and the printer keep to the same rule.
//
//   const FontFace& face = FontFace::get("Arial", true, false);
//   float w = face.width(text) * FontFace::emToTenths(10);   // tenths of a millimetre
//   face.shape(text, runs);  // one run per font file, for drawing
#include <QHash>
#include <QRawFont>
#include <QString>
#include <array>
#include <memory>
#include <vector>

namespace zz::report {

constexpr char16_t kReplacementMark = 0xFFFD;

// One TrueType file as loaded for measuring and drawing.
class FontFile {
public:
    const QString& path() const { return m_path; }
    // The font at 1000 units per em, read from the file: glyph indexes and design advances.
    const QRawFont& measuringFont() const { return m_raw; }
    // The same file as the font system knows it, for drawing on a QPainter. Print and PDF
    // engines write text in such a font as text with the font embedded; a font read from the
    // file's bytes would be drawn as outlines. Falls back to measuringFont() when the font
    // system cannot give the same file.
    const QRawFont& drawingFont() const;
    // A copy of drawingFont() at a pixel size, cached.
    const QRawFont& drawingFont(float pixelSize) const;
    // True when drawingFont() is the file as the font system knows it.
    bool drawsAsText() const;

    quint32 glyph(char32_t c) const;
    float advance(quint32 glyph) const; // em units

private:
    friend class FontRegistry;
    FontFile(const QString& path, const QString& family, const QString& style, int weight, int slant);

    QString m_path;
    QString m_family, m_style;
    int m_weight = 0, m_slant = 0;
    QRawFont m_raw;
    mutable bool m_drawingResolved = false;
    mutable bool m_drawsAsText = false;
    mutable QRawFont m_drawing;
    mutable std::vector<std::pair<float, QRawFont>> m_sized;
    mutable QHash<quint32, float> m_advances;
};

// A run of text drawn with one font file.
struct TextRun {
    const FontFile* file = nullptr;
    QString text;                 // the characters drawn (replacement marks substituted)
    std::vector<quint32> glyphs;
    std::vector<float> offsets;   // em units from the start of the whole text, one per glyph
};

class FontFace {
public:
    // The face for a family and style; resolved and loaded once, then shared. Names that
    // fontconfig resolves to the same fonts in the same order share one face.
    // Throws zz::Exception when no usable font file can be found.
    static const FontFace& get(const QString& family, bool bold, bool italic);
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // The file the family resolves to.
    const FontFile& primary() const { return *m_primary; }

    // Advance of a character in em units, from the font that draws it.
    float advance(char32_t c) const { return c < 256 ? m_latin[c].advance : resolve(c).advance; }
    // The advance of the UTF-16 unit at `i`: a surrogate pair counts once, on its first unit.
    float advanceAt(QStringView text, qsizetype i) const;
    // Width of a text in em units.
    float width(QStringView text) const;
    // Splits a text into runs by font file, with each glyph's offset from the text's start.
    void shape(QStringView text, std::vector<TextRun>& runs) const;

    float ascent() const { return m_ascent; }   // em units
    float descent() const { return m_descent; } // em units
    float lineSpacing() const { return m_ascent + m_descent; }

    // Tenths of a millimetre per em at a point size.
    static float emToTenths(double pointSize) { return static_cast<float>(pointSize * 254.0 / 72.0); }

private:
    struct Resolved {
        const FontFile* file = nullptr;
        quint32 glyph = 0;
        float advance = 0;
        char16_t drawn = 0; // the character drawn: the character itself or the replacement mark
    };
    struct Candidate {
        QString path, family, style;
        int weight = 0, slant = 0;
        void* charset = nullptr; // FcCharSet, owned by m_fontSet
    };

    struct FontSetRelease {
        void operator()(void* set) const;
    };
    using FontSet = std::unique_ptr<void, FontSetRelease>; // FcFontSet
    // fontconfig's fallback order for a family, with the usable fonts in it.
    struct Match {
        FontSet set;
        std::vector<Candidate> candidates;
    };
    static Match match(const QString& family, bool bold, bool italic);
    explicit FontFace(Match match);
    Resolved lookup(char32_t c) const;
    Resolved replacement() const;
    const Resolved& resolve(char32_t c) const;
    // The resolution of the character that starts at `i` and the number of units it takes.
    const Resolved& resolveAt(QStringView text, qsizetype i, int& units) const;

    FontSet m_fontSet; // holds the character sets of the candidates
    std::vector<Candidate> m_candidates;
    const FontFile* m_primary = nullptr;
    std::array<Resolved, 256> m_latin{};
    mutable QHash<char32_t, Resolved> m_other;
    float m_ascent = 0.9f, m_descent = 0.2f;
};

} // namespace zz::report
