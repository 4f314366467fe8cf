// The report's line breaker: where an element's text breaks into printed lines.
#include <QtTest>

#include "reports/engine/FontFace.h"
#include "tests/support/TestSupport.h"
#include "reports/engine/LineBreaker.h"

using namespace zz::report;

namespace {
QStringList texts(const QString& text, const std::vector<TextLine>& lines)
{
    QStringList out;
    for (const TextLine& l : lines)
        out << text.mid(l.start, l.length);
    return out;
}
} // namespace

class TestLineBreaker : public QObject {
    Q_OBJECT

    const FontFace* m_face = nullptr;
    float m_em = 0;

    float widthOf(const QString& s) const { return m_face->width(s) * m_em; }

private slots:
    void initTestCase()
    {
        m_face = &FontFace::get(QStringLiteral("Arial"), false, false);
        m_em = FontFace::emToTenths(10);
    }

    // Without a width only the line breaks count, in each of their three spellings; blanks at a
    // line's end are not part of it, and each line is measured in the face.
    void breaksOnlyAtLineBreaksWithoutWidth()
    {
        const QString text = QStringLiteral("Invoice  \nTotal due\r\nPaid\rend");
        std::vector<TextLine> lines{{7, 7, 7.0f}}; // left over from an earlier element
        breakLines(text, *m_face, m_em, -1.0f, 10, lines);
        QCOMPARE(texts(text, lines), (QStringList{"Invoice", "Total due", "Paid", "end"}));
        QCOMPARE(lines[1].width, widthOf(QStringLiteral("Total due")));
        QCOMPARE(lines[0].width, widthOf(QStringLiteral("Invoice")));
    }

    // With a width the text breaks at the last space that keeps the line within it; the blanks
    // at the break start no line. A word wider than the width stays whole on its own line.
    void wrapsAtSpacesWithinTheWidth()
    {
        const QString text = QStringLiteral("Pay within   thirty days Supercalifragilistic");
        const float width = widthOf(QStringLiteral("Pay within"));
        std::vector<TextLine> lines;
        breakLines(text, *m_face, m_em, width, 10, lines);
        QCOMPARE(texts(text, lines), (QStringList{"Pay within", "thirty days", "Supercalifragilistic"}));
        for (std::size_t i = 0; i + 1 < lines.size(); ++i)
            QVERIFY(lines[i].width <= width + 0.01f);
        QVERIFY(lines.back().width > width);
    }

    // No more lines than the element holds; an empty text is one empty line.
    void keepsToTheLinesTheElementHolds()
    {
        const QString text = QStringLiteral("one two three\nfour");
        std::vector<TextLine> lines;
        breakLines(text, *m_face, m_em, widthOf(QStringLiteral("one")), 2, lines);
        QCOMPARE(texts(text, lines), (QStringList{"one", "two"}));
        breakLines(text, *m_face, m_em, -1.0f, 1, lines);
        QCOMPARE(texts(text, lines), (QStringList{"one two three"}));
        breakLines(QString(), *m_face, m_em, 100.0f, 3, lines);
        QCOMPARE(int(lines.size()), 1);
        QCOMPARE(lines[0].length, 0);
        QCOMPARE(lines[0].width, 0.0f);
    }
};

ZZ_TEST_MAIN(TestLineBreaker)
#include "test_line_breaker.moc"
