#include "widgets/XiPanel.h"

#include <QAccessible>
#include <QEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>
#include <cmath>

namespace zz {

namespace {

// One bevel ring: left and top sides in the first colour (the bottom-left corner included),
// right and bottom sides in the second (the top-right corner included).
void paintRing(QPainter& painter, int ring, int width, int height, const QColor& first,
               const QColor& second)
{
    const int left = ring, top = ring, right = width - ring - 1, bottom = height - ring - 1;
    if (right < left || bottom < top)
        return;
    painter.fillRect(QRect(left, top, right - left, 1), first);
    painter.fillRect(QRect(left, top, 1, bottom - top + 1), first);
    painter.fillRect(QRect(right, top, 1, bottom - top + 1), second);
    painter.fillRect(QRect(left + 1, bottom, right - left, 1), second);
}

} // namespace

TXiPanel::TXiPanel(QWidget* parent) : QWidget(parent)
{
    // The paint covers every pixel, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setColorScheme(PanelScheme::csDesert);
}

void TXiPanel::setColorFace(TColor color) { m_colorFace = color; update(); }
void TXiPanel::setColorGrad(TColor color) { m_colorGrad = color; update(); }
void TXiPanel::setColorLight(TColor color) { m_colorLight = color; update(); }
void TXiPanel::setColorDark(TColor color) { m_colorDark = color; update(); }

void TXiPanel::setColorScheme(PanelScheme scheme)
{
    m_scheme = scheme;
    if (scheme != PanelScheme::csCustom) {
        const PanelSchemeColors colors = panelSchemeColors(scheme);
        m_colorFace = clWhite;
        m_colorGrad = colors.grad;
        m_colorLight = colors.light;
        m_colorDark = colors.dark;
    }
    update();
}

void TXiPanel::setFillDirection(FillDirection direction) { m_direction = direction; update(); }
void TXiPanel::setCaption(const QString& caption)
{
    m_caption = caption;
    update();
    // Only while an assistive program listens: the event makes the panel's accessible interface.
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}
void TXiPanel::setAlignment(Qt::Alignment alignment) { m_alignment = alignment; update(); }
void TXiPanel::setBevelOuter(BevelCut bevel) { m_bevelOuter = bevel; update(); }
void TXiPanel::setBevelInner(BevelCut bevel) { m_bevelInner = bevel; update(); }
void TXiPanel::setBevelWidth(int width) { m_bevelWidth = qMax(0, width); update(); }
void TXiPanel::setFontColor(const QColor& color) { m_fontColor = color; update(); }

void TXiPanel::paintBevel(QPainter& painter, int firstRing, BevelCut cut) const
{
    if (cut == BevelCut::bvNone)
        return;
    const QColor light = toQColor(m_colorLight), dark = toQColor(m_colorDark);
    const bool lowered = cut == BevelCut::bvLowered;
    for (int k = 0; k < m_bevelWidth; ++k)
        paintRing(painter, firstRing + k, width(), height(), lowered ? dark : light, lowered ? light : dark);
}

QImage TXiPanel::renderImage(qreal devicePixelRatio) const
{
    const int w = width(), h = height();
    QImage image(qCeil(w * devicePixelRatio), qCeil(h * devicePixelRatio), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.setDevicePixelRatio(devicePixelRatio);
    // Text on the image is sized for the widget's own screen resolution.
    image.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    // A diagonal fill leaves the left column alone; it keeps the start colour. The other fills
    // cover every pixel, except perhaps a last device pixel at a fractional pixel ratio.
    if (m_direction == FillDirection::fdDiagonal || devicePixelRatio != std::floor(devicePixelRatio))
        image.fill(toQColor(m_colorFace));

    QPainter painter(&image);
    paintGradient(painter, w, h, m_colorFace, m_colorGrad, m_direction);

    if (!m_caption.isEmpty()) {
        painter.setFont(font());
        painter.setPen(m_fontColor);
        const QFontMetrics metrics = painter.fontMetrics();
        const int captionWidth = metrics.horizontalAdvance(m_caption);
        const bool bothBevels = m_bevelOuter != BevelCut::bvNone && m_bevelInner != BevelCut::bvNone;
        int x;
        if (m_alignment & Qt::AlignLeft)
            x = m_bevelWidth + 2 + (bothBevels ? m_bevelWidth : 0);
        else if (m_alignment & Qt::AlignRight)
            x = w - m_bevelWidth - captionWidth - 2 - (bothBevels ? m_bevelWidth : 0);
        else
            x = (w - captionWidth) / 2;
        // The height of the text "AaBbCcDd" is the font's line height.
        const int y = (h - metrics.height()) / 2;
        painter.drawText(QPoint(x, y + metrics.ascent()), m_caption);
    }

    paintBevel(painter, 0, m_bevelOuter);
    paintBevel(painter, m_bevelOuter != BevelCut::bvNone ? m_bevelWidth : 0, m_bevelInner);
    return image;
}

void TXiPanel::paintEvent(QPaintEvent*)
{
    const QImage image = renderImage(devicePixelRatioF());
    if (image.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), image);
}

void TXiPanel::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMoved();
    QWidget::mouseMoveEvent(event);
}

void TXiPanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}

} // namespace zz
