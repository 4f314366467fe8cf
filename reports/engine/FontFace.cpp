#include "reports/engine/FontFace.h"

#include "data/Errors.h"

#include <fontconfig/fontconfig.h>
#include <map>
#include <memory>
#include <tuple>

namespace zz::report {

namespace {
constexpr qreal kUnitsPerEm = 1000.0;
}

QString resolveFontFile(const QString& family, bool bold, bool italic, int* index)
{
    if (!FcInit())
        return {};
    FcPattern* pattern = FcPatternCreate();
    const QByteArray name = family.toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.constData()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    QString path;
    if (match) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
            path = QString::fromUtf8(reinterpret_cast<const char*>(file));
        int i = 0;
        if (index && FcPatternGetInteger(match, FC_INDEX, 0, &i) == FcResultMatch)
            *index = i;
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return path;
}

const FontFace& FontFace::get(const QString& family, bool bold, bool italic)
{
    static std::map<std::tuple<QString, bool, bool>, std::unique_ptr<FontFace>> faces;
    static std::map<QString, FontFace*> byFile;
    const auto key = std::make_tuple(family.toLower(), bold, italic);
    auto it = faces.find(key);
    if (it != faces.end())
        return *it->second;
    int index = 0;
    const QString path = resolveFontFile(family, bold, italic, &index);
    if (path.isEmpty())
        throw Exception(QStringLiteral("No font file found for %1").arg(family));
    auto face = std::unique_ptr<FontFace>(new FontFace(path, index));
    if (!face->m_raw.isValid())
        throw Exception(QStringLiteral("The font file %1 cannot be read").arg(path));
    return *faces.emplace(key, std::move(face)).first->second;
}

FontFace::FontFace(const QString& path, int index)
    : m_path(path), m_index(index), m_raw(path, kUnitsPerEm, QFont::PreferNoHinting)
{
    if (!m_raw.isValid())
        return;
    m_ascent = static_cast<float>(m_raw.ascent() / kUnitsPerEm);
    m_descent = static_cast<float>(m_raw.descent() / kUnitsPerEm);
    for (int c = 0; c < 256; ++c) {
        const Glyph g = lookup(QChar(c));
        m_latinGlyph[c] = g.index;
        m_latinAdvance[c] = g.advance;
    }
}

FontFace::Glyph FontFace::lookup(QChar c) const
{
    Glyph g;
    const QList<quint32> glyphs = m_raw.glyphIndexesForString(QString(c));
    if (glyphs.isEmpty())
        return g;
    g.index = glyphs.first();
    const QList<QPointF> advances = m_raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
    if (!advances.isEmpty())
        g.advance = static_cast<float>(advances.first().x() / kUnitsPerEm);
    return g;
}

const FontFace::Glyph& FontFace::cached(QChar c) const
{
    auto it = m_other.constFind(c.unicode());
    if (it != m_other.constEnd())
        return *it;
    return *m_other.insert(c.unicode(), lookup(c));
}

float FontFace::width(QStringView text) const
{
    float w = 0;
    for (const QChar c : text)
        w += advance(c);
    return w;
}

} // namespace zz::report
