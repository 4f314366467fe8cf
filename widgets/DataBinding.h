#pragma once
// What every data-bound control shares: the data source it shows and the field it is bound to.
#include <QKeyEvent>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

#include <QWidget>

#include "data/DataSource.h"
#include "data/Table.h"
#include "widgets/Form.h"

namespace zz {

// Whether a control may take the focus for a field a post found empty: only in the window in
// front, never in a list behind the modal editor that is posting.
inline bool mayTakeFocus(const QWidget* control)
{
    const TForm* front = TForm::topModal();
    return control->isVisibleTo(control->window()) && (!front || front == control->window());
}

// Whether a control bound to a field drops a typed key (with a beep): a printable character that
// the field's type cannot hold.
inline bool refusesKey(const TField* field, const QKeyEvent* event)
{
    const QString t = event->text();
    return field && t.size() == 1 && t[0].isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        && !field->isValidChar(t[0]);
}

// The most characters a control bound to a field may hold: a text field's size.
inline int maxLengthFor(const TField* field)
{
    return field && field->DataType() == FieldType::Text && field->Size() > 0 ? field->Size() : 32767;
}

class TFieldBinding {
public:
    TDataSource* DataSource() const { return m_source; }
    const QString& DataField() const { return m_fieldName; }
    TDataSet* dataSet() const { return m_source ? m_source->DataSet() : nullptr; }
    TTable* table() const { return qobject_cast<TTable*>(dataSet()); }
    // The bound field; nullptr while unbound or when the cursor has no such field.
    TField* Field() const
    {
        TDataSet* ds = dataSet();
        return ds && !m_fieldName.isEmpty() ? ds->FindField(m_fieldName) : nullptr;
    }
    bool pendingMode() const
    {
        TTable* t = table();
        return t && (t->State() == DataSetState::Edit || t->State() == DataSetState::Insert);
    }

protected:
    // Switches the control to another data source: unhooks it from the old one, then lets refresh
    // run on every row move, re-read and mode change of the new one and on every change of the
    // bound field, and once at once.
    void attachSource(QObject* control, TDataLink* link, TDataSource* source, const std::function<void()>& refresh)
    {
        if (m_source) {
            m_source->removeLink(link);
            QObject::disconnect(m_source, nullptr, control, nullptr);
        }
        m_source = source;
        if (source) {
            source->addLink(link);
            QObject::connect(source, &TDataSource::rowChanged, control, refresh);
            QObject::connect(source, &TDataSource::dataReset, control, refresh);
            QObject::connect(source, &TDataSource::stateChanged, control, refresh);
            QObject::connect(source, &TDataSource::fieldChanged, control, [this, refresh](int index) {
                if (TField* f = Field(); f && f->index() == index)
                    refresh();
            });
        }
        refresh();
    }
    void detachSource(TDataLink* link)
    {
        if (m_source)
            m_source->removeLink(link);
    }

    QPointer<TDataSource> m_source;
    QString m_fieldName;
};

} // namespace zz
