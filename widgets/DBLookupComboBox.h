#pragma once
// The lookup combo box: a drop-down list of the rows of a list cursor, showing each row's list
// field and keyed by its key field. Choosing an entry locates the list cursor on that key. The
// entries are read from the cursor as the list shows them (widgets/LookupListModel.h).
#include <QComboBox>
#include <QPointer>
#include <QVariant>

#include "data/DataSource.h"
#include "widgets/LookupListModel.h"

namespace zz {

class TDBLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TDBLookupComboBox(QWidget* parent = nullptr);

    void setListSource(TDataSource* source);
    TDataSource* ListSource() const { return m_source; }
    void setListField(const QString& field);
    const QString& ListField() const { return m_listField; }
    void setKeyField(const QString& field);
    const QString& KeyField() const { return m_keyField; }

    // The last chosen key (invalid when none); setting it shows its entry without moving the cursor.
    QVariant KeyValue() const { return m_key; }
    void setKeyValue(const QVariant& key);
    // Reads the entries from the list cursor again (its rows changed).
    void reload();

signals:
    // An entry was chosen and the list cursor stands on it.
    void keyChosen(const QVariant& key);

private:
    void choose(int index);
    void showKey();

    LookupListModel* m_entries;
    QPointer<TDataSource> m_source;
    QString m_listField;
    QString m_keyField;
    QVariant m_key;
};

} // namespace zz
