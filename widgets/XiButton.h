#pragma once
// TXiButton, the gradient button: a focusable push button drawn completely by itself, with a
// gradient face, an optional glyph beside its caption and separate colour sets for its normal,
// hot (pointer over it), pressed and disabled looks.
//
// Clicks come from the mouse, from Enter or Space while the button has the focus and from its
// access key (the letter after the ampersand in the caption: with Alt always, alone when the
// focused control of the window takes no typing). A disabled button ignores all of them.
// Every click first copies ModalResult to the window holding the button when that window is a
// TForm, then emits clicked().
#include <QImage>
#include <QWidget>

#include "widgets/AccessKeys.h"
#include "widgets/ColorSchemes.h"

namespace zz {

enum class ButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TXiButton : public QWidget {
    Q_OBJECT
public:
    using enum ButtonScheme;
    using enum ButtonLayout;

    enum class Look { Normal, Hot, Pressed };

    explicit TXiButton(QWidget* parent = nullptr);
    explicit TXiButton(const QString& caption, QWidget* parent = nullptr);
    ~TXiButton() override;

    // Colours of the normal look. Setting any single colour switches the scheme to csCustom.
    TColor colorFace() const { return m_normal.face; }
    TColor colorGrad() const { return m_normal.grad; }
    TColor colorLight() const { return m_normal.light; }
    TColor colorDark() const { return m_normal.dark; }
    TColor colorBorder() const { return m_normal.border; }
    TColor colorText() const { return m_normal.text; }
    void setColorFace(TColor c) { setColor(m_normal.face, c); }
    void setColorGrad(TColor c) { setColor(m_normal.grad, c); }
    void setColorLight(TColor c) { setColor(m_normal.light, c); }
    void setColorDark(TColor c) { setColor(m_normal.dark, c); }
    void setColorBorder(TColor c) { setColor(m_normal.border, c); }
    void setColorText(TColor c) { setColor(m_normal.text, c); }

    // Colours of the hot look (pointer over the button).
    TColor overColorFace() const { return m_over.face; }
    TColor overColorGrad() const { return m_over.grad; }
    TColor overColorLight() const { return m_over.light; }
    TColor overColorDark() const { return m_over.dark; }
    TColor overColorBorder() const { return m_over.border; }
    TColor overColorText() const { return m_over.text; }
    void setOverColorFace(TColor c) { setColor(m_over.face, c); }
    void setOverColorGrad(TColor c) { setColor(m_over.grad, c); }
    void setOverColorLight(TColor c) { setColor(m_over.light, c); }
    void setOverColorDark(TColor c) { setColor(m_over.dark, c); }
    void setOverColorBorder(TColor c) { setColor(m_over.border, c); }
    void setOverColorText(TColor c) { setColor(m_over.text, c); }

    // Colours of the pressed look.
    TColor downColorFace() const { return m_down.face; }
    TColor downColorGrad() const { return m_down.grad; }
    TColor downColorLight() const { return m_down.light; }
    TColor downColorDark() const { return m_down.dark; }
    TColor downColorBorder() const { return m_down.border; }
    TColor downColorText() const { return m_down.text; }
    void setDownColorFace(TColor c) { setColor(m_down.face, c); }
    void setDownColorGrad(TColor c) { setColor(m_down.grad, c); }
    void setDownColorLight(TColor c) { setColor(m_down.light, c); }
    void setDownColorDark(TColor c) { setColor(m_down.dark, c); }
    void setDownColorBorder(TColor c) { setColor(m_down.border, c); }
    void setDownColorText(TColor c) { setColor(m_down.text, c); }

    // Colours of a disabled button, whatever its look.
    TColor disabledColorFace() const { return m_disabled.face; }
    TColor disabledColorGrad() const { return m_disabled.grad; }
    TColor disabledColorLight() const { return m_disabled.light; }
    TColor disabledColorDark() const { return m_disabled.dark; }
    TColor disabledColorBorder() const { return m_disabled.border; }
    TColor disabledColorText() const { return m_disabled.text; }
    void setDisabledColorFace(TColor c) { setColor(m_disabled.face, c); }
    void setDisabledColorGrad(TColor c) { setColor(m_disabled.grad, c); }
    void setDisabledColorLight(TColor c) { setColor(m_disabled.light, c); }
    void setDisabledColorDark(TColor c) { setColor(m_disabled.dark, c); }
    void setDisabledColorBorder(TColor c) { setColor(m_disabled.border, c); }
    void setDisabledColorText(TColor c) { setColor(m_disabled.text, c); }

    // A named scheme sets its colours and Gradient; csCustom sets nothing.
    ButtonScheme colorScheme() const { return m_scheme; }
    void setColorScheme(ButtonScheme scheme);

    bool ctl3D() const { return m_ctl3D; }
    void setCtl3D(bool on);
    // The glyph's place beside the caption (the property Layout).
    ButtonLayout glyphLayout() const { return m_layout; }
    void setGlyphLayout(ButtonLayout layout);
    QImage glyph() const { return m_glyph; }
    void setGlyph(const QImage& glyph);
    int spacing() const { return m_spacing; }
    void setSpacing(int spacing);
    // With it on, every glyph pixel of the colour of the glyph's top-left pixel shows the face.
    bool transparentGlyph() const { return m_transparentGlyph; }
    void setTransparentGlyph(bool on);
    bool gradient() const { return m_gradient; }
    void setGradient(bool on);
    bool hotTrack() const { return m_hotTrack; }
    void setHotTrack(bool on);
    int modalResult() const { return m_modalResult; }
    void setModalResult(int result) { m_modalResult = result; }
    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    bool tabStop() const { return m_tabStop; }
    void setTabStop(bool on);

    Look look() const { return m_look; }
    QChar accessKey() const { return m_accessKey; }

    // Clicks the button as the mouse would: when it is enabled, returns it to the normal look,
    // copies ModalResult to its TForm window and emits clicked().
    void click();

    // Draws the whole button into a fresh off-screen image of its size (device pixels for the
    // given ratio); paintEvent copies this image to the screen in one step.
    QImage renderImage(qreal devicePixelRatio = 1.0) const;

    QSize sizeHint() const override { return QSize(75, 25); }

signals:
    void clicked();
    // The mouse moved over the button.
    void mouseMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void init();
    void setColor(TColor& slot, TColor value);
    void setLook(Look look);
    void pointerOver(bool over);
    void prepareGlyph();
    const ButtonColors& currentColors() const;

    ButtonColors m_normal, m_over, m_down, m_disabled;
    ButtonScheme m_scheme = ButtonScheme::csCustom;
    bool m_ctl3D = true;
    ButtonLayout m_layout = ButtonLayout::blGlyphLeft;
    QImage m_glyph;
    QImage m_drawnGlyph; // the glyph with its transparent colour cut out
    int m_spacing = 4;
    bool m_transparentGlyph = true;
    bool m_gradient = true;
    bool m_hotTrack = true;
    int m_modalResult = 0;
    QString m_caption;
    QChar m_accessKey;
    bool m_tabStop = true;

    Look m_look = Look::Normal;
    bool m_pressed = false;    // the left mouse button went down on the button and is held
    bool m_spaceDown = false;  // Space went down while the button had the focus
    bool m_pointerOver = false;
};

} // namespace zz
