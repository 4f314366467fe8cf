#include "widgets/DBImage.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>

#include "data/Logo.h"

namespace zz {

TDBImage::TDBImage(QWidget* parent) : QFrame(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setBorder(true);
}

TDBImage::~TDBImage() { detachSource(this); }

void TDBImage::bind(TDataSource* source, const QString& field)
{
    m_fieldName = field;
    setDataSource(source);
}

void TDBImage::setDataSource(TDataSource* source)
{
    attachSource(this, this, source, [this] { refresh(); });
}

void TDBImage::setDataField(const QString& field)
{
    m_fieldName = field;
    refresh();
}

void TDBImage::setBorder(bool border)
{
    setFrameStyle(border ? (QFrame::StyledPanel | QFrame::Sunken) : QFrame::NoFrame);
}

void TDBImage::refresh()
{
    TField* f = Field();
    m_image = f ? decodeLogo(f->AsBytes()) : QImage();
    update();
}

void TDBImage::setPicture(const QImage& image)
{
    TTable* t = table();
    TField* f = Field();
    if (!t || !f)
        return;
    t->Edit();
    if (image.isNull())
        f->Clear();
    else
        f->SetValue(encodeLogo(image));
    refresh();
}

void TDBImage::CopyToClipboard() const
{
    if (!m_image.isNull())
        QGuiApplication::clipboard()->setImage(m_image);
}

void TDBImage::PasteFromClipboard()
{
    const QImage image = QGuiApplication::clipboard()->image();
    if (!image.isNull())
        setPicture(image);
}

void TDBImage::CutToClipboard()
{
    CopyToClipboard();
    setPicture(QImage());
}

void TDBImage::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (m_image.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(contentsRect(), m_image);
}

void TDBImage::keyPressEvent(QKeyEvent* event)
{
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if ((mods == Qt::ControlModifier && key == Qt::Key_C) || (mods == Qt::ControlModifier && key == Qt::Key_Insert))
        CopyToClipboard();
    else if ((mods == Qt::ControlModifier && key == Qt::Key_V) || (mods == Qt::ShiftModifier && key == Qt::Key_Insert))
        PasteFromClipboard();
    else if ((mods == Qt::ControlModifier && key == Qt::Key_X) || (mods == Qt::ShiftModifier && key == Qt::Key_Delete))
        CutToClipboard();
    else {
        QFrame::keyPressEvent(event);
        return;
    }
    event->accept();
}

} // namespace zz
