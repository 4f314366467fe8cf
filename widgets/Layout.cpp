#include "widgets/Layout.h"

#include <QGuiApplication>
#include <QScreen>

namespace zz {

void centreOnDesktop(QWidget* window)
{
    if (QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

QLabel* arialLabel(QWidget* parent, const QString& text, int left, int top, int pixelSize, bool bold)
{
    auto* label = new QLabel(text, parent);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->move(left, top);
    label->adjustSize();
    return label;
}

} // namespace zz
