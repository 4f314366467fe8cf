#include "data/Table.h"

#include <QSqlQuery>
#include <algorithm>
#include <sqlite3.h>

#include "data/DataSource.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "data/HeldRows.h"

namespace zz {

namespace {
constexpr int kMaxRun = 16;       // blocks read at once while reading on through the view
constexpr int kHeldLimit = 128;   // blocks held before the held rows are dropped

bool g_directReading = true;

// How a field value is handed to the engine: dates as 'YYYY-MM-DD', everything else as held.
QVariant bindable(FieldType type, const QVariant& v)
{
    if (!v.isValid())
        return {};
    if (type == FieldType::Date)
        return v.toDate().toString(Qt::ISODate);
    return v;
}

bool isAscii(const QString& s)
{
    for (QChar c : s)
        if (c.unicode() > 127)
            return false;
    return true;
}

} // namespace

TTable::TTable(const QString& name, const QString& tableName, QObject* parent)
    : TDataSet(name, parent), m_def(&zz::tableDef(tableName))
{
    defineFields(m_def->fields);
}

TTable::~TTable() = default;

void TTable::setDirectReading(bool enabled) { g_directReading = enabled; }

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

QString TTable::orderBy() const
{
    return m_def->orderField.isEmpty() ? QStringLiteral(" ORDER BY rowid")
                                       : QStringLiteral(" ORDER BY %1, rowid").arg(m_def->orderField);
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
    m_ids.clear();
    dropBlocks();
    m_blocks.clear();
    m_pageQuery.reset();
    m_rowStatement.finalize();
    m_idsStatement.finalize();
    setCursor(-1, true, true);
    emit dataReset();
    emit rowChanged();
    emit stateChanged();
}

QVariant TTable::masterValue() const
{
    if (!m_master || !m_master->DataSet())
        return {};
    TField* f = m_master->DataSet()->FindField(m_linkField);
    return f ? f->Value() : QVariant();
}

void TTable::loadIds(qint64 keepId, int fallback)
{
    m_ids.clear();
    dropBlocks();
    const bool detail = m_master && m_linkIndex >= 0;
    const QVariant link = detail ? masterValue() : QVariant();
    if (!detail || link.isValid()) {
        QString sql = QStringLiteral("SELECT rowid FROM %1").arg(m_def->name);
        if (detail)
            sql += QStringLiteral(" WHERE %1 = ?").arg(m_linkField);
        sql += orderBy();
        const QVariant bound = detail ? bindable(m_def->fields[size_t(m_linkIndex)].type, link) : QVariant();
        if (sqlite3* db = g_directReading ? Engine::sqliteHandle() : nullptr) {
            sqlite3_stmt* st = m_idsStatement.prepare(db, sql.toUtf8(), m_def->name);
            const std::unique_ptr<sqlite3_stmt, SqliteStatementReset> resetAtEnd(st);
            if (detail)
                sqliteBind(st, 1, bound);
            int rc;
            while ((rc = sqlite3_step(st)) == SQLITE_ROW)
                m_ids.push_back(sqlite3_column_int64(st, 0));
            if (rc != SQLITE_DONE) {
                m_ids.clear();
                throw EDBEngineError(engineErrorText(QString::fromUtf8(sqlite3_errmsg(db)), m_def->name));
            }
        } else {
            QSqlQuery q = prepareOrThrow(sql);
            q.setForwardOnly(true);
            if (detail)
                q.addBindValue(bound);
            execOrThrow(q, m_def->name);
            while (q.next())
                m_ids.push_back(q.value(0).toLongLong());
        }
    }
    const int n = int(m_ids.size());
    m_blocks.resize(size_t((n + kBlock - 1) / kBlock));
    m_run = 1;
    m_nextBlock = m_priorBlock = -1;
    int pos = std::clamp(fallback, 0, std::max(0, n - 1));
    if (keepId) {
        const auto it = std::find(m_ids.begin(), m_ids.end(), keepId);
        if (it != m_ids.end())
            pos = int(it - m_ids.begin());
    }
    setCursor(n ? pos : -1, n == 0 || pos == 0, n == 0);
}

void TTable::followMaster()
{
    if (!Active())
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

int TTable::RecordCount() const { return int(m_ids.size()) + (m_state == DataSetState::Insert ? 1 : 0); }

qint64 TTable::idAt(int position) const
{
    if (m_state == DataSetState::Insert) {
        if (position == m_insertPos)
            return 0;
        if (position > m_insertPos)
            --position;
    }
    return position >= 0 && position < int(m_ids.size()) ? m_ids[size_t(position)] : 0;
}

qint64 TTable::currentRowId() const { return RecNo() < 0 ? 0 : idAt(RecNo()); }

void TTable::dropBlocks() const
{
    if (m_heldBlocks)
        for (auto& b : m_blocks)
            b.reset();
    m_heldBlocks = 0;
}

void TTable::dropBlockOf(int idIndex)
{
    const size_t b = size_t(idIndex / kBlock);
    if (idIndex >= 0 && b < m_blocks.size() && m_blocks[b]) {
        m_blocks[b].reset();
        --m_heldBlocks;
    }
}

void TTable::fetchBlocks(int block) const
{
    const int blocks = int(m_blocks.size());
    // Reading on in the same direction as the last fetch doubles the blocks read at once.
    int first = block, last = block;
    if (block == m_nextBlock) {
        m_run = std::min(m_run * 2, kMaxRun);
        last = std::min(blocks - 1, block + m_run - 1);
    } else if (block == m_priorBlock) {
        m_run = std::min(m_run * 2, kMaxRun);
        first = std::max(0, block - m_run + 1);
    } else {
        m_run = 1;
    }
    for (int b = block + 1; b <= last; ++b)
        if (m_blocks[size_t(b)]) {
            last = b - 1;
            break;
        }
    for (int b = block - 1; b >= first; --b)
        if (m_blocks[size_t(b)]) {
            first = b + 1;
            break;
        }
    if (m_heldBlocks + (last - first + 1) > kHeldLimit)
        dropBlocks();

    std::vector<std::unique_ptr<HeldBlock>> read;
    for (int b = first; b <= last; ++b) {
        read.push_back(std::make_unique<HeldBlock>());
        const int rows = std::min(int(m_ids.size()) - b * kBlock, kBlock);
        read.back()->cells.resize(size_t(rows) * size_t(FieldCount()));
    }
    if (sqlite3* db = g_directReading ? Engine::sqliteHandle() : nullptr)
        readRowsDirect(db, first, read);
    else
        readRowsThroughDriver(first, read);
    for (int b = first; b <= last; ++b)
        m_blocks[size_t(b)] = std::move(read[size_t(b - first)]);
    m_heldBlocks += last - first + 1;
    m_nextBlock = last + 1;
    m_priorBlock = first - 1;
}

void TTable::readRowsDirect(sqlite3* db, int firstBlock, std::vector<std::unique_ptr<HeldBlock>>& blocks) const
{
    const int n = FieldCount();
    if (m_rowSql.isEmpty()) {
        QStringList cols;
        for (const FieldDef& f : m_def->fields)
            cols << f.name;
        QStringList marks;
        for (int i = 0; i < kBlock; ++i)
            marks << QStringLiteral("?");
        m_rowSql = QStringLiteral("SELECT %1, rowid FROM %2 WHERE rowid IN (%3)")
                       .arg(cols.join(QStringLiteral(", ")), m_def->name, marks.join(QLatin1Char(',')))
                       .toUtf8();
    }
    sqlite3_stmt* raw = m_rowStatement.prepare(db, m_rowSql, m_def->name);
    // Reset whatever happens, so that the statement holds no read transaction between uses.
    const std::unique_ptr<sqlite3_stmt, SqliteStatementReset> resetAtEnd(raw);
    auto fail = [&] { throw EDBEngineError(engineErrorText(QString::fromUtf8(sqlite3_errmsg(db)), m_def->name)); };
    std::vector<FieldType> types;
    for (const FieldDef& f : m_def->fields)
        types.push_back(f.type);
    std::vector<std::pair<qint64, int>> where; // identity -> row of the block, sorted
    for (size_t k = 0; k < blocks.size(); ++k) {
        HeldBlock& block = *blocks[k];
        const int start = (firstBlock + int(k)) * kBlock;
        const int rows = int(block.cells.size()) / n;
        block.text.reserve(size_t(rows) * 64);
        sqlite3_reset(raw);
        where.clear();
        for (int i = 0; i < kBlock; ++i)
            sqlite3_bind_int64(raw, i + 1, m_ids[size_t(start + (i < rows ? i : 0))]);
        for (int i = 0; i < rows; ++i)
            where.emplace_back(m_ids[size_t(start + i)], i);
        std::sort(where.begin(), where.end());
        // The rows come in the engine's order of identities.
        auto next = where.begin();
        int rc;
        while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
            const qint64 id = sqlite3_column_int64(raw, n);
            if (next == where.end() || next->first != id)
                next = std::lower_bound(where.begin(), where.end(), std::make_pair(id, 0));
            if (next == where.end() || next->first != id)
                continue;
            HeldCell* row = block.cells.data() + size_t(next->second) * size_t(n);
            for (int i = 0; i < n; ++i)
                block.take(row[i], types[size_t(i)], sqlite3_column_value(raw, i));
            ++next;
        }
        if (rc != SQLITE_DONE)
            fail();
    }
}

void TTable::readRowsThroughDriver(int firstBlock, std::vector<std::unique_ptr<HeldBlock>>& blocks) const
{
    const int n = FieldCount();
    if (!m_pageQuery) {
        QStringList cols;
        for (const FieldDef& f : m_def->fields)
            cols << f.name;
        QStringList marks;
        for (int i = 0; i < kBlock; ++i)
            marks << QStringLiteral("?");
        m_pageQuery = std::make_unique<QSqlQuery>(prepareOrThrow(
            QStringLiteral("SELECT %1, rowid FROM %2 WHERE rowid IN (%3)")
                .arg(cols.join(QStringLiteral(", ")), m_def->name, marks.join(QLatin1Char(',')))));
        m_pageQuery->setForwardOnly(true);
    }
    QSqlQuery& q = *m_pageQuery;
    std::vector<std::pair<qint64, int>> where; // identity -> row of the block, sorted
    for (size_t k = 0; k < blocks.size(); ++k) {
        HeldBlock& block = *blocks[k];
        const int start = (firstBlock + int(k)) * kBlock;
        const int rows = int(block.cells.size()) / n;
        where.clear();
        for (int i = 0; i < kBlock; ++i)
            q.bindValue(i, m_ids[size_t(start + (i < rows ? i : 0))]);
        for (int i = 0; i < rows; ++i)
            where.emplace_back(m_ids[size_t(start + i)], i);
        std::sort(where.begin(), where.end());
        execOrThrow(q, m_def->name);
        while (q.next()) {
            const qint64 id = q.value(n).toLongLong();
            const auto it = std::lower_bound(where.begin(), where.end(), std::make_pair(id, 0));
            if (it == where.end() || it->first != id)
                continue;
            HeldCell* row = block.cells.data() + size_t(it->second) * size_t(n);
            for (int i = 0; i < n; ++i)
                block.hold(row[i], TField::normalise(m_def->fields[size_t(i)].type, q.value(i)));
        }
        q.finish();
    }
}

QVariant TTable::storedValue(int idIndex, int index) const
{
    if (idIndex < 0 || idIndex >= int(m_ids.size()))
        return {};
    const size_t b = size_t(idIndex / kBlock);
    if (!m_blocks[b])
        fetchBlocks(int(b));
    return m_blocks[b]->value(size_t(idIndex % kBlock) * size_t(FieldCount()) + size_t(index));
}

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
        const auto it = std::find(m_ids.begin(), m_ids.end(), target);
        if (it != m_ids.end())
            pos = int(it - m_ids.begin());
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
    insertAt(int(m_ids.size()));
}

void TTable::insertAt(int position)
{
    m_insertPos = position;
    m_pending.assign(size_t(FieldCount()), QVariant());
    if (m_master && m_linkIndex >= 0)
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
    if (wasInsert) {
        const int n = int(m_ids.size());
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
    const auto& fields = Fields();
    for (const auto& f : fields) {
        if (f->Required() && !f->ReadOnly() && !m_pending[size_t(f->index())].isValid()) {
            for (TDataSource* s : m_sources)
                if (s->focusField(f.get()))
                    break;
            throw EDatabaseError(QStringLiteral("Field '%1' must have a value").arg(f->FieldName()));
        }
    }

    QVariantMap named;
    for (const auto& f : fields)
        named.insert(f->FieldName(), m_pending[size_t(f->index())]);

    const bool inserting = m_state == DataSetState::Insert;
    qint64 rowId = currentRowId();
    bool reorder = true;
    if (inserting) {
        // Only the columns that hold a value, so that the table's defaults apply to the others.
        QStringList cols, marks;
        QVariantList values;
        for (const auto& f : fields) {
            const QVariant& v = m_pending[size_t(f->index())];
            if (!v.isValid() || f->DataType() == FieldType::AutoInc)
                continue;
            cols << f->FieldName();
            marks << QStringLiteral("?");
            values << bindable(f->DataType(), v);
        }
        const QString sql = cols.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_def->name)
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(m_def->name, cols.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        QSqlQuery q = prepareOrThrow(sql);
        for (const QVariant& v : values)
            q.addBindValue(v);
        execOrThrow(q, m_def->name, named);
        rowId = q.lastInsertId().toLongLong();
    } else {
        // The place in browse order changes only with the order or link field.
        auto same = [&](const QString& field) {
            const int i = m_def->fieldIndex(field);
            return i < 0 || storedValue(RecNo(), i) == m_pending[size_t(i)];
        };
        reorder = !same(m_def->orderField) || (m_linkIndex >= 0 && !same(m_linkField));
        QStringList sets;
        QVariantList values;
        for (const auto& f : fields) {
            if (f->DataType() == FieldType::AutoInc)
                continue;
            sets << QStringLiteral("%1 = ?").arg(f->FieldName());
            values << bindable(f->DataType(), m_pending[size_t(f->index())]);
        }
        QSqlQuery q = prepareOrThrow(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(m_def->name, sets.join(QStringLiteral(", "))));
        for (const QVariant& v : values)
            q.addBindValue(v);
        q.addBindValue(rowId);
        execOrThrow(q, m_def->name, named);
    }

    const int fallback = RecNo();
    m_state = DataSetState::Browse;
    m_modified = false;
    m_pending.clear();
    m_insertPos = -1;
    if (reorder) {
        loadIds(rowId, fallback);
        emit dataReset();
    } else {
        dropBlockOf(fallback);
        emit dataReset();
    }
    emit stateChanged();
    moved();
}

void TTable::Delete()
{
    checkActive();
    if (m_state == DataSetState::Insert) {
        Cancel();
        return;
    }
    if (m_ids.empty())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    for (TTable* d : m_details)
        d->CheckBrowseMode();
    const qint64 id = currentRowId();
    QSqlQuery q = prepareOrThrow(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(m_def->name));
    q.addBindValue(id);
    execOrThrow(q, m_def->name);
    if (m_state == DataSetState::Edit) {
        m_state = DataSetState::Browse;
        m_modified = false;
        m_pending.clear();
        emit stateChanged();
    }
    const int pos = RecNo();
    m_ids.erase(m_ids.begin() + pos);
    // The rows after it move up a place: the held blocks no longer match their positions.
    dropBlocks();
    const int n = int(m_ids.size());
    m_blocks.resize(size_t((n + kBlock - 1) / kBlock));
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
    const bool partial = options.testFlag(LocateOption::PartialKey);
    const bool noCase = options.testFlag(LocateOption::CaseInsensitive);
    const QString col = field->FieldName();
    const bool detail = m_master && m_linkIndex >= 0;
    const QVariant link = detail ? masterValue() : QVariant();
    if (detail && !link.isValid())
        return false;
    const QString linkWhere = detail ? QStringLiteral("%1 = ? AND ").arg(m_linkField) : QString();

    qint64 found = 0;
    const QString text = value.toString();
    if (partial && text.isEmpty()) {
        found = m_ids.empty() ? 0 : m_ids.front();
    } else if (partial && noCase && field->DataType() == FieldType::Text && col == m_def->orderField && isAscii(text)) {
        // The browse order compares names without regard to case: the first row at or after
        // the text is the first that can begin with it.
        QSqlQuery q = prepareOrThrow(QStringLiteral("SELECT rowid, %1 FROM %2 WHERE %3%1 >= ?%4 LIMIT 1")
                                         .arg(col, m_def->name, linkWhere, orderBy()));
        q.setForwardOnly(true);
        if (detail)
            q.addBindValue(bindable(m_def->fields[size_t(m_linkIndex)].type, link));
        q.addBindValue(text);
        execOrThrow(q, m_def->name);
        if (q.next() && q.value(1).toString().startsWith(text, Qt::CaseInsensitive))
            found = q.value(0).toLongLong();
    } else if (!partial && !noCase) {
        QSqlQuery q = prepareOrThrow(QStringLiteral("SELECT rowid FROM %1 WHERE %2%3 = ?%4 LIMIT 1")
                                         .arg(m_def->name, linkWhere, col, orderBy()));
        q.setForwardOnly(true);
        if (detail)
            q.addBindValue(bindable(m_def->fields[size_t(m_linkIndex)].type, link));
        q.addBindValue(bindable(field->DataType(), TField::normalise(field->DataType(), value)));
        execOrThrow(q, m_def->name);
        if (q.next())
            found = q.value(0).toLongLong();
    } else {
        // Any other search compares the field's text row by row in browse order.
        QSqlQuery q = prepareOrThrow(QStringLiteral("SELECT rowid, %1 FROM %2 %3%4")
                                         .arg(col, m_def->name,
                                              detail ? QStringLiteral("WHERE %1 = ?").arg(m_linkField) : QString(),
                                              orderBy()));
        q.setForwardOnly(true);
        if (detail)
            q.addBindValue(bindable(m_def->fields[size_t(m_linkIndex)].type, link));
        execOrThrow(q, m_def->name);
        const Qt::CaseSensitivity cs = noCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
        while (q.next()) {
            const QVariant v = TField::normalise(field->DataType(), q.value(1));
            const QString s = field->DataType() == FieldType::Date ? v.toDate().toString(Qt::ISODate) : v.toString();
            const QString want = field->DataType() == FieldType::Date && value.metaType().id() == QMetaType::QDate
                ? value.toDate().toString(Qt::ISODate) : text;
            if (partial ? s.startsWith(want, cs) : s.compare(want, cs) == 0) {
                found = q.value(0).toLongLong();
                break;
            }
        }
    }
    if (!found)
        return false;
    const auto it = std::find(m_ids.begin(), m_ids.end(), found);
    if (it == m_ids.end())
        return false;
    const int pos = int(it - m_ids.begin());
    const int old = RecNo();
    setCursor(pos, pos == 0, false);
    if (old != pos)
        moved();
    for (TDataSource* s : m_sources)
        s->scrollCurrentToMiddle();
    return true;
}

} // namespace zz
