#include "reports/engine/ReportGenerator.h"

#include "data/FieldText.h"
#include "data/Logo.h"
#include "reports/engine/Generator.h"

namespace zz::report {

class GeneratingGuard {
public:
    explicit GeneratingGuard(Report& r) : m_report(r) { m_report.m_generating = true; }
    ~GeneratingGuard() { m_report.m_generating = false; }

private:
    Report& m_report;
};

QString fieldDisplayText(const ReportDataset& dataset, int field)
{
    return fieldText(dataset.fieldType(field), dataset.value(field), dataset.displayFormat(field));
}

QImage decodeStoredPicture(const QVariant& value)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QImage)
        return value.value<QImage>();
    const QByteArray bytes = value.toByteArray();
    QImage image = decodeLogo(bytes);
    // A dataset of another kind may hold a picture in another format.
    if (image.isNull() && !bytes.isEmpty())
        image.loadFromData(logoImageBytes(bytes));
    return image;
}

GenerationResult generateReport(Report& report, ReportDocument& document, GenerationObserver* observer)
{
    GeneratingGuard guard(report);
    Generator generator(report, document, observer);
    return generator.run();
}

} // namespace zz::report
