#include "reports/engine/FontFace.h"

#include "data/Errors.h"

#include <QFont>
#include <QFontDatabase>
#include <fontconfig/fontconfig.h>
#include <map>
#include <tuple>

namespace zz::report {

namespace {
constexpr qreal kUnitsPerEm = 1000.0;

QString fcString(FcPattern* p, const char* object)
{
    FcChar8* value = nullptr;
    if (FcPatternGetString(p, object, 0, &value) != FcResultMatch || !value)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(value));
}

int fcInteger(FcPattern* p, const char* object, int fallback)
{
    int value = fallback;
    FcPatternGetInteger(p, object, 0, &value);
    return value;
}

bool fcBool(FcPattern* p, const char* object, bool fallback)
{
    FcBool value = fallback ? FcTrue : FcFalse;
    FcPatternGetBool(p, object, 0, &value);
    return value == FcTrue;
}

// Characters that are never looked up in a font: they print as the replacement mark.
bool alwaysReplaced(char32_t c)
{
    if (c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF)
        return true;
    return QChar::category(c) == QChar::Other_Control;
}

// The same font file as the font system knows it, or an invalid font. The file's own 'head'
// table (checksum and dates) tells whether the font system picked the same file.
QRawFont systemFont(const QString& family, const QString& style, int weight, int slant, const QRawFont& file)
{
    QFont font(family);
    if (!style.isEmpty())
        font.setStyleName(style);
    font.setWeight(weight >= FC_WEIGHT_BOLD ? QFont::Bold : QFont::Normal);
    font.setItalic(slant != FC_SLANT_ROMAN);
    font.setPixelSize(int(kUnitsPerEm));
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::NoFontMerging);
    QRawFont raw = QRawFont::fromFont(font);
    if (raw.isValid() && raw.fontTable("head") == file.fontTable("head"))
        return raw;
    return {};
}
} // namespace

// Every font file loaded, shared by the faces that use it.
class FontRegistry {
public:
    static const FontFile& file(const QString& path, const QString& family, const QString& style, int weight, int slant)
    {
        // Never destroyed: fonts released after the font system's own data has gone at exit
        // (a program whose application object outlives main) crash.
        static auto& files = *new std::map<QString, std::unique_ptr<FontFile>>;
        auto it = files.find(path);
        if (it == files.end())
            it = files.emplace(path, std::unique_ptr<FontFile>(new FontFile(path, family, style, weight, slant))).first;
        return *it->second;
    }
};

// ---- FontFile ----

FontFile::FontFile(const QString& path, const QString& family, const QString& style, int weight, int slant)
    : m_path(path), m_family(family), m_style(style), m_weight(weight), m_slant(slant),
      m_raw(path, kUnitsPerEm, QFont::PreferNoHinting)
{
}

quint32 FontFile::glyph(char32_t c) const
{
    const QList<quint32> glyphs = m_raw.glyphIndexesForString(QString::fromUcs4(&c, 1));
    return glyphs.isEmpty() ? 0 : glyphs.first();
}

float FontFile::advance(quint32 glyph) const
{
    auto it = m_advances.constFind(glyph);
    if (it != m_advances.constEnd())
        return *it;
    const QList<QPointF> advances = m_raw.advancesForGlyphIndexes(QList<quint32>{glyph}, QRawFont::UseDesignMetrics);
    const float a = advances.isEmpty() ? 0.0f : float(advances.first().x() / kUnitsPerEm);
    m_advances.insert(glyph, a);
    return a;
}

const QRawFont& FontFile::drawingFont() const
{
    if (!m_drawingResolved) {
        m_drawingResolved = true;
        m_drawing = systemFont(m_family, m_style, m_weight, m_slant, m_raw);
        if (!m_drawing.isValid()) {
            // Not among the fonts the font system offers under that name: register the file.
            const int id = QFontDatabase::addApplicationFont(m_path);
            for (const QString& family : QFontDatabase::applicationFontFamilies(id)) {
                m_drawing = systemFont(family, m_style, m_weight, m_slant, m_raw);
                if (m_drawing.isValid())
                    break;
            }
        }
        m_drawsAsText = m_drawing.isValid();
        if (!m_drawing.isValid())
            m_drawing = m_raw;
    }
    return m_drawing;
}

bool FontFile::drawsAsText() const
{
    drawingFont();
    return m_drawsAsText;
}

const QRawFont& FontFile::drawingFont(float pixelSize) const
{
    for (const auto& [size, raw] : m_sized)
        if (size == pixelSize)
            return raw;
    QRawFont raw = drawingFont();
    raw.setPixelSize(pixelSize);
    m_sized.emplace_back(pixelSize, raw);
    return m_sized.back().second;
}

// ---- FontFace ----

const FontFace& FontFace::get(const QString& family, bool bold, bool italic)
{
    // Never destroyed, as the files. A name costs one entry in `names`; the faces themselves are
    // as many as the distinct fallback orders, so a report naming thousands of unknown families
    // (all resolved to the default fonts) still holds one face.
    static auto& names = *new std::map<std::tuple<QString, bool, bool>, const FontFace*>;
    static auto& faces = *new std::map<QString, std::unique_ptr<FontFace>>;
    const auto key = std::make_tuple(family.toLower(), bold, italic);
    auto it = names.find(key);
    if (it != names.end())
        return *it->second;
    Match found = match(family, bold, italic);
    QString order = QStringLiteral("%1%2").arg(int(bold)).arg(int(italic));
    for (const Candidate& c : found.candidates)
        order += QLatin1Char('\n') + c.path;
    auto face = faces.find(order);
    if (face == faces.end())
        face = faces.emplace(order, std::unique_ptr<FontFace>(new FontFace(std::move(found)))).first;
    return *names.emplace(key, face->second.get()).first->second;
}

void FontFace::FontSetRelease::operator()(void* set) const
{
    FcFontSetDestroy(static_cast<FcFontSet*>(set));
}

FontFace::Match FontFace::match(const QString& family, bool bold, bool italic)
{
    if (!FcInit())
        throw Exception(QStringLiteral("The font configuration cannot be read"));
    FcPattern* pattern = FcPatternCreate();
    const QByteArray name = family.toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.constData()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcFontSet* set = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
    FcPatternDestroy(pattern);
    Match m{FontSet(set), {}};
    // Usable fonts in fontconfig's order: TrueType outlines (which the PDF writer embeds), the
    // first face of each file, no colour or variable fonts.
    for (int i = 0; set && i < set->nfont; ++i) {
        FcPattern* p = set->fonts[i];
        Candidate c;
        c.path = fcString(p, FC_FILE);
        if (c.path.isEmpty() || fcInteger(p, FC_INDEX, 0) != 0 || fcString(p, FC_FONTFORMAT) != QLatin1String("TrueType")
            || !fcBool(p, FC_OUTLINE, true) || fcBool(p, FC_COLOR, false) || fcBool(p, FC_VARIABLE, false))
            continue;
        FcCharSet* charset = nullptr;
        if (FcPatternGetCharSet(p, FC_CHARSET, 0, &charset) != FcResultMatch || !charset)
            continue;
        bool seen = false;
        for (const Candidate& other : m.candidates)
            seen = seen || other.path == c.path;
        if (seen)
            continue;
        c.family = fcString(p, FC_FAMILY);
        c.style = fcString(p, FC_STYLE);
        c.weight = fcInteger(p, FC_WEIGHT, FC_WEIGHT_REGULAR);
        c.slant = fcInteger(p, FC_SLANT, FC_SLANT_ROMAN);
        c.charset = charset;
        m.candidates.push_back(c);
    }
    if (m.candidates.empty())
        throw Exception(QStringLiteral("No font file found for %1").arg(family));
    return m;
}

FontFace::FontFace(Match match) : m_fontSet(std::move(match.set)), m_candidates(std::move(match.candidates))
{
    const Candidate& first = m_candidates.front();
    m_primary = &FontRegistry::file(first.path, first.family, first.style, first.weight, first.slant);
    if (!m_primary->measuringFont().isValid())
        throw Exception(QStringLiteral("The font file %1 cannot be read").arg(first.path));
    m_ascent = float(m_primary->measuringFont().ascent() / kUnitsPerEm);
    m_descent = float(m_primary->measuringFont().descent() / kUnitsPerEm);
    for (char32_t c = 0; c < 256; ++c)
        m_latin[c] = lookup(c);
}

FontFace::Resolved FontFace::lookup(char32_t c) const
{
    if (alwaysReplaced(c))
        return replacement();
    for (const Candidate& candidate : m_candidates) {
        if (!FcCharSetHasChar(static_cast<FcCharSet*>(candidate.charset), c))
            continue;
        const FontFile& file =
            FontRegistry::file(candidate.path, candidate.family, candidate.style, candidate.weight, candidate.slant);
        const quint32 glyph = file.glyph(c);
        if (glyph != 0)
            return Resolved{&file, glyph, file.advance(glyph), char16_t(c)};
    }
    return c == kReplacementMark ? Resolved{m_primary, 0, m_primary->advance(0), kReplacementMark} : replacement();
}

FontFace::Resolved FontFace::replacement() const
{
    auto it = m_other.constFind(kReplacementMark);
    if (it != m_other.constEnd())
        return *it;
    const Resolved r = lookup(kReplacementMark);
    m_other.insert(kReplacementMark, r);
    return r;
}

const FontFace::Resolved& FontFace::resolve(char32_t c) const
{
    if (c < 256)
        return m_latin[c];
    auto it = m_other.constFind(c);
    if (it != m_other.constEnd())
        return *it;
    return *m_other.insert(c, lookup(c));
}

const FontFace::Resolved& FontFace::resolveAt(QStringView text, qsizetype i, int& units) const
{
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
        units = 2;
        return resolve(QChar::surrogateToUcs4(c, text.at(i + 1)));
    }
    units = 1;
    return resolve(c.unicode());
}

float FontFace::advanceAt(QStringView text, qsizetype i) const
{
    if (text.at(i).isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate())
        return 0;
    int units = 1;
    return resolveAt(text, i, units).advance;
}

float FontFace::width(QStringView text) const
{
    float w = 0;
    int units = 1;
    for (qsizetype i = 0; i < text.size(); i += units)
        w += resolveAt(text, i, units).advance;
    return w;
}

void FontFace::shape(QStringView text, std::vector<TextRun>& runs) const
{
    runs.clear();
    float offset = 0;
    int units = 1;
    for (qsizetype i = 0; i < text.size(); i += units) {
        const Resolved& r = resolveAt(text, i, units);
        if (runs.empty() || runs.back().file != r.file) {
            runs.emplace_back();
            runs.back().file = r.file;
        }
        TextRun& run = runs.back();
        run.text.append(QChar(r.drawn));
        run.glyphs.push_back(r.glyph);
        run.offsets.push_back(offset);
        offset += r.advance;
    }
}

} // namespace zz::report
