#include "widgets/WindowKit.h"

#include <QFontDatabase>
#include <QFontMetrics>

#include "data/Table.h"
#include "widgets/Accessible.h"
#include "widgets/Glyphs.h"
#include "widgets/Handlers.h"
#include "widgets/Layout.h"

namespace zz {

QString dialogFontFamily()
{
    static const QString family = [] {
        // The face the windows were laid out in, as Wine's fonts package carries it (the same
        // advance widths, drawn on the pixel grid); unless the system has it already.
        if (QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif")))
            return QStringLiteral("MS Sans Serif");
        for (const char* file : {"/usr/share/wine/fonts/ms_sans_serif.ttf", "/usr/share/fonts/truetype/wine/ms_sans_serif.ttf"}) {
            const int id = QFontDatabase::addApplicationFont(QLatin1String(file));
            const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
            if (!families.isEmpty())
                return families.front();
        }
        // Else the face of Arial's widths, a little wider; the system sans serif is wider still.
        if (QFontDatabase::hasFamily(QStringLiteral("Liberation Sans")))
            return QStringLiteral("Liberation Sans");
        return QStringLiteral("Sans Serif");
    }();
    return family;
}

QFont smallDialogFont()
{
    QFont font(dialogFontFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

TPanelForm::TPanelForm(const QString& caption, int clientWidth, int clientHeight, QWidget* parent) : TForm(parent)
{
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setFont(smallDialogFont());
    resize(clientWidth, clientHeight);
    centreOnDesktop(this);
}

void TPanelForm::fixDialogFrame()
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(size());
}

void TPanelForm::makePanels(PanelScheme scheme, TXiPanel*& content, TXiPanel*& buttonBar, const char* contentName,
                            const char* barName)
{
    m_content = content = new TXiPanel(this);
    m_bar = buttonBar = new TXiPanel(this);
    m_content->setObjectName(QLatin1String(contentName));
    m_bar->setObjectName(QLatin1String(barName));
    for (TXiPanel* panel : {m_content, m_bar}) {
        panel->setColorScheme(scheme);
        panel->setFillDirection(FillDirection::fdVertical);
    }
    m_content->setGeometry(0, 0, width(), height() - 41);
    m_bar->setGeometry(0, height() - 41, width(), 41);
}

void TPanelForm::resizeEvent(QResizeEvent* event)
{
    TForm::resizeEvent(event);
    if (m_content)
        m_content->setGeometry(0, 0, width(), std::max(0, height() - 41));
    if (m_bar)
        m_bar->setGeometry(0, height() - 41, width(), 41);
}

void TPanelForm::makeSaveCancel(QWidget* bar, TXiButton*& save, TXiButton*& cancel, int cancelLeft,
                                std::function<void()> saveClick, std::function<void()> cancelClick)
{
    makeBarPair(bar, save, QStringLiteral("btnSave"), QStringLiteral("&Save"), QStringLiteral("save"), cancel,
                cancelLeft, std::move(saveClick), std::move(cancelClick));
}

void TPanelForm::makeOkCancel(QWidget* bar, TXiButton*& ok, TXiButton*& cancel, int cancelLeft,
                              std::function<void()> okClick, std::function<void()> cancelClick)
{
    makeBarPair(bar, ok, QStringLiteral("btnOK"), QStringLiteral("&OK"), QStringLiteral("ok"), cancel, cancelLeft,
                std::move(okClick), std::move(cancelClick));
}

void TPanelForm::makeBarPair(QWidget* bar, TXiButton*& first, const QString& name, const QString& caption,
                             const QString& picture, TXiButton*& cancel, int cancelLeft, std::function<void()> firstClick,
                             std::function<void()> cancelClick)
{
    first = makeButton(bar, name, caption, picture, ButtonScheme::csNeoRose, 16, 8);
    cancel = makeButton(bar, QStringLiteral("btnCancel"), QStringLiteral("&Cancel"), QStringLiteral("cancel"),
                        ButtonScheme::csNeoRose, cancelLeft, 8);
    connect(first, &TXiButton::clicked, this, command(std::move(firstClick)));
    connect(cancel, &TXiButton::clicked, this, command(std::move(cancelClick)));
}

void TPanelForm::saveRow(TTable* table)
{
    guarded([&] {
        table->Post();
        Close();
    });
}

void TPanelForm::cancelRow(TTable* table)
{
    guarded([&] {
        table->Cancel();
        Close();
    });
}

TXiButton* makeButton(QWidget* parent, const QString& name, const QString& caption, const QString& picture,
                      ButtonScheme scheme, int left, int top)
{
    auto* b = new TXiButton(parent);
    b->setObjectName(name);
    b->setCaption(caption);
    b->setColorScheme(scheme);
    b->setCtl3D(false);
    b->setHotTrack(true);
    b->setGlyphLayout(ButtonLayout::blGlyphLeft);
    if (!picture.isEmpty())
        b->setGlyph(glyph(picture));
    b->setGeometry(left, top, 75, 25);
    return b;
}

QLabel* makeCaption(QWidget* parent, const QString& name, const QString& text, int left, int top, bool bold)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAttribute(Qt::WA_TranslucentBackground);
    if (bold) {
        QFont f = label->font();
        f.setBold(true);
        label->setFont(f);
    }
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLabel* makeHeading(QWidget* parent, const QString& name, const QString& text, int width, int height)
{
    QLabel* label = arialLabel(parent, text, 0, 0, 24, true);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(0, 0, width, height);
    return label;
}

int defaultColumnWidth(const QFontMetrics& metrics, int characters, const QString& title)
{
    return std::max(characters * metrics.horizontalAdvance(QLatin1Char('0')) + 4, metrics.horizontalAdvance(title) + 4);
}

void makeFlat(QLineEdit* edit, bool white)
{
    edit->setStyleSheet(white ? QStringLiteral("QLineEdit { border: 1px solid rgb(105, 105, 105); background: white; padding: 0 1px; }")
                              : QStringLiteral("QLineEdit { border: 1px solid rgb(105, 105, 105); background: palette(window); padding: 0 1px; }"));
}

void setTabOrderOf(std::initializer_list<QWidget*> controls)
{
    QWidget* previous = nullptr;
    for (QWidget* control : controls) {
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

QVBoxLayout* makeBands(QWidget* window)
{
    auto* column = new QVBoxLayout(window);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    return column;
}

TXiPanel* makeBandPanel(QWidget* window, const QString& name, int height, PanelScheme scheme)
{
    auto* band = new TXiPanel(window);
    band->setObjectName(name);
    band->setColorScheme(scheme);
    band->setFillDirection(FillDirection::fdVertical);
    band->setFixedHeight(height);
    return band;
}

QLabel* makeBandHeading(TXiPanel* band, const QString& name, const QString& text)
{
    QLabel* label = makeHeading(band, name, text, band->width(), band->height());
    auto* fill = new QHBoxLayout(band);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(label);
    return label;
}

void makeMaximised(TForm* window)
{
    window->setWindowFlags(window->windowFlags() | Qt::WindowMaximizeButtonHint);
    window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

int makeFieldRows(QWidget* panel, TDataSource* source, std::initializer_list<FieldRow> rows, const FieldRowsLayout& layout)
{
    int top = layout.top;
    int n = 0;
    for (const FieldRow& r : rows) {
        r.label = makeCaption(panel, QStringLiteral("Label%1").arg(layout.firstLabel + n), QLatin1String(r.caption), 8,
                              top + 4, r.bold);
        r.edit = new TDBEdit(source, QLatin1String(r.field), panel);
        r.edit->setObjectName(QStringLiteral("DBEdit%1").arg(n + 1));
        r.edit->setGeometry(layout.editLeft, top, r.width, 21);
        makeFlat(r.edit, layout.whiteEdits);
        nameControl(r.label, r.edit);
        top += 32;
        ++n;
    }
    return top;
}

int makeEditRows(QWidget* panel, std::initializer_list<EditRow> rows, const FieldRowsLayout& layout)
{
    int top = layout.top;
    int n = 0;
    for (const EditRow& r : rows) {
        r.label = makeCaption(panel, QStringLiteral("Label%1").arg(layout.firstLabel + n), QString::fromUtf8(r.caption), 8, top + 4);
        r.edit = new QLineEdit(panel);
        r.edit->setObjectName(QLatin1String(r.name));
        r.edit->setGeometry(layout.editLeft, top, r.width, 21);
        r.edit->setMaxLength(r.maxLength);
        makeFlat(r.edit, layout.whiteEdits);
        nameControl(r.label, r.edit);
        top += 32;
        ++n;
    }
    return top;
}

} // namespace zz
