#include "widgets/XiButton.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <QtMath>

#include "widgets/Form.h"
#include "widgets/Gradient.h"

namespace zz {

namespace {

struct ButtonSchemeColors {
    ButtonColors normal, over, down, disabled;
};

constexpr TColor rgb(int r, int g, int b) { return rgbColor(r, g, b); }

// Every gradient scheme shares this disabled set; the flat schemes take all of it but the
// gradient end.
constexpr ButtonColors kDisabled{15658734, 16777215, 16777215, 13816530, 8421504, 8421504};

bool isGradientScheme(ButtonScheme scheme)
{
    switch (scheme) {
    case ButtonScheme::csNeoDesert:
    case ButtonScheme::csNeoSky:
    case ButtonScheme::csNeoGrass:
    case ButtonScheme::csNeoSilver:
    case ButtonScheme::csNeoRose:
    case ButtonScheme::csNeoSun: return true;
    default: return false;
    }
}

// In the pressed set the face is darker than the gradient end, so a pressed gradient runs the
// other way round; highlight and shadow swap likewise. The flat schemes leave the gradient ends
// (zero here) alone.
ButtonSchemeColors buttonSchemeColors(ButtonScheme scheme)
{
    switch (scheme) {
    case ButtonScheme::csNeoSilver:
        return {{15987699, 12369084, 16250871, 10987431, 6447714, 0},
                {15790320, 10921638, 15658734, 10658466, 7697781, 0},
                {13290186, 14342874, 8158332, 15329769, 5131854, 0},
                kDisabled};
    case ButtonScheme::csNeoRose:
        return {{15263999, 9803263, 14540287, 8553215, 157, 0},
                {14671871, 7829503, 14145535, 6974207, 157, 0},
                {10921727, 12171775, 6184703, 13553407, 157, 0},
                kDisabled};
    case ButtonScheme::csNeoGrass:
        return {{14547432, 6217614, 13366747, 2406748, 1404727, 0},
                {12579538, 4053111, 11923659, 2339929, 1538365, 0},
                {5168259, 8447654, 1539390, 9037740, 1471545, 0},
                kDisabled};
    case ButtonScheme::csNeoDesert:
        return {{rgb(255, 244, 224), rgb(244, 196, 112), rgb(255, 248, 232), rgb(196, 148, 64), rgb(155, 105, 0), 0},
                {rgb(255, 240, 214), rgb(238, 180, 82), rgb(255, 244, 222), rgb(186, 136, 52), rgb(170, 116, 0), 0},
                {rgb(226, 168, 70), rgb(246, 206, 136), rgb(150, 104, 24), rgb(252, 232, 196), rgb(132, 88, 0), 0},
                kDisabled};
    case ButtonScheme::csNeoSky:
        return {{rgb(236, 244, 255), rgb(140, 190, 245), rgb(244, 249, 255), rgb(96, 150, 215), rgb(0, 88, 179), 0},
                {rgb(228, 240, 255), rgb(112, 172, 240), rgb(238, 246, 255), rgb(80, 136, 205), rgb(0, 100, 196), 0},
                {rgb(96, 156, 226), rgb(162, 204, 248), rgb(40, 96, 170), rgb(206, 228, 252), rgb(0, 70, 150), 0},
                kDisabled};
    case ButtonScheme::csNeoSun:
        return {{rgb(255, 253, 232), rgb(250, 226, 110), rgb(255, 254, 240), rgb(204, 176, 56), rgb(130, 116, 0), 0},
                {rgb(255, 251, 220), rgb(246, 214, 76), rgb(255, 252, 232), rgb(192, 164, 40), rgb(146, 130, 0), 0},
                {rgb(230, 196, 60), rgb(250, 232, 140), rgb(150, 126, 10), rgb(255, 246, 200), rgb(112, 100, 0), 0},
                kDisabled};
    case ButtonScheme::csDesert:
        return {{rgb(252, 226, 170), 0, rgb(255, 246, 226), rgb(190, 140, 50), rgb(155, 105, 0), 0},
                {rgb(255, 234, 190), 0, rgb(255, 250, 236), rgb(196, 148, 64), rgb(170, 116, 0), 0},
                {rgb(236, 198, 122), 0, rgb(190, 140, 50), rgb(255, 246, 226), rgb(132, 88, 0), 0},
                kDisabled};
    case ButtonScheme::csGrass:
        return {{rgb(196, 236, 170), 0, rgb(232, 250, 220), rgb(106, 160, 70), rgb(55, 111, 21), 0},
                {rgb(208, 242, 186), 0, rgb(240, 252, 232), rgb(116, 170, 80), rgb(70, 124, 30), 0},
                {rgb(160, 210, 128), 0, rgb(90, 140, 56), rgb(232, 250, 220), rgb(45, 96, 14), 0},
                kDisabled};
    case ButtonScheme::csSky:
        return {{rgb(200, 226, 252), 0, rgb(238, 246, 255), rgb(96, 150, 215), rgb(0, 88, 179), 0},
                {rgb(214, 234, 255), 0, rgb(244, 249, 255), rgb(110, 162, 222), rgb(0, 100, 196), 0},
                {rgb(160, 200, 244), 0, rgb(70, 120, 190), rgb(238, 246, 255), rgb(0, 70, 150), 0},
                kDisabled};
    case ButtonScheme::csSun:
        return {{rgb(255, 246, 176), 0, rgb(255, 253, 230), rgb(200, 170, 40), rgb(130, 116, 0), 0},
                {rgb(255, 250, 200), 0, rgb(255, 254, 240), rgb(206, 178, 56), rgb(146, 130, 0), 0},
                {rgb(240, 220, 120), 0, rgb(170, 146, 20), rgb(255, 253, 230), rgb(112, 100, 0), 0},
                kDisabled};
    case ButtonScheme::csRose:
        return {{rgb(255, 214, 214), 0, rgb(255, 240, 240), rgb(210, 120, 120), rgb(157, 0, 0), 0},
                {rgb(255, 226, 226), 0, rgb(255, 246, 246), rgb(220, 134, 134), rgb(176, 0, 0), 0},
                {rgb(238, 172, 172), 0, rgb(180, 90, 90), rgb(255, 240, 240), rgb(130, 0, 0), 0},
                kDisabled};
    case ButtonScheme::csSilver:
        return {{rgb(222, 222, 222), 0, rgb(248, 248, 248), rgb(160, 160, 160), rgb(98, 98, 98), 0},
                {rgb(232, 232, 232), 0, rgb(250, 250, 250), rgb(168, 168, 168), rgb(117, 117, 117), 0},
                {rgb(200, 200, 200), 0, rgb(124, 124, 124), rgb(240, 240, 240), rgb(78, 78, 78), 0},
                kDisabled};
    case ButtonScheme::csCustom: break;
    }
    return {};
}

// A control that takes typing keeps bare letters for itself; the access keys of the window's
// buttons then need Alt.
bool takesTyping(const QWidget* w)
{
    if (!w)
        return false;
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTextEdit*>(w)
        || qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w)
        || qobject_cast<const QComboBox*>(w))
        return true;
    if (auto view = qobject_cast<const QAbstractItemView*>(w))
        return view->editTriggers().testFlag(QAbstractItemView::AnyKeyPressed);
    return w->testAttribute(Qt::WA_InputMethodEnabled);
}

QChar keyCharacter(const QKeyEvent* event)
{
    const int key = event->key();
    if (key > 0 && key <= 0xFFFF && key != Qt::Key_Space)
        return QChar(char16_t(key)).toUpper();
    const QString text = event->text();
    return text.size() == 1 ? text.at(0).toUpper() : QChar();
}

// Routes access keys to the buttons of the window that receives the key: Alt with the letter
// always, the letter alone when the window's focused control takes no typing. Key events only
// reach the active window, so buttons of other windows never respond.
class AccessKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto key = static_cast<QKeyEvent*>(event);
        if (key->isAutoRepeat())
            return false;
        const Qt::KeyboardModifiers mods = key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
        const bool withAlt = mods == Qt::AltModifier;
        if (mods != Qt::NoModifier && !withAlt)
            return false;
        const QChar ch = keyCharacter(key);
        if (ch.isNull() || !ch.isLetterOrNumber())
            return false;

        QWidget* window = static_cast<QWidget*>(watched)->window();
        if (!withAlt) {
            QWidget* focus = window->focusWidget() ? window->focusWidget() : static_cast<QWidget*>(watched);
            if (takesTyping(focus))
                return false;
        }
        const QList<TXiButton*> buttons = window->findChildren<TXiButton*>();
        for (TXiButton* button : buttons) {
            if (button->window() == window && button->isVisible() && button->isEnabled()
                && button->accessKey() == ch) {
                button->click();
                return true;
            }
        }
        return false;
    }
};

void ensureAccessKeyFilter()
{
    static QPointer<AccessKeyFilter> filter;
    if (!filter && qApp) {
        filter = new AccessKeyFilter(qApp);
        qApp->installEventFilter(filter);
    }
}

} // namespace

QChar accessKeyOf(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&'))
            continue;
        if (caption.at(i + 1) == QLatin1Char('&')) {
            ++i; // "&&" is a literal ampersand
            continue;
        }
        return caption.at(i + 1).toUpper();
    }
    return QChar();
}

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
    emit clicked();
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
