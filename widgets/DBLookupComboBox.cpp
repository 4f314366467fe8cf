#include "widgets/DBLookupComboBox.h"

#include "data/Errors.h"
#include "data/Table.h"
#include "widgets/Dialogs.h"
#include "widgets/Handlers.h"

#include <QListView>

namespace zz {

TDBLookupComboBox::TDBLookupComboBox(QWidget* parent) : QComboBox(parent), m_entries(new LookupListModel(this))
{
    setEditable(false);
    setInsertPolicy(QComboBox::NoInsert);
    setModel(m_entries);
    // Neither the box nor its list measures every entry: the box keeps the width it is given,
    // the list drops down below it as a scrolling list of its visible items (not a menu as high
    // as the screen, as wide as the widest entry), and every line is as high as the first.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    if (auto* list = qobject_cast<QListView*>(view()))
        list->setUniformItemSizes(true);
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
    m_entries->reset(m_source ? m_source->DataSet() : nullptr, m_listField, m_keyField);
    showKey();
}

void TDBLookupComboBox::showKey()
{
    const QSignalBlocker block(this);
    setCurrentIndex(m_entries->rowOfKey(m_key));
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
