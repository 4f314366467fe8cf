#include "invoicing/QueryListForm.h"

#include "data/DataMod.h"

namespace zz {

namespace {
constexpr int kBand = 41;
} // namespace

TQueryListForm::TQueryListForm(const QString& caption, int clientWidth, int clientHeight,
                               TDataSource* TDataModule1::*source, QWidget* parent)
    : TListForm(caption, clientWidth, clientHeight, nullptr, source, parent)
{
}

void TQueryListForm::makeBands(TXiPanel*& heading, const char* headingName, TXiPanel*& bar, const char* barName,
                               const std::function<QList<TColumn>(const QFontMetrics&)>& columns)
{
    m_heading = heading = new TXiPanel(this);
    m_bar = bar = new TXiPanel(this);
    heading->setObjectName(QLatin1String(headingName));
    bar->setObjectName(QLatin1String(barName));
    for (TXiPanel* panel : {heading, bar}) {
        panel->setColorScheme(PanelScheme::csSilver);
        panel->setFillDirection(FillDirection::fdVertical);
    }
    makeGrid(this, QRect(0, kBand, width(), height() - 2 * kBand), true, true, columns);
    btnClose = makeButton(bar, QStringLiteral("btnClose"), QStringLiteral("&Close"), QStringLiteral("close"),
                          ButtonScheme::csNeoSilver, width() - 91, 8);
    connect(btnClose, &TXiButton::clicked, this, &TListForm::btnCloseClick);
    placeBands();
}

QLabel* TQueryListForm::makeHeadingLabel(const QString& name, const QString& text)
{
    m_headingLabel = makeHeading(m_heading, name, text, m_heading->width(), kBand);
    return m_headingLabel;
}

void TQueryListForm::resizeEvent(QResizeEvent* event)
{
    TListForm::resizeEvent(event);
    placeBands();
}

void TQueryListForm::placeBands()
{
    if (!m_heading)
        return;
    m_heading->setGeometry(0, 0, width(), kBand);
    if (m_headingLabel)
        m_headingLabel->setGeometry(0, 0, width(), kBand);
    DBGrid1->setGeometry(0, kBand, width(), std::max(0, height() - 2 * kBand));
    m_bar->setGeometry(0, height() - kBand, width(), kBand);
}

} // namespace zz
