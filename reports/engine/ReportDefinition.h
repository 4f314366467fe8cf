#pragma once
// A banded report definition: plain value types built in code by the report windows.
// Lengths are tenths of a millimetre; positions are measured from the band's top-left corner.
//
//   Report r;                                   // A4, 12.7 mm margins, Arial 10 pt
//   r.dataset = &revenueDataset;                // the bound dataset (not owned)
//   Band& title = r.addBand(BandKind::Title, 320);
//   title.add(Element::label("QRLabel1", "Customer Revenue Report", 0, 63).points(18).bold().onBand());
//   Band& detail = r.addBand(BandKind::Detail, 48, FrameLeft | FrameRight);
//   detail.add(Element::dataText("QRDBText1", "Total", 1609, 0).fixedWidth(235));
//   Band& summary = r.addBand(BandKind::Summary, 254, FrameAll);
//   summary.add(Element::expression("QRExpr1", "SUM(Total)", 1609, 21).fixedWidth(235).color(Qt::blue));
//   r.setMask("QRExpr1", "$ #,#0.00");        // at run time, before each preview
#include <QColor>
#include <QString>
#include <optional>
#include <vector>

#include "reports/engine/ReportDataset.h"

namespace zz::report {

constexpr QRgb kBlack = 0xff000000;
constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kRed = 0xffff0000;
constexpr QRgb kBlue = 0xff0000ff;

struct FontSpec {
    QString family = QStringLiteral("Arial");
    double pointSize = 10;
    bool bold = false;
    bool italic = false;
    QRgb color = kBlack;
};

enum class BandKind { Title, PageHeader, ColumnHeader, Detail, Summary, PageFooter };

enum FrameEdge : int { FrameNone = 0, FrameTop = 1, FrameBottom = 2, FrameLeft = 4, FrameRight = 8, FrameAll = 15 };

// QrCode: the caption's UTF-8 bytes as a QR code (level M) filling a square of the element's
// width, its quiet zone included, drawn as filled rectangles; an empty caption draws nothing.
enum class ElementKind { Label, DataText, DataImage, Expression, QrCode };
enum class Alignment { Left, Center, Right };

struct Element {
    QString name;
    ElementKind kind = ElementKind::Label;
    int left = 0, top = 0;
    int width = 0;  // used when autoSize is off (and as the centre of a centred auto-size element)
    int height = 0; // 0: one line of the element's font
    Alignment alignment = Alignment::Left;
    bool alignToBand = false;
    bool autoSize = true;
    bool wordWrap = true;
    bool transparent = false;
    std::optional<FontSpec> font; // the report's default font when unset

    QString caption;                    // label
    ReportDataset* dataset = nullptr;   // data text / image; nullptr: the report's bound dataset
    QString dataField;
    QString expression;                 // expression
    QString mask;
    bool resetAfterPrint = false;
    bool stretch = true;                // image: scaled to the rectangle without keeping proportions

    static Element label(const QString& name, const QString& caption, int left, int top);
    static Element dataText(const QString& name, const QString& field, int left, int top, ReportDataset* dataset = nullptr);
    static Element image(const QString& name, const QString& field, int left, int top, int width, int height,
                         ReportDataset* dataset = nullptr);
    static Element expr(const QString& name, const QString& expression, int left, int top);
    static Element qrCode(const QString& name, int left, int top, int size);

    // Fluent setters for building definitions.
    Element& fixedWidth(int w) { width = w; autoSize = false; return *this; }
    Element& withHeight(int h) { height = h; return *this; }
    Element& centered() { alignment = Alignment::Center; return *this; }
    Element& onBand() { alignToBand = true; alignment = Alignment::Center; return *this; }
    Element& points(double size) { ensureFont().pointSize = size; return *this; }
    Element& bold(bool on = true) { ensureFont().bold = on; return *this; }
    Element& color(QRgb c) { ensureFont().color = c; return *this; }
    Element& color(Qt::GlobalColor c) { return color(QColor(c).rgba()); }
    Element& withMask(const QString& m) { mask = m; return *this; }

    // The element's own font, created from the default Arial 10 pt on first use.
    FontSpec& ensureFont()
    {
        if (!font)
            font = FontSpec{};
        return *font;
    }
};

struct Band {
    BandKind kind = BandKind::Detail;
    QString name;
    int height = 0;
    int frame = FrameNone;
    QRgb background = kWhite;
    std::vector<Element> elements;

    Element& add(Element element)
    {
        elements.push_back(std::move(element));
        return elements.back();
    }
};

struct ReportOptions {
    bool firstPageHeader = true;
    bool lastPageFooter = true;
};

struct PrinterSettings {
    int copies = 1;
    bool duplex = false;
    int fromPage = 0, toPage = 0; // 0: all pages
};

class Report {
public:
    Report() = default;
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    QString name;
    QString title;           // also the preview window's caption when not empty
    // What the printed document is called ("Invoice 57", "Statement Zoë Müller"): set by the
    // caller before each preview; names the print job and the saved PDF's title.
    QString documentName;
    int pageWidth = 2100, pageHeight = 2970;
    int marginTop = 127, marginBottom = 127, marginLeft = 127, marginRight = 127;
    FontSpec defaultFont;
    ReportOptions options;
    bool printIfEmpty = true;
    PrinterSettings printer;
    ReportDataset* dataset = nullptr; // the bound dataset; not owned
    std::vector<Band> bands;

    // The width of every band: the printable width of A4 between 12.7 mm margins as the
    // printer driver reports it, 184.7 mm.
    int bandWidth = 1847;
    int printableWidth() const { return bandWidth; }

    // Adds a band; the model holds at most one band of each kind (a second replaces the first).
    Band& addBand(BandKind kind, int height, int frame = FrameNone, const QString& name = QString());
    Band* band(BandKind kind);
    const Band* band(BandKind kind) const;

    // Elements by name, compared without regard to case; nullptr when missing.
    Element* element(const QString& name);
    // Set at run time; they take effect at the next generation and stay until replaced.
    // Both throw zz::Exception when there is no such element of the right kind.
    void setMask(const QString& elementName, const QString& mask);
    void setCaption(const QString& elementName, const QString& caption);
    // The text of a QR code element; throws zz::Exception when there is no such element.
    void setQrText(const QString& elementName, const QString& text);

    bool isGenerating() const { return m_generating; }

private:
    friend class GeneratingGuard;
    bool m_generating = false;
};

} // namespace zz::report
