#pragma once
// TXiPanel, the gradient panel: a container whose background is a colour gradient, with an
// optional caption and raised, lowered or spaced bevels. Every window is laid out on them;
// transparent labels placed on a panel show its gradient through.
#include <QWidget>

#include "widgets/ColorSchemes.h"
#include "widgets/Gradient.h"

namespace zz {

enum class BevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TXiPanel : public QWidget {
    Q_OBJECT
public:
    // The enumerators are also reachable through the class: TXiPanel::csSilver, TXiPanel::bvRaised.
    using enum PanelScheme;
    using enum FillDirection;
    using enum BevelCut;

    explicit TXiPanel(QWidget* parent = nullptr);

    // Setting one colour keeps the scheme as it was.
    TColor colorFace() const { return m_colorFace; }
    TColor colorGrad() const { return m_colorGrad; }
    TColor colorLight() const { return m_colorLight; }
    TColor colorDark() const { return m_colorDark; }
    void setColorFace(TColor color);
    void setColorGrad(TColor color);
    void setColorLight(TColor color);
    void setColorDark(TColor color);

    // A named scheme sets ColorFace to white and the other three colours; csCustom changes none.
    PanelScheme colorScheme() const { return m_scheme; }
    void setColorScheme(PanelScheme scheme);

    FillDirection fillDirection() const { return m_direction; }
    void setFillDirection(FillDirection direction);

    // Drawn as plain text: an ampersand is an ordinary character here.
    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);

    // Qt::AlignLeft, Qt::AlignRight or Qt::AlignHCenter (the default); other bits are ignored.
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);

    BevelCut bevelOuter() const { return m_bevelOuter; }
    BevelCut bevelInner() const { return m_bevelInner; }
    int bevelWidth() const { return m_bevelWidth; }
    void setBevelOuter(BevelCut bevel);
    void setBevelInner(BevelCut bevel);
    void setBevelWidth(int width);

    // The caption's colour (the font colour), black by default.
    QColor fontColor() const { return m_fontColor; }
    void setFontColor(const QColor& color);

    // Draws the whole panel into a fresh off-screen image of its size (in device pixels for
    // the given ratio); paintEvent copies this image to the screen in one step.
    QImage renderImage(qreal devicePixelRatio = 1.0) const;

    QSize sizeHint() const override { return QSize(185, 41); }

signals:
    // The mouse moved over the panel itself (not over one of its children).
    void mouseMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void paintBevel(QPainter& painter, int firstRing, BevelCut cut) const;

    TColor m_colorFace = clWhite;
    TColor m_colorGrad = 0;
    TColor m_colorLight = 0;
    TColor m_colorDark = 0;
    PanelScheme m_scheme = PanelScheme::csCustom;
    FillDirection m_direction = FillDirection::fdVertical;
    QString m_caption;
    Qt::Alignment m_alignment = Qt::AlignHCenter;
    BevelCut m_bevelOuter = BevelCut::bvRaised;
    BevelCut m_bevelInner = BevelCut::bvNone;
    int m_bevelWidth = 1;
    QColor m_fontColor = Qt::black;
};

} // namespace zz
