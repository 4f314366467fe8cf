#include "widgets/DateEdit.h"

#include <QAction>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QStyle>
#include <QVBoxLayout>

#include "data/Regional.h"
#include "widgets/Handlers.h"

namespace zz {

TDateEdit::TDateEdit(QWidget* parent) : QLineEdit(parent)
{
    m_popup = new QWidget(this, Qt::Popup);
    auto* layout = new QVBoxLayout(m_popup);
    layout->setContentsMargins(0, 0, 0, 0);
    m_calendar = new QCalendarWidget(m_popup);
    layout->addWidget(m_calendar);
    connect(m_calendar, &QCalendarWidget::clicked, this, command([this](const QDate& d) {
        m_popup->hide();
        setDate(d);
        setFocus(Qt::PopupFocusReason);
    }));
    connect(m_calendar, &QCalendarWidget::activated, m_calendar, &QCalendarWidget::clicked);
    QAction* drop = addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    connect(drop, &QAction::triggered, this, command(this, &TDateEdit::showCalendar));
    connect(this, &QLineEdit::textEdited, this, command([this] { emit dateChanged(Date()); }));
}

QDate TDateEdit::Date() const
{
    const QDate d = parseShortDate(text().trimmed());
    return d.isValid() ? d : zeroDate();
}

void TDateEdit::setDate(const QDate& date)
{
    setText(formatShortDate(date));
    emit dateChanged(Date());
}

void TDateEdit::showCalendar()
{
    const QDate d = parseShortDate(text().trimmed());
    m_calendar->setSelectedDate(d.isValid() ? d : QDate::currentDate());
    m_popup->adjustSize();
    m_popup->move(mapToGlobal(QPoint(0, height())));
    m_popup->show();
    m_calendar->setFocus();
}

void TDateEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier)) {
        showCalendar();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace zz
