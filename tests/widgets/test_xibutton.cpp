// The gradient button: its looks in every state, glyph and caption placement, and how the
// mouse, the keyboard and access keys click it.
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>

#include "tests/support/TestSupport.h"
#include "tests/widgets/WidgetTestUtil.h"
#include "widgets/Form.h"
#include "widgets/Glyphs.h"
#include "widgets/XiButton.h"

using namespace zz;
using namespace zz::test;

namespace {

// A glyph whose pixel (c, r) is rgb(0, 64 + 8c, 64 + 8r), with a magenta top-left pixel:
// any glyph pixel seen on the button tells where the glyph's origin lies.
QImage codedGlyph(int w, int h)
{
    QImage g(w, h, QImage::Format_RGB32);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
            g.setPixel(c, r, qRgb(0, 64 + 8 * c, 64 + 8 * r));
    g.setPixel(0, 0, qRgb(255, 0, 255));
    return g;
}

// The glyph origin decoded from the rendered button; (-1000, -1000) when no glyph pixel shows.
QPoint glyphOrigin(const QImage& img)
{
    for (int y = 1; y < img.height() - 1; ++y)
        for (int x = 1; x < img.width() - 1; ++x) {
            const QRgb p = img.pixel(x, y);
            if (qRed(p) == 0 && qGreen(p) >= 64 && qBlue(p) >= 64 && (qGreen(p) - 64) % 8 == 0 && (qBlue(p) - 64) % 8 == 0)
                return QPoint(x - (qGreen(p) - 64) / 8, y - (qBlue(p) - 64) / 8);
        }
    return QPoint(-1000, -1000);
}

QFont crispFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

void enter(QWidget* w)
{
    QEnterEvent e(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(w, &e);
}

void leave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

void moveHeld(QWidget* w, QPoint to)
{
    QMouseEvent e(QEvent::MouseMove, to, w->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

class TestXiButton : public QObject {
    Q_OBJECT
private slots:
    void defaults()
    {
        TXiButton b;
        QCOMPARE(b.size(), QSize(75, 25));
        QCOMPARE(b.colorScheme(), ButtonScheme::csNeoDesert);
        QVERIFY(b.ctl3D() && b.gradient() && b.hotTrack() && b.transparentGlyph() && b.tabStop());
        QCOMPARE(b.spacing(), 4);
        QCOMPARE(b.focusPolicy(), Qt::StrongFocus);
    }

    void schemeAndSingleColours()
    {
        TXiButton b;
        b.setColorScheme(ButtonScheme::csNeoRose);
        QCOMPARE(b.downColorFace(), TColor(10921727));
        QCOMPARE(b.disabledColorDark(), TColor(13816530));
        b.setOverColorBorder(1);
        QCOMPARE(b.colorScheme(), ButtonScheme::csCustom);
        // A flat scheme turns the gradient off and leaves the gradient ends alone.
        b.setColorScheme(ButtonScheme::csSilver);
        QVERIFY(!b.gradient());
        QCOMPARE(b.colorGrad(), TColor(9803263));
        b.setColorScheme(ButtonScheme::csNeoGrass);
        QVERIFY(b.gradient());
        QCOMPARE(b.overColorGrad(), TColor(4053111));
    }

    void neoSilverLooks_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QList<uint>>("set"); // face, grad, light, dark, border, text
        QTest::newRow("normal") << "normal" << QList<uint>{15987699, 12369084, 16250871, 10987431, 6447714, 0};
        QTest::newRow("hot") << "hot" << QList<uint>{15790320, 10921638, 15658734, 10658466, 7697781, 0};
        QTest::newRow("pressed") << "pressed" << QList<uint>{13290186, 14342874, 8158332, 15329769, 5131854, 0};
        QTest::newRow("disabled under the pointer") << "disabled"
                                                    << QList<uint>{15658734, 16777215, 16777215, 13816530, 8421504, 8421504};
    }
    void neoSilverLooks()
    {
        QFETCH(QString, state);
        QFETCH(QList<uint>, set);
        TXiButton b(QStringLiteral("&Save"));
        b.setColorScheme(ButtonScheme::csNeoSilver);
        b.setFont(crispFont());
        if (state == QLatin1String("hot"))
            enter(&b);
        if (state == QLatin1String("pressed"))
            QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(10, 10));
        if (state == QLatin1String("disabled")) {
            b.setEnabled(false);
            enter(&b);
        }

        for (bool ctl3D : {false, true}) {
            b.setCtl3D(ctl3D);
            const QImage img = rendered(&b);
            for (int x = 0; x < 75; ++x) {
                QCOMPARE(at(img, x, 0), set[4]);
                QCOMPARE(at(img, x, 24), set[4]);
            }
            for (int y = 0; y < 25; ++y) {
                QCOMPARE(at(img, 0, y), set[4]);
                QCOMPARE(at(img, 74, y), set[4]);
            }
            if (!ctl3D) {
                // The face runs from the face colour at the top towards the gradient end.
                for (int x = 1; x < 74; ++x) {
                    QCOMPARE(at(img, x, 1), expectedLine(set[0], set[1], 25, 1));
                    QCOMPARE(at(img, x, 23), expectedLine(set[0], set[1], 25, 23));
                }
            } else {
                for (int x = 1; x < 73; ++x)
                    QCOMPARE(at(img, x, 1), set[2]);
                for (int y = 1; y < 24; ++y)
                    QCOMPARE(at(img, 1, y), set[2]);
                for (int y = 1; y < 23; ++y)
                    QCOMPARE(at(img, 73, y), set[3]);
                for (int x = 2; x < 74; ++x)
                    QCOMPARE(at(img, x, 23), set[3]);
            }
            // The caption is drawn in the set's text colour.
            bool textSeen = false;
            for (int y = 2; y < 23 && !textSeen; ++y)
                for (int x = 2; x < 73 && !textSeen; ++x)
                    textSeen = at(img, x, y) == set[5];
            QVERIFY(textSeen);
        }
    }

    void glyphAndCaptionPlacement_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QSize>("button");
        QTest::addColumn<QSize>("glyph");
        QTest::addColumn<int>("spacing");
        QTest::addColumn<QString>("caption");
        const int left = int(ButtonLayout::blGlyphLeft), right = int(ButtonLayout::blGlyphRight);
        const int top = int(ButtonLayout::blGlyphTop), bottom = int(ButtonLayout::blGlyphBottom);
        QTest::newRow("left") << left << QSize(75, 25) << QSize(16, 16) << 4 << "&Save";
        QTest::newRow("right") << right << QSize(75, 25) << QSize(16, 16) << 4 << "&Save";
        QTest::newRow("top") << top << QSize(75, 25) << QSize(16, 16) << 4 << "&Save";
        QTest::newRow("bottom") << bottom << QSize(75, 25) << QSize(16, 16) << 4 << "&Save";
        QTest::newRow("left, odd sizes") << left << QSize(76, 26) << QSize(15, 15) << 5 << "&Save";
        QTest::newRow("right, odd sizes") << right << QSize(76, 26) << QSize(15, 15) << 5 << "&Save";
        QTest::newRow("top, odd sizes") << top << QSize(60, 51) << QSize(15, 15) << 5 << "&Save";
        QTest::newRow("bottom, odd sizes") << bottom << QSize(60, 51) << QSize(15, 15) << 5 << "&Save";
        QTest::newRow("glyph taller than the button") << left << QSize(40, 9) << QSize(16, 16) << 4 << "";
        QTest::newRow("no caption ignores spacing") << top << QSize(50, 50) << QSize(16, 16) << 9 << "";
    }
    void glyphAndCaptionPlacement()
    {
        QFETCH(int, layout);
        QFETCH(QSize, button);
        QFETCH(QSize, glyph);
        QFETCH(int, spacing);
        QFETCH(QString, caption);
        TXiButton b(caption);
        b.resize(button);
        b.setFont(crispFont());
        b.setColorScheme(ButtonScheme::csNeoSilver);
        b.setCtl3D(false);
        b.setSpacing(spacing);
        b.setGlyphLayout(ButtonLayout(layout));
        b.setColorText(rgbColor(255, 0, 0));
        b.setGlyph(codedGlyph(glyph.width(), glyph.height()));

        // Worked out by hand: text slot (TW x TH) centred, then shifted away from the glyph.
        const QFontMetrics fm(crispFont());
        const int W = button.width(), H = button.height(), GW = glyph.width(), GH = glyph.height();
        const int TW = fm.horizontalAdvance(caption), TH = fm.height();
        const int S = caption.isEmpty() ? 0 : spacing;
        int tx = (W - TW) / 2, ty = (H - TH) / 2, gx = 0, gy = 0;
        switch (ButtonLayout(layout)) {
        case ButtonLayout::blGlyphLeft:
            gx = tx - GW / 2 - (S / 2 + S % 2); gy = (H - GH) / 2; tx += GW / 2 + S / 2; break;
        case ButtonLayout::blGlyphRight:
            gx = tx + TW - GW / 2 + (S / 2 + S % 2); gy = (H - GH) / 2; tx -= GW / 2 + S / 2; break;
        case ButtonLayout::blGlyphTop:
            gx = (W - GW) / 2; gy = ty - GH / 2 - GH % 2 - (S / 2 + S % 2); ty += GH / 2 + S / 2; break;
        case ButtonLayout::blGlyphBottom:
            gx = (W - GW) / 2; gy = ty + TH - GH / 2 + (S / 2 + S % 2); ty -= GH / 2 + S / 2; break;
        }
        const QImage img = rendered(&b);
        QCOMPARE(glyphOrigin(img), QPoint(gx, gy));
        if (ButtonLayout(layout) == ButtonLayout::blGlyphLeft && GW == 16 && S == 4)
            QCOMPARE(tx - (gx + GW), 4); // the gap between glyph and text slot

        if (!caption.isEmpty()) {
            // The caption's ink: the text drawn at the hand-computed slot into an empty
            // picture, less what the border covers.
            const auto expectedInk = [&](int x0, int y0) {
                QImage ref(W, H, QImage::Format_RGB32);
                ref.fill(Qt::white);
                QPainter p(&ref);
                p.setFont(crispFont());
                p.setPen(Qt::red);
                p.drawText(QRect(x0, y0, TW, TH), Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextDontClip, caption);
                p.end();
                QRect box;
                for (int y = 1; y < H - 1; ++y)
                    for (int x = 1; x < W - 1; ++x)
                        if (ref.pixel(x, y) != qRgb(255, 255, 255))
                            box |= QRect(x, y, 1, 1);
                return box;
            };
            const auto ink = [&](const QImage& image) {
                QRect box;
                for (int y = 0; y < H; ++y)
                    for (int x = 0; x < W; ++x)
                        if (at(image, x, y) == rgbColor(255, 0, 0))
                            box |= QRect(x, y, 1, 1);
                return box;
            };
            QVERIFY(!expectedInk(tx, ty).isEmpty());
            QCOMPARE(ink(img), expectedInk(tx, ty));

            // Pressed, glyph and caption move one pixel right and one down.
            b.setDownColorText(rgbColor(255, 0, 0));
            QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(2, 2));
            const QImage down = rendered(&b);
            QCOMPARE(glyphOrigin(down), QPoint(gx + 1, gy + 1));
            QCOMPARE(ink(down), expectedInk(tx + 1, ty + 1));
        }
    }

    void captionUnderlinesItsAccessKey()
    {
        // "&Save" underlines its S; "Save" has no ink below the baseline at all.
        const QFontMetrics fm(crispFont());
        const int baseline = (25 - fm.height()) / 2 + fm.ascent();
        const auto inkBelowBaseline = [&](const QString& caption) {
            TXiButton b(caption);
            b.setFont(crispFont());
            const QImage img = rendered(&b);
            QRect box;
            for (int y = baseline + 1; y < 24; ++y)
                for (int x = 1; x < 74; ++x)
                    if (at(img, x, y) == clBlack)
                        box |= QRect(x, y, 1, 1);
            return box;
        };
        QVERIFY(inkBelowBaseline(QStringLiteral("Save")).isEmpty());
        const QRect underline = inkBelowBaseline(QStringLiteral("&Save"));
        QVERIFY(!underline.isEmpty());
        QVERIFY(underline.width() <= fm.horizontalAdvance(QLatin1Char('S')) + 1); // under the S only
    }

    void magentaShowsTheFace()
    {
        QImage g(16, 16, QImage::Format_RGB32);
        g.fill(qRgb(255, 0, 255));
        for (int y = 5; y < 11; ++y)
            for (int x = 5; x < 11; ++x)
                g.setPixel(x, y, qRgb(0, 0, 255));
        TXiButton b;
        b.setColorScheme(ButtonScheme::csNeoSilver);
        const QImage face = rendered(&b);
        b.setGlyph(g);
        const QImage withGlyph = rendered(&b);
        // The glyph is centred: origin ((75 - 16) / 2, (25 - 16) / 2) = (29, 4).
        QCOMPARE(differenceBox(face, withGlyph), QRect(29 + 5, 4 + 5, 6, 6));
        QCOMPARE(at(withGlyph, 29 + 7, 4 + 7), rgbColor(0, 0, 255));

        b.setTransparentGlyph(false);
        QCOMPARE(at(rendered(&b), 29 + 1, 4 + 1), rgbColor(255, 0, 255));
    }

    void mouseClicks()
    {
        TXiButton b(QStringLiteral("&Go"));
        QSignalSpy clicks(&b, &TXiButton::clicked);
        b.show();

        // Released over the button: one click, then the hot look.
        enter(&b);
        QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(b.look(), TXiButton::Look::Pressed);
        QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(b.look(), TXiButton::Look::Hot);

        // Pressed, dragged off and released outside: no click, the normal look.
        const QImage normal = [] { TXiButton n(QStringLiteral("&Go")); return rendered(&n); }();
        QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(10, 10));
        moveHeld(&b, QPoint(200, 10));
        QCOMPARE(b.look(), TXiButton::Look::Normal);
        moveHeld(&b, QPoint(12, 10)); // back over it while held: pressed again
        QCOMPARE(b.look(), TXiButton::Look::Pressed);
        moveHeld(&b, QPoint(12, 80));
        QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(12, 80));
        leave(&b);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(b.look(), TXiButton::Look::Normal);
        QCOMPARE(rendered(&b), normal);

        // Without hot tracking the button never looks hot.
        b.setHotTrack(false);
        enter(&b);
        QCOMPARE(b.look(), TXiButton::Look::Normal);
        QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(b.look(), TXiButton::Look::Normal);

        b.setEnabled(false);
        QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(10, 10));
        b.click();
        QCOMPARE(clicks.count(), 2);
    }

    void keyboardClicks()
    {
        QWidget window;
        auto edit = new QLineEdit(&window);
        auto b = new TXiButton(QStringLiteral("&Go"), &window);
        QSignalSpy clicks(b, &TXiButton::clicked);
        window.show();
        edit->setFocus();
        const QImage unfocused = rendered(b);
        QTest::keyClick(edit, Qt::Key_Tab); // Tab moves the focus onto the button
        QCOMPARE(window.focusWidget(), b);
        QCOMPARE(rendered(b), unfocused); // nothing marks the focus

        QTest::keyPress(b, Qt::Key_Space);
        QCOMPARE(b->look(), TXiButton::Look::Pressed);
        QCOMPARE(clicks.count(), 0);
        QTest::keyRelease(b, Qt::Key_Space);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(b->look(), TXiButton::Look::Normal);

        QTest::keyClick(b, Qt::Key_Return);
        QTest::keyClick(b, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(clicks.count(), 3);

        // Space held while the focus leaves: normal look, and its release clicks nothing.
        QTest::keyPress(b, Qt::Key_Space);
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(b, &out);
        QCOMPARE(b->look(), TXiButton::Look::Normal);
        QTest::keyRelease(b, Qt::Key_Space);
        QCOMPARE(clicks.count(), 3);
    }

    void accessKeys()
    {
        QCOMPARE(accessKeyOf(QStringLiteral("&Save")), QChar(u'S'));
        QCOMPARE(accessKeyOf(QStringLiteral("S&ubmit")), QChar(u'U'));
        QCOMPARE(accessKeyOf(QStringLiteral("R&&D")), QChar());
        QCOMPARE(accessKeyOf(QStringLiteral("R&&D &list")), QChar(u'L'));
        QCOMPARE(accessKeyOf(QStringLiteral("Trailing&")), QChar());

        QWidget window;
        auto edit = new QLineEdit(&window);
        auto save = new TXiButton(QStringLiteral("&Save"), &window);
        auto cancel = new TXiButton(QStringLiteral("&Cancel"), &window);
        auto hidden = new TXiButton(QStringLiteral("&Hidden"), &window);
        QSignalSpy saves(save, &TXiButton::clicked), cancels(cancel, &TXiButton::clicked), hiddens(hidden, &TXiButton::clicked);
        window.show();
        hidden->hide();

        // In an edit field a bare letter is typed; Alt with it clicks.
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_S);
        QCOMPARE(edit->text(), QStringLiteral("s"));
        QCOMPARE(saves.count(), 0);
        QTest::keyClick(edit, Qt::Key_S, Qt::AltModifier);
        QCOMPARE(saves.count(), 1);
        QCOMPARE(edit->text(), QStringLiteral("s"));

        // On a control that takes no typing the letter alone is enough.
        cancel->setFocus();
        QTest::keyClick(cancel, Qt::Key_S);
        QCOMPARE(saves.count(), 2);
        QTest::keyClick(cancel, Qt::Key_H, Qt::AltModifier);
        QCOMPARE(hiddens.count(), 0);
        QTest::keyClick(cancel, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(saves.count(), 2);

        // A disabled button ignores its access key.
        save->setEnabled(false);
        QTest::keyClick(edit, Qt::Key_S, Qt::AltModifier);
        QTest::keyClick(cancel, Qt::Key_S);
        QCOMPARE(saves.count(), 2);

        // Keys that reach another window click only that window's buttons.
        QWidget other;
        auto otherCancel = new TXiButton(QStringLiteral("&Cancel"), &other);
        QSignalSpy otherCancels(otherCancel, &TXiButton::clicked);
        other.show();
        QTest::keyClick(otherCancel, Qt::Key_C, Qt::AltModifier);
        QCOMPARE(otherCancels.count(), 1);
        QCOMPARE(cancels.count(), 0);
    }

    void modalResultReachesTheForm()
    {
        TForm form;
        auto zero = new TXiButton(QStringLiteral("&Close"), &form);
        auto three = new TXiButton(QStringLiteral("&Three"), &form);
        three->setModalResult(3);
        int seenInHandler = -1;
        connect(three, &TXiButton::clicked, [&] { seenInHandler = form.modalResult(); });

        three->click();
        QCOMPARE(seenInHandler, 3); // copied before the click handler runs
        QCOMPARE(form.modalResult(), 3);
        zero->click();
        QCOMPARE(form.modalResult(), 0);
    }

    void degenerateButtonsPaint()
    {
        TXiButton b(QStringLiteral("&Save"));
        b.setGlyph(codedGlyph(16, 16));
        for (const QSize size : {QSize(75, 0), QSize(0, 25), QSize(1, 1), QSize(2, 2)}) {
            b.resize(size);
            QCOMPARE(b.renderImage().size(), size.isEmpty() ? QSize(0, 0) : size);
        }
    }

    void glyphsOfTheWindows()
    {
        const QStringList small = {"search", "new", "edit", "delete", "cancel", "close", "save", "ok", "print",
                                   "map", "exit", "date", "pay", "create", "submit", "delete_line", "advance",
                                   "logo", "detail", "cancel_invoice"};
        const QStringList large = {"admin", "invoicing", "reports", "customer", "product", "company", "vat",
                                   "invoices", "unpaid", "cancelled", "view_invoice", "date_revenue", "month_end"};
        for (const auto& [names, size] : {std::pair(small, 16), std::pair(large, 50)})
            for (const QString& name : names) {
                const QImage g = glyph(name);
                QVERIFY2(g.size() == QSize(size, size), qPrintable(name));
                QVERIFY2(g.pixel(0, 0) == qRgb(255, 0, 255), qPrintable(name));
                // Something besides the background, and the background shows somewhere else too.
                int magenta = 0;
                for (int y = 0; y < size; ++y)
                    for (int x = 0; x < size; ++x)
                        magenta += g.pixel(x, y) == qRgb(255, 0, 255);
                QVERIFY2(magenta > 1 && magenta < size * size * 9 / 10, qPrintable(name));
            }
        QVERIFY(glyph(QStringLiteral("no such picture")).isNull());
        QVERIFY(glyphNames().contains(QStringLiteral("save")));
    }

    void mouseMovesAreReported()
    {
        TXiButton b;
        int moves = 0;
        connect(&b, &TXiButton::mouseMoved, [&] { ++moves; });
        QMouseEvent move(QEvent::MouseMove, QPointF(10, 10), QPointF(10, 10), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&b, &move);
        QCOMPARE(moves, 1);
    }
};

ZZ_TEST_MAIN(TestXiButton)
#include "test_xibutton.moc"
