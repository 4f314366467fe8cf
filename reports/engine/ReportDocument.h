#pragma once
// A generated report, independent of any device: pages of drawing items in tenths of a
// millimetre from the paper's top-left corner. Drawn by the page renderers (screen, printer,
// PDF) and saved or loaded in the engine's own file format.
#include <QImage>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <vector>

namespace zz::report {

struct DocFont {
    QString family;
    float pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool operator==(const DocFont& o) const
    {
        return pointSize == o.pointSize && bold == o.bold && italic == o.italic && family == o.family;
    }
};

enum class ItemKind : quint8 { Text, Line, Fill, Image };
enum ItemFlag : quint8 { ItemClip = 1 };

struct PageItem {
    ItemKind kind = ItemKind::Text;
    quint8 flags = 0;
    quint16 font = 0;   // Text: index into fonts
    quint16 tag = 0;    // index into tags: the band or element that produced the item
    quint32 image = 0;  // Image: index into images
    QRgb color = 0xff000000;
    // Text: the element's rectangle (the clip when ItemClip is set); Fill and Image: the
    // rectangle; Line: from (x, y) to (w, h).
    float x = 0, y = 0, w = 0, h = 0;
    // Text: where the glyphs start (x) and the baseline (y).
    float tx = 0, ty = 0;
    QString text;
};

struct Page {
    std::vector<PageItem> items;
};

class ReportDocument {
public:
    int pageWidth = 2100;
    int pageHeight = 2970;
    QString title;
    // The document's name: the print job's name and the saved PDF's title (empty: unnamed).
    QString documentName;
    std::vector<DocFont> fonts;
    std::vector<QImage> images;
    QStringList tags;
    std::vector<Page> pages;

    int pageCount() const { return static_cast<int>(pages.size()); }
    quint16 fontIndex(const DocFont& font);
    quint16 tagIndex(const QString& tag);
    quint32 imageIndex(const QImage& image);
    void clear() { *this = ReportDocument(); }

    // The name a print job or a saved PDF goes by: the document's name, else its title,
    // else "Report".
    QString jobName() const;

    // The engine's own file format: a versioned header, a checksum and a compressed body.
    void save(QIODevice& device) const;
    // Reads a saved report; throws zz::Exception for a foreign, damaged or newer file.
    static ReportDocument load(QIODevice& device);
    bool operator==(const ReportDocument& other) const;

    // A readable listing of every page and item, for review and comparison.
    QString dump() const;
};

} // namespace zz::report
