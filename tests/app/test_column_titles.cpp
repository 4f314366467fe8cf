// The windows' 8-point face and their grids: every column title of every grid of every window
// fits its column at the column's width, drawn in the face the windows use.
#include <QHeaderView>
#include <QStyleOptionHeader>

#include "app/Startup.h"
#include "tests/support/TestSupport.h"
#include "widgets/DBGrid.h"
#include "widgets/WindowKit.h"

using namespace zz;

class TestColumnTitles : public QObject {
    Q_OBJECT
private slots:
    void theFaceIsTheNarrowOneTheLayoutWasMadeFor()
    {
        // Wine's MS Sans Serif where it is installed, else Liberation Sans: either is narrower than
        // the system sans serif the windows were drawn in before.
        const QFont face = smallDialogFont();
        QVERIFY2(QStringList({"MS Sans Serif", "Liberation Sans"}).contains(QFontInfo(face).family()),
                 qPrintable(QFontInfo(face).family()));
        QCOMPARE(face.pointSize(), 8);
        QFont system(QStringLiteral("Sans Serif"));
        system.setPointSize(8);
        const QString sample = QStringLiteral("Invoice PayDate Unit Discount Customer Phone");
        QVERIFY(QFontMetrics(face).horizontalAdvance(sample) < QFontMetrics(system).horizontalAdvance(sample));
    }

    void everyColumnTitleFitsItsColumn()
    {
        test::TempHome home;
        test::RecordingSeam seam;
        createForms();
        int grids = 0, titles = 0;
        QStringList clipped, widths;
        for (const StartupForm& form : startupForms()) {
            auto* window = qobject_cast<QWidget*>(form.instance());
            if (!window)
                continue;
            for (TDBGrid* grid : window->findChildren<TDBGrid*>()) {
                ++grids;
                QHeaderView* header = grid->horizontalHeader();
                QCOMPARE(QFontInfo(header->font()).family(), QFontInfo(smallDialogFont()).family());
                QCOMPARE(header->font().pointSize(), 8);
                for (int i = 0; i < grid->columns().size(); ++i) {
                    const TColumn& column = grid->columns()[i];
                    QCOMPARE(header->sectionSize(i), column.width);
                    // Where the header draws a section's title, and what it cuts it to.
                    QStyleOptionHeader option;
                    option.initFrom(header);
                    option.rect = QRect(0, 0, column.width, header->height());
                    option.section = i;
                    option.text = column.title;
                    option.textAlignment = column.titleAlignment;
                    const QRect label = header->style()->subElementRect(QStyle::SE_HeaderLabel, &option, header);
                    const int needed = header->fontMetrics().horizontalAdvance(column.title);
                    const QString shown = header->fontMetrics().elidedText(column.title, Qt::ElideRight, label.width());
                    ++titles;
                    widths << QStringLiteral("%1 \"%2\" %3/%4").arg(window->objectName(), column.title).arg(needed).arg(label.width());
                    if (shown != column.title)
                        clipped << QStringLiteral("%1.%2 \"%3\": %4 px in %5 (column %6)")
                                       .arg(window->objectName(), grid->objectName(), column.title)
                                       .arg(needed)
                                       .arg(label.width())
                                       .arg(column.width);
                }
            }
        }
        destroyForms();
        qInfo("%s: %s", qPrintable(QFontInfo(smallDialogFont()).family()), qPrintable(widths.join(QStringLiteral(", "))));
        QVERIFY2(grids >= 8, qPrintable(QString::number(grids)));
        QVERIFY(titles >= 40);
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral("; "))));
    }
};

ZZ_TEST_MAIN(TestColumnTitles)
#include "test_column_titles.moc"
