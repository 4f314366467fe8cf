// The gradient panel: its gradient lines, bevel rings and caption placement, checked pixel by
// pixel on what the panel paints.
#include <QPainter>

#include "tests/support/TestSupport.h"
#include "tests/widgets/WidgetTestUtil.h"
#include "widgets/XiPanel.h"

using namespace zz;
using namespace zz::test;

class TestXiPanel : public QObject {
    Q_OBJECT
private slots:
    void silverButtonBar()
    {
        // A 41-pixel csSilver bar with the default raised bevel of width 1.
        TXiPanel bar;
        bar.setColorScheme(PanelScheme::csSilver);
        bar.resize(120, 41);
        const QImage img = rendered(&bar);
        const TColor light = 8224125, dark = 6447714, end = 14344414;

        for (int x = 0; x < 119; ++x)
            QCOMPARE(at(img, x, 0), light);
        for (int y = 0; y < 41; ++y) {
            QCOMPARE(at(img, 0, y), light);  // the bottom-left corner takes the first colour
            QCOMPARE(at(img, 119, y), dark); // the top-right corner takes the second
        }
        for (int x = 1; x < 120; ++x)
            QCOMPARE(at(img, x, 40), dark);
        for (int y : {1, 20, 39})
            for (int x = 1; x < 119; ++x)
                QCOMPARE(at(img, x, y), expectedLine(clWhite, end, 41, y));

        // Without the bevel the first and the last rows show: white, and one step short of the end.
        bar.setBevelOuter(BevelCut::bvNone);
        const QImage flat = rendered(&bar);
        QCOMPARE(at(flat, 0, 0), clWhite);
        QCOMPARE(at(flat, 60, 20), expectedLine(clWhite, end, 41, 20));
        QCOMPARE(at(flat, 119, 40), expectedLine(clWhite, end, 41, 40));
        QVERIFY(at(flat, 119, 40) != end);
    }

    void gradientRoundsHalvesToEven()
    {
        // Red 0 to 10 in 4 steps: 0, 2.5, 5, 7.5, 10 -> 0, 2, 5, 8, 10.
        const QVector<QRgb> lines = gradientLineColors(0, rgbColor(10, 0, 255), 4);
        QCOMPARE(lines.size(), 5);
        const int reds[] = {0, 2, 5, 8, 10};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(qRed(lines[i]), reds[i]);
        QCOMPARE(qBlue(lines[2]), 128); // 127.5 -> 128
        QCOMPARE(qRed(gradientLineColors(0, rgbColor(1, 0, 0), 2)[1]), 0); // 0.5 -> 0
        // A falling channel: 255 to 0 in 2 steps passes 127.5 -> 128.
        QCOMPARE(qGreen(gradientLineColors(rgbColor(0, 255, 0), 0, 2)[1]), 128);
        QVERIFY(gradientLineColors(clWhite, clBlack, 0).isEmpty());
    }

    void horizontalAndDiagonalFills()
    {
        TXiPanel panel;
        panel.setColorScheme(PanelScheme::csSky);
        panel.setBevelOuter(BevelCut::bvNone);
        panel.resize(30, 10);
        const TColor grad = panel.colorGrad();

        panel.setFillDirection(FillDirection::fdHorizontal);
        QImage img = rendered(&panel);
        for (int x : {0, 13, 29})
            for (int y : {0, 9})
                QCOMPARE(at(img, x, y), expectedLine(clWhite, grad, 30, x));

        // Diagonal: pixel (x, y) lies on line x + y, which stops short of the left column.
        panel.setFillDirection(FillDirection::fdDiagonal);
        img = rendered(&panel);
        for (const QPoint p : {QPoint(1, 0), QPoint(5, 3), QPoint(29, 9), QPoint(12, 7)})
            QCOMPARE(at(img, p.x(), p.y()), expectedLine(clWhite, grad, 40, p.x() + p.y()));
        QCOMPARE(at(img, 0, 9), clWhite);
    }

    void degenerateSizesPaintWithoutFault()
    {
        TXiPanel panel;
        panel.setCaption(QStringLiteral("Empty"));
        for (const QSize size : {QSize(0, 0), QSize(50, 0), QSize(0, 41), QSize(1, 1), QSize(2, 1)}) {
            panel.resize(size);
            for (FillDirection d : {FillDirection::fdHorizontal, FillDirection::fdVertical, FillDirection::fdDiagonal}) {
                panel.setFillDirection(d);
                const QImage img = panel.renderImage();
                QCOMPARE(img.size(), size.isEmpty() ? QSize(0, 0) : size);
            }
        }
    }

    void bevelRings()
    {
        TXiPanel panel;
        panel.setColorScheme(PanelScheme::csGrass);
        panel.resize(40, 30);
        panel.setBevelWidth(2);
        panel.setBevelInner(BevelCut::bvLowered);
        const TColor light = panel.colorLight(), dark = panel.colorDark();
        QImage img = rendered(&panel);
        // Rings 0 and 1 raised, rings 2 and 3 lowered, then the gradient.
        for (int k = 0; k < 4; ++k) {
            const bool raised = k < 2;
            QCOMPARE(at(img, 20, k), raised ? light : dark);
            QCOMPARE(at(img, k, 15), raised ? light : dark);
            QCOMPARE(at(img, 39 - k, 15), raised ? dark : light);
            QCOMPARE(at(img, 20, 29 - k), raised ? dark : light);
        }
        QCOMPARE(at(img, 20, 4), expectedLine(clWhite, panel.colorGrad(), 30, 4));

        // An inner bevel without an outer one starts at the edge.
        panel.setBevelOuter(BevelCut::bvNone);
        img = rendered(&panel);
        QCOMPARE(at(img, 20, 0), dark);
        QCOMPARE(at(img, 39, 15), light);
        QCOMPARE(at(img, 20, 2), expectedLine(clWhite, panel.colorGrad(), 30, 2));
    }

    void schemesAndColours()
    {
        TXiPanel panel;
        QCOMPARE(panel.colorScheme(), PanelScheme::csDesert);
        QCOMPARE(panel.colorGrad(), TColor(10805759));
        panel.setColorFace(255);
        panel.setColorScheme(PanelScheme::csRose);
        QCOMPARE(panel.colorFace(), clWhite);
        QCOMPARE(panel.colorGrad(), TColor(13421823));
        QCOMPARE(panel.colorLight(), TColor(414156));
        QCOMPARE(panel.colorDark(), TColor(157));
        panel.setColorGrad(42);
        QCOMPARE(panel.colorScheme(), PanelScheme::csRose); // a single colour keeps the scheme
        panel.setColorScheme(PanelScheme::csCustom);
        QCOMPARE(panel.colorGrad(), TColor(42));
        QCOMPARE(toQColor(rgbColor(1, 2, 3)), QColor(1, 2, 3));
        QCOMPARE(toQColor(16777215), QColor(Qt::white));
        QCOMPARE(toQColor(157), QColor(157, 0, 0)); // red sits in the lowest byte
    }

    void captionPlacement()
    {
        TXiPanel panel;
        panel.resize(200, 41);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(13);
        font.setStyleStrategy(QFont::NoAntialias);
        panel.setFont(font);
        panel.setBevelWidth(3);
        const QImage blank = rendered(&panel);
        const QString caption = QStringLiteral("A&b");
        panel.setCaption(caption);

        // Where the caption's ink lies when drawn at the origin of an empty picture.
        const QFontMetrics fm(font);
        QImage ref(200, 41, QImage::Format_RGB32);
        ref.fill(Qt::white);
        {
            QPainter p(&ref);
            p.setFont(font);
            p.drawText(QPoint(0, fm.ascent()), caption); // the ampersand is drawn as it is
        }
        QImage white(200, 41, QImage::Format_RGB32);
        white.fill(Qt::white);
        const QRect ink = differenceBox(ref, white);
        QVERIFY(!ink.isEmpty());
        const int cw = fm.horizontalAdvance(caption);
        const int y = (41 - fm.height()) / 2;

        panel.setAlignment(Qt::AlignHCenter);
        QCOMPARE(differenceBox(rendered(&panel), blank), ink.translated((200 - cw) / 2, y));
        panel.setAlignment(Qt::AlignLeft);
        QCOMPARE(differenceBox(rendered(&panel), blank), ink.translated(3 + 2, y));
        panel.setAlignment(Qt::AlignRight);
        QCOMPARE(differenceBox(rendered(&panel), blank), ink.translated(200 - 3 - cw - 2, y));

        // With both bevels a left caption moves right, a right caption left, by the bevel width.
        panel.setBevelInner(BevelCut::bvRaised);
        const QImage blankBoth = [&] {
            TXiPanel other;
            other.resize(200, 41);
            other.setBevelWidth(3);
            other.setBevelInner(BevelCut::bvRaised);
            return rendered(&other);
        }();
        QCOMPARE(differenceBox(rendered(&panel), blankBoth), ink.translated(200 - 3 - cw - 2 - 3, y));
        panel.setAlignment(Qt::AlignLeft);
        QCOMPARE(differenceBox(rendered(&panel), blankBoth), ink.translated(3 + 2 + 3, y));
    }

    void highDevicePixelRatio()
    {
        TXiPanel bar;
        bar.setColorScheme(PanelScheme::csSilver);
        bar.resize(60, 41);
        const QImage img = bar.renderImage(2.0).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(img.size(), QSize(120, 82));
        for (int dy : {0, 1}) {
            QCOMPARE(at(img, 60, dy), TColor(8224125));      // logical row 0: the frame
            QCOMPARE(at(img, 119, 40 + dy), TColor(6447714)); // logical right column
            QCOMPARE(at(img, 60, 40 + dy), expectedLine(clWhite, 14344414, 41, 20));
            QCOMPARE(at(img, 60, 80 + dy), TColor(6447714));  // logical row 40: the frame
        }
    }

    void mouseMovesAreReported()
    {
        TXiPanel panel;
        panel.resize(100, 41);
        int moves = 0;
        connect(&panel, &TXiPanel::mouseMoved, [&] { ++moves; });
        QMouseEvent move(QEvent::MouseMove, QPointF(10, 10), QPointF(10, 10), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&panel, &move);
        QCOMPARE(moves, 1);
    }
};

ZZ_TEST_MAIN(TestXiPanel)
#include "test_xipanel.moc"
