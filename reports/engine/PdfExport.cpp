#include "reports/engine/PdfExport.h"

#include "data/Errors.h"
#include "reports/engine/FontFace.h"
#include "reports/engine/PageRenderer.h"

#include <QSaveFile>
#include <hpdf.h>
#include <map>
#include <vector>

namespace zz::report {

namespace {

constexpr float kPointsPerTenth = 72.0f / 254.0f;

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

float channel(QRgb c, int shift) { return float((c >> shift) & 0xff) / 255.0f; }

class PdfCanvas : public PageCanvas {
public:
    PdfCanvas(HPDF_Doc pdf, const ReportDocument& doc) : m_pdf(pdf), m_doc(doc) {}

    void beginPage(const ReportDocument& doc, int) override
    {
        m_page = HPDF_AddPage(m_pdf);
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
        HPDF_Font f = haruFont(font);
        if (f != m_font || font.pointSize != m_fontSize) {
            HPDF_Page_SetFontAndSize(m_page, f, font.pointSize);
            m_font = f;
            m_fontSize = font.pointSize;
        }
        setFill(item.color);
        const QByteArray utf8 = item.text.toUtf8();
        HPDF_Page_TextOut(m_page, x(item.tx), y(item.ty), utf8.constData());
        if (clip) {
            setMode(Mode::None);
            HPDF_Page_GRestore(m_page);
            m_fillSet = false;
            m_font = nullptr;
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
    HPDF_Page m_page = nullptr;
    float m_width = 0, m_height = 0;
    Mode m_mode = Mode::None;
    HPDF_Font m_font = nullptr;
    float m_fontSize = 0;
    QRgb m_fill = 0, m_stroke = 0;
    bool m_fillSet = false, m_strokeSet = false;
    std::map<QString, HPDF_Font> m_fonts;  // by font file
    std::vector<HPDF_Font> m_byDocFont;    // by the document's font index
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

    HPDF_Font haruFont(const DocFont& font)
    {
        // The document's fonts are looked up once each.
        const std::size_t index = std::size_t(&font - m_doc.fonts.data());
        if (index < m_byDocFont.size() && m_byDocFont[index])
            return m_byDocFont[index];
        HPDF_Font f = loadFont(font);
        if (index < m_doc.fonts.size()) {
            m_byDocFont.resize(m_doc.fonts.size(), nullptr);
            m_byDocFont[index] = f;
        }
        return f;
    }

    HPDF_Font loadFont(const DocFont& font)
    {
        const FontFace& face = FontFace::get(font.family, font.bold, font.italic);
        auto it = m_fonts.find(face.filePath());
        if (it != m_fonts.end())
            return it->second;
        const QByteArray path = face.filePath().toLocal8Bit();
        const char* name = face.fileIndex() > 0 ? nullptr : HPDF_LoadTTFontFromFile(m_pdf, path.constData(), HPDF_TRUE);
        if (!name)
            throw Exception(QStringLiteral("The font file %1 cannot be embedded in a PDF file").arg(face.filePath()));
        HPDF_Font f = HPDF_GetFont(m_pdf, name, "UTF-8");
        if (!f)
            throw Exception(QStringLiteral("The font file %1 cannot be embedded in a PDF file").arg(face.filePath()));
        m_fonts.emplace(face.filePath(), f);
        return f;
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

void savePdf(const ReportDocument& doc, const QString& path)
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
    if (!doc.title.isEmpty())
        HPDF_SetInfoAttr(pdf, HPDF_INFO_TITLE, doc.title.toUtf8().constData());
    HPDF_SetInfoAttr(pdf, HPDF_INFO_CREATOR, "Zuzevevur Creator");

    PdfCanvas canvas(pdf, doc);
    for (int p = 0; p < doc.pageCount(); ++p) {
        renderPage(doc, p, canvas);
        if (error.code != HPDF_OK)
            break;
    }
    if (error.code == HPDF_OK)
        HPDF_SaveToStream(pdf);
    if (error.code != HPDF_OK)
        throw Exception(QStringLiteral("The PDF file could not be made (error %1, %2)")
                            .arg(error.code, 0, 16)
                            .arg(error.detail));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Exception(QStringLiteral("The file %1 cannot be written: %2").arg(path, file.errorString()));
    HPDF_ResetStream(pdf);
    QByteArray chunk(1 << 16, Qt::Uninitialized);
    for (;;) {
        HPDF_UINT32 size = chunk.size();
        const HPDF_STATUS status = HPDF_ReadFromStream(pdf, reinterpret_cast<HPDF_BYTE*>(chunk.data()), &size);
        if (size > 0 && file.write(chunk.constData(), size) != qint64(size))
            break;
        if (status == HPDF_STREAM_EOF || size == 0)
            break;
        if (status != HPDF_OK)
            throw Exception(QStringLiteral("The PDF file could not be made"));
    }
    if (!file.commit())
        throw Exception(QStringLiteral("The file %1 cannot be written: %2").arg(path, file.errorString()));
}

} // namespace zz::report
