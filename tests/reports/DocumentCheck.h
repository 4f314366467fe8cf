#pragma once
// Looking into generated documents: the items and texts an element printed, the element showing
// a field or a caption, and the comparison with an expected page dump in ZZ_EXPECTED_DIR
// (ZZ_REGENERATE=1 rewrites the file and fails, so that a new dump is reviewed before a test
// passes against it).
#include <QFile>
#include <QtTest>

#include "reports/engine/ReportDefinition.h"
#include "reports/engine/ReportDocument.h"

namespace zz::test {

// What an element (or a band, by its frame lines) drew, without its white fills; on every page
// or on one.
inline QList<const report::PageItem*> itemsOf(const report::ReportDocument& doc, const QString& tag, int page = -1)
{
    QList<const report::PageItem*> items;
    for (int p = 0; p < doc.pageCount(); ++p)
        if (page < 0 || p == page)
            for (const report::PageItem& it : doc.pages[p].items)
                if (doc.tags.value(it.tag) == tag && it.kind != report::ItemKind::Fill)
                    items << &it;
    return items;
}

inline QStringList textsOf(const report::ReportDocument& doc, const QString& tag, int page = -1)
{
    QStringList texts;
    for (const report::PageItem* it : itemsOf(doc, tag, page))
        if (it->kind == report::ItemKind::Text)
            texts << it->text;
    return texts;
}

// The name of the data text showing a field (of one dataset, when given).
inline QString elementOf(const report::Report& r, const QString& field, const report::ReportDataset* dataset = nullptr)
{
    for (const report::Band& b : r.bands)
        for (const report::Element& e : b.elements)
            if (e.kind == report::ElementKind::DataText && e.dataField == field && (!dataset || e.dataset == dataset))
                return e.name;
    return {};
}

// The name of the label with a caption.
inline QString labelOf(const report::Report& r, const QString& caption)
{
    for (const report::Band& b : r.bands)
        for (const report::Element& e : b.elements)
            if (e.kind == report::ElementKind::Label && e.caption == caption)
                return e.name;
    return {};
}

inline void compareWithExpected(const report::ReportDocument& doc, const QString& name)
{
    const QString path = QStringLiteral(ZZ_EXPECTED_DIR "/%1.txt").arg(name);
    const QString actual = doc.dump();
    if (qEnvironmentVariableIntValue("ZZ_REGENERATE") == 1) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(actual.toUtf8());
        QFAIL(qPrintable(QStringLiteral("%1 regenerated; review it and run again without ZZ_REGENERATE").arg(path)));
    }
    QFile in(path);
    QVERIFY2(in.open(QIODevice::ReadOnly), qPrintable(QStringLiteral("missing %1 (run with ZZ_REGENERATE=1)").arg(path)));
    const QStringList expected = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'));
    const QStringList got = actual.split(QLatin1Char('\n'));
    for (int i = 0; i < qMax(expected.size(), got.size()); ++i)
        QCOMPARE(got.value(i), expected.value(i));
}

} // namespace zz::test
