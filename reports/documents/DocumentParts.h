#pragma once
// What the three documents' definitions share: the page and font set-up, element names in order,
// the logo square, rows of captioned particulars, column titles and the total amounts.
#include <QStringList>
#include <initializer_list>
#include <memory>
#include <utility>

#include "reports/engine/ReportDefinition.h"

namespace zz::report {

// A4 portrait, 12.7 mm margins, Arial 10 pt, printed even without rows, the page footer on the
// last page too, bound to `rows`.
std::unique_ptr<Report> newDocument(const QString& name, ReportDataset& rows);

// Element names numbered in the order the elements are made (QRLabel1, QRDBText1, ...), skipping
// the names a caller gives an element of its own.
class Names {
public:
    explicit Names(QStringList reserved = {}) : m_reserved(std::move(reserved)) {}
    QString label() { return next(QStringLiteral("QRLabel"), m_labels); }
    QString data() { return next(QStringLiteral("QRDBText"), m_data); }

private:
    QString next(const QString& prefix, int& counter);
    QStringList m_reserved;
    int m_labels = 0;
    int m_data = 0;
};

// The company's logo stretched to a 17.2 mm square at 2.1 mm, 2.1 mm.
void addLogo(Band& band, ReportDataset& company);

// Where the particulars stand: bold captions at leftCaption and rightCaption, values of fixed
// widths at leftValue and rightValue.
struct ParticularsColumns {
    int leftCaption, leftValue, leftWidth;
    int rightCaption, rightValue, rightWidth;
};
// One row of particulars at `top`: a caption and its value at the left, and (when given) a caption
// and its value at the right. Values are fields of `dataset` (the report's rows when null); a
// right field left null adds the caption alone.
void addParticulars(Band& band, Names& names, const ParticularsColumns& columns, int top, const char* leftCaption,
                    const char* leftField, const char* rightCaption = nullptr, const char* rightField = nullptr,
                    ReportDataset* dataset = nullptr);

// Bold column titles at one top, each at its left edge.
void addColumnTitles(Band& band, Names& names, int top, std::initializer_list<std::pair<int, const char*>> titles);

// A total in the amount column: an expression 23.5 mm wide.
Element amount(const QString& name, const QString& expression, int left, int top);

} // namespace zz::report
