#include "widgets/DBImage.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
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

QImage TDBImage::decodeStored(const QByteArray& stored)
{
    const QByteArray bytes = logoImageBytes(stored);
    if (bytes.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setDecideFormatFromContent(false);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QByteArray TDBImage::encodeStored(const QImage& image)
{
    if (image.isNull())
        return {};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "BMP");
    if (!writer.write(image))
        return {};
    return logoStoredForm(buffer.data());
}

void TDBImage::refresh()
{
    TField* f = Field();
    m_image = f ? decodeStored(f->AsBytes()) : QImage();
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
        f->SetValue(encodeStored(image));
    refresh();
}

bool TDBImage::loadFromFile(const QString& path)
{
    QImageReader reader(path, "bmp");
    reader.setDecideFormatFromContent(false);
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    setPicture(image);
    return true;
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
