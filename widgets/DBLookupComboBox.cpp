#include "widgets/DBLookupComboBox.h"

#include "data/Errors.h"
#include "data/Table.h"
#include "widgets/Dialogs.h"
#include "widgets/Handlers.h"

namespace zz {

TDBLookupComboBox::TDBLookupComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    setInsertPolicy(QComboBox::NoInsert);
    // Typing the start of an entry picks it (the combo box's keyboard search) and counts as a choice.
    connect(this, &QComboBox::activated, this, command(this, &TDBLookupComboBox::choose));
}

void TDBLookupComboBox::setListSource(TDataSource* source)
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    // The entries follow the rows of the list cursor, not its current row.
    if (source)
        connect(source, &TDataSource::dataReset, this, &TDBLookupComboBox::reload);
    reload();
}

void TDBLookupComboBox::setListField(const QString& field)
{
    m_listField = field;
    reload();
}

void TDBLookupComboBox::setKeyField(const QString& field)
{
    m_keyField = field;
    reload();
}

void TDBLookupComboBox::reload()
{
    const QSignalBlocker block(this);
    clear();
    TDataSet* ds = m_source ? m_source->DataSet() : nullptr;
    TField* list = ds ? ds->FindField(m_listField) : nullptr;
    TField* key = ds ? ds->FindField(m_keyField) : nullptr;
    if (!list || !key || !ds->Active())
        return;
    auto* table = qobject_cast<TTable*>(ds);
    const int n = ds->RecordCount();
    for (int i = 0; i < n; ++i) {
        if (table && table->State() == DataSetState::Insert && i == ds->RecNo())
            continue; // a row not yet written is no entry
        addItem(list->displayTextOf(ds->rowValue(i, list->index())), ds->rowValue(i, key->index()));
    }
    showKey();
}

void TDBLookupComboBox::showKey()
{
    const QSignalBlocker block(this);
    setCurrentIndex(m_key.isValid() ? findData(m_key) : -1);
}

void TDBLookupComboBox::setKeyValue(const QVariant& key)
{
    m_key = key;
    showKey();
}

void TDBLookupComboBox::choose(int index)
{
    if (index < 0)
        return;
    m_key = itemData(index);
    TDataSet* ds = m_source ? m_source->DataSet() : nullptr;
    if (auto* t = qobject_cast<TTable*>(ds)) {
        try {
            t->Locate(m_keyField, m_key, {});
        } catch (const Exception& e) {
            generalErrorReport(e.message());
            return;
        }
    }
    emit keyChosen(m_key);
}

} // namespace zz
