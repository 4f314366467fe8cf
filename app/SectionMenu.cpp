#include "app/SectionMenu.h"

#include <QScopeGuard>


#include "widgets/Glyphs.h"
#include "widgets/Handlers.h"
#include "widgets/Layout.h"
#include "widgets/MouseMove.h"

namespace zz {

TSectionMenu::TSectionMenu(const Shape& shape, QWidget* parent) : TForm(parent), m_shape(shape)
{
    setWindowTitle(shape.caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    resize(shape.width, shape.height);

    m_client = new TXiPanel(this);
    m_client->setColorScheme(PanelScheme::csSilver);
    m_client->setFillDirection(FillDirection::fdVertical);
    m_client->setGeometry(0, 0, shape.width, shape.height - 41);
    m_strip = new TXiPanel(this);
    m_strip->setColorScheme(PanelScheme::csSilver);
    m_strip->setFillDirection(FillDirection::fdVertical);
    m_strip->setGeometry(0, shape.height - 41, shape.width, 41);

    Label1 = new QLabel(shape.caption, m_client);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(24);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setAttribute(Qt::WA_TranslucentBackground);
    Label1->setGeometry(0, 0, shape.width, 56);

    const int panelHeight = shape.height - 41;
    Label2 = new QLabel(m_client);
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont helpFont(QStringLiteral("Arial"));
    helpFont.setPixelSize(13);
    Label2->setFont(helpFont);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setAttribute(Qt::WA_TranslucentBackground);
    Label2->setGeometry(0, panelHeight - shape.helpBandHeight, shape.width, shape.helpBandHeight);

    btnClose = new TXiButton(m_strip);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setCaption(QStringLiteral("&Close"));
    btnClose->setColorScheme(ButtonScheme::csNeoSilver);
    btnClose->setCtl3D(false);
    btnClose->setGlyph(glyph(QStringLiteral("close")));
    btnClose->setGeometry(shape.closeLeft, 8, 75, 25);
    connect(btnClose, &TXiButton::clicked, this, command([this] { close(); }));

    centreOnDesktop(this);
}

void TSectionMenu::ChangeCaption(const QString& text) { Label2->setText(text); }

TXiButton* TSectionMenu::addTaskButton(const QString& name, const QString& caption, const QString& picture,
                                       const QString& help)
{
    auto* b = new TXiButton(m_client);
    b->setObjectName(name);
    b->setCaption(caption);
    b->setColorScheme(ButtonScheme::csNeoSilver);
    b->setCtl3D(false);
    b->setGlyphLayout(m_shape.glyphLayout);
    b->setGlyph(glyph(picture));
    b->setGeometry(m_shape.buttonLefts.value(m_buttons++), 56, m_shape.buttonWidth, 75);
    onMouseMove(b, [this, help] { ChangeCaption(help); });
    return b;
}

void TSectionMenu::clearsHelpLine(QWidget* control)
{
    onMouseMove(control, [this] { ChangeCaption(QString()); });
}

void TSectionMenu::hideAndRun(TForm* window)
{
    if (!window)
        return;
    hideKeepingModal();
    const auto showAgain = qScopeGuard([this] { showKeepingModal(); });
    window->ShowModal();
}

void TSectionMenu::stackAndRun(TForm* window)
{
    if (window)
        window->ShowModal();
}

} // namespace zz
