#include "widgets/Layout.h"

#include <QGuiApplication>
#include <QScreen>

namespace zz {

void centreOnDesktop(QWidget* window)
{
    if (QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

QFont arialFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QLabel* arialLabel(QWidget* parent, const QString& text, int left, int top, int pixelSize, bool bold)
{
    auto* label = new QLabel(text, parent);
    label->setFont(arialFont(pixelSize, bold));
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->move(left, top);
    label->adjustSize();
    return label;
}

} // namespace zz
