#pragma once
// The date edit field: a text field in the regional short date format with a drop-down calendar.
// A text that is no date reads as 30 December 1899.
#include <QDate>
#include <QLineEdit>

class QCalendarWidget;

namespace zz {

class TDateEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TDateEdit(QWidget* parent = nullptr);

    // The date typed or chosen; zeroDate() when the text is no date.
    QDate Date() const;
    void setDate(const QDate& date);
    // Opens the calendar under the field.
    void showCalendar();
    QCalendarWidget* calendar() const { return m_calendar; }

signals:
    void dateChanged(const QDate& date);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* m_popup;
    QCalendarWidget* m_calendar;
};

} // namespace zz
