#include "reports/engine/PdfExport.h"

#include "data/Errors.h"
#include "reports/engine/FontFace.h"
#include "reports/engine/PageRenderer.h"

#include <QDateTime>
#include <QSaveFile>
#include <bitset>
#include <cstdlib>
#include <cstring>
#include <hpdf.h>
#include <hpdf_doc.h>
#include <hpdf_objects.h>
#include <hpdf_pdfa.h>
#include <hpdf_streams.h>
#include <map>
#include <vector>

namespace zz::report {

namespace {

constexpr float kPointsPerTenth = 72.0f / 254.0f;
constexpr int kPagesPerNode = 1000;

struct HaruError {
    HPDF_STATUS code = HPDF_OK;
    HPDF_STATUS detail = 0;
};

void onHaruError(HPDF_STATUS code, HPDF_STATUS detail, void* data)
{
    auto* e = static_cast<HaruError*>(data);
    if (e->code == HPDF_OK) {
        e->code = code;
        e->detail = detail;
    }
}

// The first failure of the PDF library, in words.
QString haruFailureText(const HaruError& e)
{
    switch (e.code) {
    case HPDF_PAGE_INVALID_SIZE: return QStringLiteral("The PDF file could not be made: its pages are larger than a PDF page may be.");
    case HPDF_ARRAY_COUNT_ERR:
    case HPDF_XREF_COUNT_ERR:
        return QStringLiteral("The PDF file could not be made: the report has more pages than a PDF file may hold.");
    case HPDF_FAILD_TO_ALLOC_MEM: return QStringLiteral("The PDF file could not be made: there is not enough memory.");
    default:
        return QStringLiteral("The PDF file could not be made: the PDF library reported error %1 (%2).")
            .arg(QStringLiteral("0x%1").arg(e.code, 4, 16, QLatin1Char('0')))
            .arg(e.detail);
    }
}

float channel(QRgb c, int shift) { return float((c >> shift) & 0xff) / 255.0f; }

// An embedded font and the character codes drawn with it.
struct EmbeddedFont {
    HPDF_Font font = nullptr;
    std::bitset<65536> used;
};

QByteArray hex4(unsigned code) { return QByteArray::number(code, 16).rightJustified(4, '0').toUpper(); }

// A ToUnicode character map for 2-byte codes equal to the characters' UTF-16 values: runs of
// consecutive codes within one block of 256 as ranges, single codes as characters, at most
// 100 entries a section.
QByteArray toUnicodeMap(const std::bitset<65536>& used)
{
    QList<QByteArray> singles, ranges;
    for (unsigned code = 0; code < 65536; ++code) {
        if (!used.test(code))
            continue;
        unsigned last = code;
        while (last + 1 < 65536 && used.test(last + 1) && ((last + 1) & 0xff) != 0)
            ++last;
        if (last == code)
            singles.push_back("<" + hex4(code) + "> <" + hex4(code) + ">\n");
        else
            ranges.push_back("<" + hex4(code) + "> <" + hex4(last) + "> <" + hex4(code) + ">\n");
        code = last;
    }
    QByteArray map = "/CIDInit /ProcSet findresource begin\n"
                     "12 dict begin\n"
                     "begincmap\n"
                     "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                     "/CMapName /Adobe-Identity-UCS def\n"
                     "/CMapType 2 def\n"
                     "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    auto sections = [&map](const QList<QByteArray>& entries, const char* begin, const char* end) {
        for (qsizetype i = 0; i < entries.size(); i += 100) {
            const qsizetype n = std::min<qsizetype>(100, entries.size() - i);
            map += QByteArray::number(n) + ' ' + begin + '\n';
            for (qsizetype j = i; j < i + n; ++j)
                map += entries[j];
            map += QByteArray(end) + '\n';
        }
    };
    sections(singles, "beginbfchar", "endbfchar");
    sections(ranges, "beginbfrange", "endbfrange");
    map += "endcmap\n"
           "CMapName currentdict /CMap defineresource pop\n"
           "end\n"
           "end\n";
    return map;
}

// Whether a dictionary of the font library holds a key (asking it for a missing one is an error).
bool hasKey(HPDF_Dict dict, const char* key)
{
    for (HPDF_UINT i = 0; dict->list && i < dict->list->count; ++i)
        if (std::strcmp(static_cast<HPDF_DictElement>(dict->list->obj[i])->key, key) == 0)
            return true;
    return false;
}

HPDF_Date pdfDate(const QDateTime& when)
{
    const QDateTime local = when.toLocalTime();
    const int offset = local.offsetFromUtc() / 60;
    HPDF_Date d{};
    d.year = local.date().year();
    d.month = local.date().month();
    d.day = local.date().day();
    d.hour = local.time().hour();
    d.minutes = local.time().minute();
    d.seconds = local.time().second();
    d.ind = offset > 0 ? '+' : offset < 0 ? '-' : 'Z';
    d.off_hour = std::abs(offset) / 60;
    d.off_minutes = std::abs(offset) % 60;
    return d;
}

class PdfCanvas : public PageCanvas {
public:
    PdfCanvas(HPDF_Doc pdf, const ReportDocument& doc, const HaruError& error) : m_pdf(pdf), m_doc(doc), m_error(error) {}

    void beginPage(const ReportDocument& doc, int) override
    {
        m_page = HPDF_AddPage(m_pdf);
        // Every later call would take the missing page as its own.
        if (!m_page)
            throw Exception(m_error.code == HPDF_OK ? QStringLiteral("The PDF file could not be made.")
                                                    : haruFailureText(m_error));
        m_width = doc.pageWidth * kPointsPerTenth;
        m_height = doc.pageHeight * kPointsPerTenth;
        HPDF_Page_SetWidth(m_page, m_width);
        HPDF_Page_SetHeight(m_page, m_height);
        HPDF_Page_SetLineWidth(m_page, 0); // one device pixel
        m_mode = Mode::None;
        m_font = nullptr;
        m_fontSize = 0;
        m_fillSet = m_strokeSet = false;
    }

    void endPage() override { setMode(Mode::None); }

    void fillRect(const QRectF& r, QRgb color) override
    {
        setMode(Mode::None);
        setFill(color);
        HPDF_Page_Rectangle(m_page, x(r.left()), y(r.bottom()), float(r.width()) * kPointsPerTenth,
                            float(r.height()) * kPointsPerTenth);
        HPDF_Page_Fill(m_page);
    }

    void drawLine(const QPointF& from, const QPointF& to, QRgb color) override
    {
        if (m_mode != Mode::Path || !m_strokeSet || m_stroke != color) {
            setMode(Mode::None);
            m_stroke = color;
            m_strokeSet = true;
            HPDF_Page_SetRGBStroke(m_page, channel(color, 16), channel(color, 8), channel(color, 0));
            m_mode = Mode::Path;
        }
        HPDF_Page_MoveTo(m_page, x(from.x()), y(from.y()));
        HPDF_Page_LineTo(m_page, x(to.x()), y(to.y()));
    }

    void drawText(const PageItem& item, const DocFont& font) override
    {
        const bool clip = item.flags & ItemClip;
        if (clip) {
            setMode(Mode::None);
            HPDF_Page_GSave(m_page);
            HPDF_Page_Rectangle(m_page, x(item.x), y(item.y + item.h), item.w * kPointsPerTenth, item.h * kPointsPerTenth);
            HPDF_Page_Clip(m_page);
            HPDF_Page_EndPath(m_page);
            m_fillSet = false;
            m_font = nullptr;
        }
        if (m_mode != Mode::Text) {
            setMode(Mode::None);
            HPDF_Page_BeginText(m_page);
            m_mode = Mode::Text;
        }
        setFill(item.color);
        const FontFace& face = faceOf(font);
        const float em = FontFace::emToTenths(font.pointSize);
        face.shape(item.text, m_runs);
        for (const TextRun& run : m_runs) {
            EmbeddedFont& f = embedded(*run.file);
            if (f.font != m_font || font.pointSize != m_fontSize) {
                HPDF_Page_SetFontAndSize(m_page, f.font, font.pointSize);
                m_font = f.font;
                m_fontSize = font.pointSize;
            }
            for (const QChar c : run.text)
                f.used.set(c.unicode());
            const QByteArray utf8 = run.text.toUtf8();
            HPDF_Page_TextOut(m_page, x(item.tx + run.offsets.front() * em), y(item.ty), utf8.constData());
        }
        if (clip) {
            setMode(Mode::None);
            HPDF_Page_GRestore(m_page);
            m_fillSet = false;
            m_font = nullptr;
        }
    }

    // Replaces the character map each embedded font carries for text extraction: the font
    // library writes one that maps nothing; this one maps every code used to its character
    // (the codes are the characters' own UTF-16 values).
    void writeCharacterMaps(HPDF_Doc pdf)
    {
        for (auto& [file, f] : m_embedded) {
            const QByteArray map = toUnicodeMap(f.used);
            auto* stream = hasKey(f.font, "ToUnicode")
                               ? static_cast<HPDF_Dict>(HPDF_Dict_GetItem(f.font, "ToUnicode", HPDF_OCLASS_DICT))
                               : nullptr;
            if (stream && stream->stream) {
                HPDF_MemStream_FreeData(stream->stream);
                // What described the encoding map it was copied from.
                for (const char* stale : {"CMapName", "CIDSystemInfo", "WMode", "UseCMap"})
                    if (hasKey(stream, stale))
                        HPDF_Dict_RemoveElement(stream, stale);
            } else {
                stream = HPDF_DictStream_New(pdf->mmgr, pdf->xref);
                if (!stream)
                    continue;
                stream->filter = HPDF_STREAM_FILTER_FLATE_DECODE;
                HPDF_Dict_Add(f.font, "ToUnicode", stream);
            }
            HPDF_Stream_Write(stream->stream, reinterpret_cast<const HPDF_BYTE*>(map.constData()), HPDF_UINT(map.size()));
        }
    }

    void drawImage(const QRectF& r, const QImage& image) override
    {
        setMode(Mode::None);
        HPDF_Image img = haruImage(image);
        if (!img)
            return;
        HPDF_Page_DrawImage(m_page, img, x(r.left()), y(r.bottom()), float(r.width()) * kPointsPerTenth,
                            float(r.height()) * kPointsPerTenth);
    }

private:
    enum class Mode { None, Text, Path };
    HPDF_Doc m_pdf;
    const ReportDocument& m_doc;
    const HaruError& m_error;
    HPDF_Page m_page = nullptr;
    float m_width = 0, m_height = 0;
    Mode m_mode = Mode::None;
    HPDF_Font m_font = nullptr;
    float m_fontSize = 0;
    QRgb m_fill = 0, m_stroke = 0;
    bool m_fillSet = false, m_strokeSet = false;
    std::map<const FontFile*, EmbeddedFont> m_embedded;
    const FontFile* m_lastFile = nullptr;
    EmbeddedFont* m_lastEmbedded = nullptr;
    std::vector<const FontFace*> m_faces; // by the document's font index
    std::vector<TextRun> m_runs;
    std::map<qint64, HPDF_Image> m_images; // by image cache key

    float x(double tenths) const { return float(tenths) * kPointsPerTenth; }
    float y(double tenths) const { return m_height - float(tenths) * kPointsPerTenth; }

    void setMode(Mode mode)
    {
        if (m_mode == mode)
            return;
        if (m_mode == Mode::Text)
            HPDF_Page_EndText(m_page);
        else if (m_mode == Mode::Path)
            HPDF_Page_Stroke(m_page);
        m_mode = mode;
    }

    void setFill(QRgb color)
    {
        if (m_fillSet && m_fill == color)
            return;
        HPDF_Page_SetRGBFill(m_page, channel(color, 16), channel(color, 8), channel(color, 0));
        m_fill = color;
        m_fillSet = true;
    }

    const FontFace& faceOf(const DocFont& font)
    {
        // The document's fonts are looked up once each.
        const std::size_t index = std::size_t(&font - m_doc.fonts.data());
        if (index >= m_doc.fonts.size())
            return FontFace::get(font.family, font.bold, font.italic);
        if (m_faces.size() < m_doc.fonts.size())
            m_faces.resize(m_doc.fonts.size(), nullptr);
        if (!m_faces[index])
            m_faces[index] = &FontFace::get(font.family, font.bold, font.italic);
        return *m_faces[index];
    }

    EmbeddedFont& embedded(const FontFile& file)
    {
        if (m_lastFile == &file)
            return *m_lastEmbedded;
        auto it = m_embedded.find(&file);
        if (it == m_embedded.end()) {
            const bool failedBefore = m_error.code != HPDF_OK;
            const QByteArray path = file.path().toLocal8Bit();
            const char* name = file.path().endsWith(QLatin1String(".ttc"), Qt::CaseInsensitive)
                                   ? HPDF_LoadTTFontFromFile2(m_pdf, path.constData(), 0, HPDF_TRUE)
                                   : HPDF_LoadTTFontFromFile(m_pdf, path.constData(), HPDF_TRUE);
            HPDF_Font f = name ? HPDF_GetFont(m_pdf, name, "UTF-8") : nullptr;
            if (!f) {
                // After an earlier failure the library refuses everything: that failure is the
                // one to report, not the font.
                if (failedBefore)
                    throw Exception(haruFailureText(m_error));
                throw Exception(QStringLiteral("The font file %1 cannot be embedded in a PDF file.").arg(file.path()));
            }
            it = m_embedded.emplace(&file, EmbeddedFont{f, {}}).first;
        }
        m_lastFile = &file;
        m_lastEmbedded = &it->second;
        return it->second;
    }

    HPDF_Image haruImage(const QImage& image)
    {
        auto it = m_images.find(image.cacheKey());
        if (it != m_images.end())
            return it->second;
        const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
        QByteArray packed;
        packed.reserve(rgb.width() * rgb.height() * 3);
        for (int row = 0; row < rgb.height(); ++row)
            packed.append(reinterpret_cast<const char*>(rgb.constScanLine(row)), rgb.width() * 3);
        HPDF_Image img = HPDF_LoadRawImageFromMem(m_pdf, reinterpret_cast<const HPDF_BYTE*>(packed.constData()),
                                                  rgb.width(), rgb.height(), HPDF_CS_DEVICE_RGB, 8);
        m_images.emplace(image.cacheKey(), img);
        return img;
    }
};

} // namespace

QByteArray pdfData(const ReportDocument& doc, const PdfOptions& options)
{
    HaruError error;
    HPDF_Doc pdf = HPDF_New(onHaruError, &error);
    if (!pdf)
        throw Exception(QStringLiteral("The PDF file could not be created"));
    struct Free {
        HPDF_Doc pdf;
        ~Free() { HPDF_Free(pdf); }
    } freeLater{pdf};
    HPDF_SetCompressionMode(pdf, HPDF_COMP_ALL);
    HPDF_UseUTFEncodings(pdf);
    HPDF_SetCurrentEncoder(pdf, "UTF-8");
    HPDF_SetInfoAttr(pdf, HPDF_INFO_TITLE, doc.jobName().toUtf8().constData());
    HPDF_SetInfoAttr(pdf, HPDF_INFO_CREATOR, "Zuzevevur Creator");
    HPDF_SetInfoAttr(pdf, HPDF_INFO_PRODUCER, "Zuzevevur Creator");
    HPDF_SetInfoDateAttr(pdf, HPDF_INFO_CREATION_DATE,
                         pdfDate(options.created.isValid() ? options.created : QDateTime::currentDateTime()));
    if (!options.outputProfile.isEmpty()) {
        // The pages draw in device RGB; the profile says what those colours are.
        const QByteArray file = options.outputProfile.toLocal8Bit();
        HPDF_OutputIntent profile = HPDF_LoadIccProfileFromFile(pdf, file.constData(), 3);
        const QByteArray condition = options.outputCondition.toUtf8();
        if (!profile || HPDF_PDFA_AppendOutputIntents(pdf, condition.constData(), profile) != HPDF_OK) {
            if (error.code == HPDF_FILE_IO_ERROR || error.code == HPDF_FILE_OPEN_ERROR)
                throw Exception(QStringLiteral("The colour profile %1 cannot be read.").arg(options.outputProfile));
            throw Exception(haruFailureText(error));
        }
    }

    // One node of the page tree holds at most 32,767 kids: longer documents hang their pages
    // under a second tier of nodes, each holding a thousand.
    if (doc.pageCount() > kPagesPerNode)
        HPDF_SetPagesConfiguration(pdf, kPagesPerNode);

    PdfCanvas canvas(pdf, doc, error);
    for (int p = 0; p < doc.pageCount(); ++p) {
        renderPage(doc, p, canvas);
        if (error.code != HPDF_OK)
            break;
    }
    if (error.code == HPDF_OK) {
        canvas.writeCharacterMaps(pdf);
        HPDF_SaveToStream(pdf);
    }
    if (error.code != HPDF_OK)
        throw Exception(haruFailureText(error));

    QByteArray data;
    data.reserve(HPDF_GetStreamSize(pdf));
    HPDF_ResetStream(pdf);
    QByteArray chunk(1 << 16, Qt::Uninitialized);
    for (;;) {
        HPDF_UINT32 size = chunk.size();
        const HPDF_STATUS status = HPDF_ReadFromStream(pdf, reinterpret_cast<HPDF_BYTE*>(chunk.data()), &size);
        data.append(chunk.constData(), size);
        if (status == HPDF_STREAM_EOF || size == 0)
            break;
        if (status != HPDF_OK)
            throw Exception(error.code != HPDF_OK ? haruFailureText(error) : QStringLiteral("The PDF file could not be made."));
    }
    return data;
}

void saveFileWhole(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Exception(QStringLiteral("The file %1 cannot be written: %2").arg(path, file.errorString()));
    if (file.write(data) != data.size() || !file.commit())
        throw Exception(QStringLiteral("The file %1 cannot be written: %2").arg(path, file.errorString()));
}

void savePdf(const ReportDocument& doc, const QString& path) { saveFileWhole(path, pdfData(doc)); }

} // namespace zz::report
