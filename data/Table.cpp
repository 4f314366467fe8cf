#include "data/Table.h"

#include <algorithm>
#include <utility>

#include "data/DataSource.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "data/RowStore.h"
#include "data/TableSql.h"

namespace zz {

TTable::TTable(const QString& name, const QString& tableName, QObject* parent)
    : TDataSet(name, parent), m_def(&zz::tableDef(tableName)), m_rows(std::make_unique<RowStore>(*m_def))
{
    defineFields(m_def->fields);
}

TTable::~TTable() = default;

void TTable::setDirectReading(bool enabled) { RowStore::setDirectReading(enabled); }

void TTable::addSource(TDataSource* source)
{
    if (std::find(m_sources.begin(), m_sources.end(), source) == m_sources.end())
        m_sources.push_back(source);
}

void TTable::removeSource(TDataSource* source) { std::erase(m_sources, source); }

void TTable::setMasterSource(TDataSource* master, const QString& field)
{
    if (m_master) {
        if (auto* old = qobject_cast<TTable*>(m_master->DataSet()))
            std::erase(old->m_details, this);
        disconnect(m_master, &TDataSource::rowChanged, this, &TTable::followMaster);
    }
    m_master = master;
    m_linkField = field;
    m_linkIndex = m_def->fieldIndex(field);
    m_followed.reset();
    if (auto* t = master ? qobject_cast<TTable*>(master->DataSet()) : nullptr)
        t->m_details.push_back(this);
    else if (master) // a master that is not a table cursor: follow its moves through its signals
        connect(master, &TDataSource::rowChanged, this, &TTable::followMaster);
}

void TTable::checkActive() const
{
    if (!Active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void TTable::Open()
{
    if (Active())
        return;
    // The engine refuses a table the database does not have.
    if (!Engine::database().tables().contains(m_def->name, Qt::CaseInsensitive))
        throw EDBEngineError(QStringLiteral("Table does not exist: %1").arg(m_def->fileName));
    setActive(true);
    m_state = DataSetState::Browse;
    m_modified = false;
    loadIds(0, 0);
    emit dataReset();
    emit rowChanged();
    emit stateChanged();
    for (TTable* d : m_details)
        d->followMaster();
}

void TTable::Close()
{
    if (!Active())
        return;
    setActive(false);
    m_state = DataSetState::Inactive;
    m_modified = false;
    m_pending.clear();
    m_rows->clear();
    m_followed.reset();
    setCursor(-1, true, true);
    emit dataReset();
    emit rowChanged();
    emit stateChanged();
}

TTable::MasterRow TTable::masterRow() const
{
    TDataSet* master = m_master ? m_master->DataSet() : nullptr;
    if (!master)
        return {};
    MasterRow r;
    const auto* table = qobject_cast<const TTable*>(master);
    r.row = table ? table->currentRowId() : master->RecNo();
    if (const TField* f = master->FindField(m_linkField))
        r.link = f->Value();
    return r;
}

void TTable::loadIds(qint64 keepId, int fallback)
{
    if (isDetail()) {
        // A master without a row, or on a new one, has no link value: the view is empty.
        m_followed = masterRow();
        m_rows->load(m_linkIndex, m_followed->link);
    } else {
        m_rows->load();
    }
    const int n = m_rows->size();
    int pos = std::clamp(fallback, 0, std::max(0, n - 1));
    if (keepId) {
        const int kept = m_rows->position(keepId);
        if (kept >= 0)
            pos = kept;
    }
    setCursor(n ? pos : -1, n == 0 || pos == 0, n == 0);
}

void TTable::followMaster()
{
    if (!Active())
        return;
    // Posting, cancelling or re-reading the master on the same row leaves the view as it is.
    if (m_followed && *m_followed == masterRow())
        return;
    // A pending row of this cursor (and of its own details) is settled before it follows.
    CheckBrowseMode();
    loadIds(0, 0);
    emit dataReset();
    moved();
}

void TTable::moved()
{
    for (TTable* d : m_details)
        d->followMaster();
    emit rowChanged();
}

void TTable::setState(DataSetState s)
{
    if (m_state == s)
        return;
    m_state = s;
    emit stateChanged();
}

int TTable::RecordCount() const { return m_rows->size() + (m_state == DataSetState::Insert ? 1 : 0); }

qint64 TTable::idAt(int position) const
{
    if (m_state == DataSetState::Insert) {
        if (position == m_insertPos)
            return 0;
        if (position > m_insertPos)
            --position;
    }
    return m_rows->id(position);
}

qint64 TTable::currentRowId() const { return RecNo() < 0 ? 0 : idAt(RecNo()); }

QVariant TTable::storedValue(int storedPosition, int index) const { return m_rows->value(storedPosition, index); }

QVariant TTable::rowValue(int position, int index) const
{
    if (index < 0 || index >= FieldCount())
        return {};
    if (pending() && position == RecNo())
        return m_pending[size_t(index)];
    if (m_state == DataSetState::Insert && position > m_insertPos)
        --position;
    return storedValue(position, index);
}

QVariant TTable::fieldValue(int index) const { return RecNo() < 0 ? QVariant() : rowValue(RecNo(), index); }

void TTable::setFieldValue(int index, const QVariant& value)
{
    if (!pending())
        throw EDatabaseError(QStringLiteral("Dataset not in edit or insert mode"));
    if (index < 0 || index >= FieldCount())
        return;
    TField* f = Fields()[size_t(index)].get();
    if (f->ReadOnly())
        throw EDatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(f->FieldName()));
    QVariant& slot = m_pending[size_t(index)];
    if (slot == value && slot.isValid() == value.isValid())
        return;
    slot = value;
    m_modified = true;
    emit fieldChanged(index);
}

void TTable::UpdateRecord()
{
    if (!pending())
        return;
    const auto sources = m_sources;
    for (TDataSource* s : sources)
        s->updateRecord();
}

void TTable::CheckBrowseMode()
{
    if (!Active())
        return;
    for (TTable* d : m_details)
        d->CheckBrowseMode();
    if (!pending())
        return;
    UpdateRecord();
    if (m_modified)
        Post();
    else
        Cancel();
}

void TTable::First()
{
    checkActive();
    CheckBrowseMode();
    const qint64 before = currentRowId();
    const int n = RecordCount();
    setCursor(n ? 0 : -1, true, n == 0);
    if (currentRowId() != before || n == 0)
        moved();
}

void TTable::Next()
{
    checkActive();
    CheckBrowseMode();
    const int n = RecordCount();
    if (n == 0 || RecNo() >= n - 1) {
        setCursor(RecNo(), Bof(), true);
        return;
    }
    setCursor(RecNo() + 1, false, false);
    moved();
}

void TTable::Prior()
{
    checkActive();
    CheckBrowseMode();
    const int n = RecordCount();
    if (n == 0 || RecNo() <= 0) {
        setCursor(RecNo(), true, Eof());
        return;
    }
    setCursor(RecNo() - 1, false, false);
    moved();
}

void TTable::Last()
{
    checkActive();
    CheckBrowseMode();
    const qint64 before = currentRowId();
    const int n = RecordCount();
    setCursor(n - 1, n == 0, true);
    if (currentRowId() != before || n == 0)
        moved();
}

void TTable::MoveTo(int position)
{
    checkActive();
    if (pending() && position == RecNo())
        return;
    const qint64 target = idAt(position);
    CheckBrowseMode();
    // Leaving a pending row may have moved the rows; find the wanted one again.
    const int n = RecordCount();
    int pos = std::clamp(position, 0, std::max(0, n - 1));
    if (target) {
        const int found = m_rows->position(target);
        if (found >= 0)
            pos = found;
    }
    const qint64 before = currentRowId();
    const int old = RecNo();
    setCursor(n ? pos : -1, pos <= 0, n == 0);
    if (currentRowId() != before || old != RecNo())
        moved();
}

void TTable::Insert()
{
    checkActive();
    CheckBrowseMode();
    insertAt(std::max(0, RecNo()));
}

void TTable::Append()
{
    checkActive();
    CheckBrowseMode();
    insertAt(m_rows->size());
}

void TTable::insertAt(int position)
{
    m_insertPos = position;
    m_pending.assign(size_t(FieldCount()), QVariant());
    if (isDetail())
        m_pending[size_t(m_linkIndex)] = TField::normalise(m_def->fields[size_t(m_linkIndex)].type, masterValue());
    m_modified = false;
    m_state = DataSetState::Insert;
    setCursor(m_insertPos, m_insertPos == 0, false);
    emit stateChanged();
    emit dataReset();
    moved();
}

void TTable::Edit()
{
    checkActive();
    if (pending())
        return;
    if (RecordCount() == 0) {
        Insert();
        return;
    }
    m_pending.assign(size_t(FieldCount()), QVariant());
    for (int i = 0; i < FieldCount(); ++i)
        m_pending[size_t(i)] = storedValue(RecNo(), i);
    m_editBase = m_pending;
    m_modified = false;
    setState(DataSetState::Edit);
}

void TTable::Cancel()
{
    if (!Active() || !pending())
        return;
    const bool wasInsert = m_state == DataSetState::Insert;
    m_state = DataSetState::Browse;
    m_modified = false;
    m_pending.clear();
    if (std::exchange(m_rereadOnCancel, false) && !wasInsert) {
        loadIds(currentRowId(), RecNo());
        emit dataReset();
    }
    if (wasInsert) {
        const int n = m_rows->size();
        const int pos = n ? std::min(m_insertPos, n - 1) : -1;
        setCursor(pos, pos <= 0, n == 0);
        m_insertPos = -1;
    }
    emit stateChanged();
    if (wasInsert)
        emit dataReset();
    moved();
}

void TTable::Post()
{
    checkActive();
    if (!pending())
        return;
    UpdateRecord();
    if (!pending()) // a control may have cancelled
        return;
    for (const auto& f : Fields()) {
        if (f->Required() && !f->ReadOnly() && !m_pending[size_t(f->index())].isValid()) {
            for (TDataSource* s : m_sources)
                if (s->focusField(f.get()))
                    break;
            throw EDatabaseError(QStringLiteral("Field '%1' must have a value").arg(f->FieldName()));
        }
    }

    const bool inserting = m_state == DataSetState::Insert;
    qint64 rowId = currentRowId();
    bool reorder = true;
    if (inserting) {
        rowId = insertRow(*m_def, m_pending);
    } else {
        std::vector<bool> changed(static_cast<size_t>(FieldCount()));
        Row read(static_cast<size_t>(FieldCount()));
        for (int i = 0; i < FieldCount(); ++i) {
            const QVariant before = storedValue(RecNo(), i);
            changed[size_t(i)] = before != m_pending[size_t(i)] || before.isValid() != m_pending[size_t(i)].isValid();
            read[size_t(i)] = before;
        }
        // The place in browse order changes only with the order or link field.
        auto moves = [&](const QString& field) {
            const int i = m_def->fieldIndex(field);
            return i >= 0 && changed[size_t(i)];
        };
        reorder = moves(m_def->orderField) || (m_linkIndex >= 0 && moves(m_linkField));
        try {
            updateRow(*m_def, rowId, m_pending, changed, read);
        } catch (const EDBEngineError&) {
            // Refused, perhaps because another seat changed or deleted the row: the edit stays
            // pending, and cancelling it shows the rows as they now are.
            m_rereadOnCancel = true;
            throw;
        }
    }

    const int fallback = RecNo();
    m_state = DataSetState::Browse;
    m_modified = false;
    m_rereadOnCancel = false;
    m_pending.clear();
    m_insertPos = -1;
    if (reorder)
        loadIds(rowId, fallback);
    else
        m_rows->forget(fallback);
    emit dataReset();
    emit stateChanged();
    moved();
}

void TTable::LockCurrentRow()
{
    checkActive();
    UpdateRecord();
    if (m_state == DataSetState::Insert || m_rows->empty())
        return;
    lockRow(*m_def, currentRowId());
    m_rows->forget(RecNo());
    if (m_state == DataSetState::Edit) {
        // What was typed stays; another seat's change of a field not typed into is not undone.
        const auto same = [](const QVariant& a, const QVariant& b) { return a == b && a.isValid() == b.isValid(); };
        for (size_t i = 0; i < m_pending.size() && i < m_editBase.size(); ++i) {
            const QVariant now = storedValue(RecNo(), int(i));
            if (same(m_pending[i], m_editBase[i]))
                m_pending[i] = now;
            m_editBase[i] = now;
        }
    }
    emit dataReset();
    moved();
}

void TTable::Delete()
{
    checkActive();
    if (m_state == DataSetState::Insert) {
        Cancel();
        return;
    }
    if (m_rows->empty())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    for (TTable* d : m_details)
        d->CheckBrowseMode();
    deleteRow(*m_def, currentRowId());
    if (m_state == DataSetState::Edit) {
        m_state = DataSetState::Browse;
        m_modified = false;
        m_pending.clear();
        emit stateChanged();
    }
    const int pos = RecNo();
    m_rows->remove(pos);
    const int n = m_rows->size();
    const int cur = n ? std::min(pos, n - 1) : -1;
    setCursor(cur, cur <= 0, n == 0);
    emit dataReset();
    moved();
}

void TTable::Refresh()
{
    checkActive();
    CheckBrowseMode();
    loadIds(currentRowId(), RecNo());
    emit dataReset();
    moved();
}

bool TTable::Locate(const QString& fieldName, const QVariant& value, LocateOptions options)
{
    checkActive();
    TField* field = FieldByName(fieldName);
    CheckBrowseMode();
    RowSearch search;
    search.field = field->index();
    search.value = value;
    search.partial = options.testFlag(LocateOption::PartialKey);
    search.noCase = options.testFlag(LocateOption::CaseInsensitive);
    if (isDetail()) {
        search.linkIndex = m_linkIndex;
        search.link = masterValue();
        if (!search.link.isValid())
            return false;
    }
    // Every row begins with an empty text: the first one is found.
    const qint64 found = search.partial && value.toString().isEmpty() ? m_rows->id(0) : findRow(*m_def, search);
    const int pos = found ? m_rows->position(found) : -1;
    if (pos < 0)
        return false;
    const int old = RecNo();
    setCursor(pos, pos == 0, false);
    if (old != pos)
        moved();
    for (TDataSource* s : m_sources)
        s->scrollCurrentToMiddle();
    return true;
}

} // namespace zz
