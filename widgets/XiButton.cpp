#include "widgets/XiButton.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QtMath>

#include "widgets/Form.h"
#include "widgets/Gradient.h"
#include "widgets/Handlers.h"

namespace zz {

TXiButton::TXiButton(QWidget* parent) : QWidget(parent) { init(); }

TXiButton::TXiButton(const QString& caption, QWidget* parent) : QWidget(parent)
{
    init();
    setCaption(caption);
}

TXiButton::~TXiButton() = default;

void TXiButton::init()
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    resize(75, 25);
    setColorScheme(ButtonScheme::csNeoDesert);
    ensureAccessKeyFilter();
}

void TXiButton::setColor(TColor& slot, TColor value)
{
    slot = value;
    m_scheme = ButtonScheme::csCustom;
    update();
}

void TXiButton::setColorScheme(ButtonScheme scheme)
{
    m_scheme = scheme;
    if (scheme != ButtonScheme::csCustom) {
        const ButtonSchemeColors colors = buttonSchemeColors(scheme);
        m_gradient = isGradientScheme(scheme);
        if (m_gradient) {
            m_normal = colors.normal;
            m_over = colors.over;
            m_down = colors.down;
            m_disabled = colors.disabled;
        } else {
            // A flat scheme keeps the four gradient-end colours.
            auto keepGrad = [](ButtonColors& slot, const ButtonColors& from) {
                const TColor grad = slot.grad;
                slot = from;
                slot.grad = grad;
            };
            keepGrad(m_normal, colors.normal);
            keepGrad(m_over, colors.over);
            keepGrad(m_down, colors.down);
            keepGrad(m_disabled, colors.disabled);
        }
    }
    update();
}

void TXiButton::setCtl3D(bool on) { m_ctl3D = on; update(); }
void TXiButton::setGlyphLayout(ButtonLayout layout) { m_layout = layout; update(); }
void TXiButton::setSpacing(int spacing) { m_spacing = spacing; update(); }
void TXiButton::setGradient(bool on) { m_gradient = on; update(); }
void TXiButton::setHotTrack(bool on) { m_hotTrack = on; }

void TXiButton::setGlyph(const QImage& glyph)
{
    m_glyph = glyph;
    prepareGlyph();
    update();
}

void TXiButton::setTransparentGlyph(bool on)
{
    m_transparentGlyph = on;
    prepareGlyph();
    update();
}

void TXiButton::prepareGlyph()
{
    if (m_glyph.isNull()) {
        m_drawnGlyph = QImage();
        return;
    }
    m_drawnGlyph = m_glyph.convertToFormat(QImage::Format_ARGB32);
    m_drawnGlyph.setDevicePixelRatio(1.0);
    if (!m_transparentGlyph)
        return;
    const QRgb key = m_drawnGlyph.pixel(0, 0) & RGB_MASK;
    for (int y = 0; y < m_drawnGlyph.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(m_drawnGlyph.scanLine(y));
        for (int x = 0; x < m_drawnGlyph.width(); ++x)
            if ((line[x] & RGB_MASK) == key)
                line[x] = 0;
    }
}

void TXiButton::setCaption(const QString& caption)
{
    m_caption = caption;
    m_accessKey = accessKeyOf(caption);
    update();
    // Only while an assistive program listens: the event makes the button's accessible interface.
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void TXiButton::setTabStop(bool on)
{
    m_tabStop = on;
    // Without the tab stop the button still takes the focus when clicked.
    setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}

const ButtonColors& TXiButton::currentColors() const
{
    if (!isEnabled())
        return m_disabled;
    switch (m_look) {
    case Look::Hot: return m_over;
    case Look::Pressed: return m_down;
    case Look::Normal: break;
    }
    return m_normal;
}

QImage TXiButton::renderImage(qreal devicePixelRatio) const
{
    const int w = width(), h = height();
    QImage image(qCeil(w * devicePixelRatio), qCeil(h * devicePixelRatio), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.setDevicePixelRatio(devicePixelRatio);
    image.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));

    const ButtonColors& colors = currentColors();
    const bool pressed = isEnabled() && m_look == Look::Pressed;
    image.fill(toQColor(colors.face));
    QPainter painter(&image);
    if (m_gradient)
        paintGradient(painter, w, h, colors.face, colors.grad, FillDirection::fdVertical);

    // Text metrics are taken with the ampersand included.
    painter.setFont(font());
    const QFontMetrics metrics = painter.fontMetrics();
    const int textWidth = metrics.horizontalAdvance(m_caption);
    const int textHeight = metrics.height();
    int tx = (w - textWidth) / 2;
    int ty = (h - textHeight) / 2;

    if (!m_drawnGlyph.isNull()) {
        const int gw = m_drawnGlyph.width(), gh = m_drawnGlyph.height();
        // The spacing counts only beside a caption. Integer division truncates toward zero.
        const int s = m_caption.isEmpty() ? 0 : m_spacing;
        const int sHalfUp = s / 2 + s % 2;
        int gx = 0, gy = 0;
        switch (m_layout) {
        case ButtonLayout::blGlyphLeft:
            gy = (h - gh) / 2;
            gx = tx - gw / 2 - sHalfUp;
            tx = tx + gw / 2 + s / 2;
            break;
        case ButtonLayout::blGlyphRight:
            gy = (h - gh) / 2;
            gx = tx + textWidth - gw / 2 + sHalfUp;
            tx = tx - gw / 2 - s / 2;
            break;
        case ButtonLayout::blGlyphTop:
            gx = (w - gw) / 2;
            gy = ty - gh / 2 - gh % 2 - sHalfUp;
            ty = ty + gh / 2 + s / 2;
            break;
        case ButtonLayout::blGlyphBottom:
            gx = (w - gw) / 2;
            gy = ty + textHeight - gh / 2 + sHalfUp;
            ty = ty - gh / 2 - s / 2;
            break;
        }
        if (pressed) {
            ++gx;
            ++gy;
        }
        painter.drawImage(QPoint(gx, gy), m_drawnGlyph);
    }

    if (pressed) {
        ++tx;
        ++ty;
    }
    if (!m_caption.isEmpty()) {
        painter.setPen(toQColor(colors.text));
        painter.drawText(QRect(tx, ty, textWidth, textHeight),
                         Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip | Qt::TextShowMnemonic,
                         m_caption);
    }

    // The border, then the optional inner lines one pixel inside it.
    const QColor border = toQColor(colors.border);
    painter.fillRect(QRect(0, 0, w, 1), border);
    painter.fillRect(QRect(0, h - 1, w, 1), border);
    painter.fillRect(QRect(0, 0, 1, h), border);
    painter.fillRect(QRect(w - 1, 0, 1, h), border);
    if (m_ctl3D && w > 2 && h > 2) {
        // Highlight from (1, H-2) up to (1, 1) and on to (W-1, 1); shadow from (W-2, 1) down to
        // (W-2, H-2) and on to (1, H-2); each line stops short of its end point.
        const QColor light = toQColor(colors.light), dark = toQColor(colors.dark);
        painter.fillRect(QRect(1, 1, 1, h - 2), light);
        painter.fillRect(QRect(1, 1, w - 2, 1), light);
        painter.fillRect(QRect(w - 2, 1, 1, h - 3), dark);
        painter.fillRect(QRect(2, h - 2, w - 3, 1), dark);
    }
    return image;
}

void TXiButton::paintEvent(QPaintEvent*)
{
    const QImage image = renderImage(devicePixelRatioF());
    if (image.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), image);
}

void TXiButton::setLook(Look look)
{
    if (m_look == look)
        return;
    m_look = look;
    if (isVisible())
        repaint();
}

void TXiButton::pointerOver(bool over)
{
    if (m_pointerOver == over)
        return;
    m_pointerOver = over;
    if (!over)
        setLook(Look::Normal);
    else if (m_hotTrack)
        setLook(m_pressed ? Look::Pressed : Look::Hot);
}

void TXiButton::click()
{
    if (!isEnabled())
        return;
    setLook(Look::Normal);
    if (auto form = qobject_cast<TForm*>(window()))
        form->setModalResult(m_modalResult);
    // The windows connect their handlers through command(), which reports an escaping error inside
    // the slot; this is the last stop for a handler connected otherwise, so that nothing leaves
    // click() (an access key calls it from an event filter).
    runCommand([this] { emit clicked(); });
}

void TXiButton::enterEvent(QEnterEvent* event)
{
    pointerOver(true);
    QWidget::enterEvent(event);
}

void TXiButton::leaveEvent(QEvent* event)
{
    pointerOver(false);
    QWidget::leaveEvent(event);
}

void TXiButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    m_pointerOver = true;
    setLook(Look::Pressed);
}

void TXiButton::mouseMoveEvent(QMouseEvent* event)
{
    // While the mouse button is held Qt sends no enter or leave; follow the pointer here.
    if (m_pressed)
        pointerOver(rect().contains(event->position().toPoint()));
    emit mouseMoved();
    QWidget::mouseMoveEvent(event);
}

void TXiButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressed) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (!rect().contains(event->position().toPoint())) {
        m_pressed = false;
        m_pointerOver = false;
        setLook(Look::Normal);
        return;
    }
    QPointer<TXiButton> self(this);
    click();
    if (!self)
        return;
    m_pressed = false;
    // A click that hid the window leaves the button normal for its next showing.
    setLook(m_hotTrack && isVisible() && m_pointerOver ? Look::Hot : Look::Normal);
}

void TXiButton::keyPressEvent(QKeyEvent* event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat()) {
            m_spaceDown = true;
            setLook(Look::Pressed);
        }
        return;
    }
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TXiButton::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && m_spaceDown) {
        m_spaceDown = false;
        setLook(Look::Normal);
        click();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void TXiButton::focusOutEvent(QFocusEvent* event)
{
    // A Space held while the focus leaves no longer clicks on its release.
    m_spaceDown = false;
    setLook(Look::Normal);
    QWidget::focusOutEvent(event);
}

void TXiButton::hideEvent(QHideEvent* event)
{
    m_pressed = false;
    m_spaceDown = false;
    m_pointerOver = false;
    m_look = Look::Normal;
    QWidget::hideEvent(event);
}

void TXiButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled()) {
            m_pressed = false;
            m_spaceDown = false;
            m_look = Look::Normal;
        }
        update();
    } else if (event->type() == QEvent::FontChange) {
        update();
    }
    QWidget::changeEvent(event);
}

} // namespace zz
