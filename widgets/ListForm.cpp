#include "widgets/ListForm.h"

#include <QHeaderView>

#include "data/DataMod.h"
#include "widgets/Accessible.h"
#include "widgets/Dialogs.h"
#include "widgets/Handlers.h"

namespace zz {

TListForm::TListForm(const QString& caption, int clientWidth, int clientHeight, TTable* TDataModule1::*table,
                     TDataSource* TDataModule1::*source, QWidget* parent)
    : TPanelForm(caption, clientWidth, clientHeight, parent), m_table(table), m_source(source)
{
}

TTable* TListForm::table() const { return m_table ? DataModule1->*m_table : nullptr; }

QLabel* TListForm::makeSearchRow(QWidget* panel, const QString& labelName, const QString& caption, int fieldLeft,
                                 int maxLength, bool whiteField, Search search)
{
    m_search = std::move(search);
    QLabel* label = makeCaption(panel, labelName, caption, 16, 20);
    edtSearch = new QLineEdit(panel);
    edtSearch->setObjectName(QStringLiteral("edtSearch"));
    edtSearch->setGeometry(fieldLeft, 16, 233, 21);
    if (maxLength > 0)
        edtSearch->setMaxLength(maxLength);
    makeFlat(edtSearch, whiteField);
    nameControl(label, edtSearch);
    btnSearch = makeButton(panel, QStringLiteral("btnSearch"), QStringLiteral("&Search"), QStringLiteral("search"),
                           ButtonScheme::csNeoSilver, fieldLeft + 241, 14);
    onKeyDown(edtSearch, [this](int key) { edtSearchKeyDown(key); });
    connect(btnSearch, &TXiButton::clicked, this, command(this, &TListForm::btnSearchClick));
    return label;
}

QColor TListForm::shadedColumn() { return toQColor(15066597); }

TDBGrid* TListForm::makeGrid(QWidget* panel, const QRect& geometry, bool white, bool readOnly,
                             const std::function<QList<TColumn>(const QFontMetrics&)>& columns)
{
    DBGrid1 = new TDBGrid(panel);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(geometry);
    DBGrid1->setFrameStyle(QFrame::Box | QFrame::Plain);
    DBGrid1->horizontalHeader()->setHighlightSections(false);
    QPalette pal = DBGrid1->palette();
    pal.setColor(QPalette::Base, white ? QColor(Qt::white) : pal.color(QPalette::Window));
    DBGrid1->setPalette(pal);
    DBGrid1->setReadOnly(readOnly);
    DBGrid1->setColumns(columns(DBGrid1->fontMetrics()));
    if (DataModule1)
        DBGrid1->setDataSource(DataModule1->*m_source);
    return DBGrid1;
}

void TListForm::makeMasterBar(QWidget* bar, TXiButton*& newButton, const char* newName, TXiButton*& editButton,
                              const char* editName, TXiButton*& deleteButton, const char* deleteName,
                              TForm* (*editor)())
{
    m_editor = editor;
    const auto button = [&](const char* name, const char* caption, const char* picture, int left, void (TListForm::*click)()) {
        TXiButton* b = makeButton(bar, QLatin1String(name), QLatin1String(caption), QLatin1String(picture),
                                  ButtonScheme::csNeoSilver, left, 8);
        connect(b, &TXiButton::clicked, this, command(this, click));
        return b;
    };
    newButton = button(newName, "&New", "new", 16, &TListForm::btnNewClick);
    editButton = button(editName, "&Edit", "edit", 104, &TListForm::btnEditClick);
    deleteButton = button(deleteName, "&Delete", "delete", 192, &TListForm::btnDeleteClick);
    btnClose = button("btnClose", "&Close", "close", width() - 91, &TListForm::btnCloseClick);
}

void TListForm::FormActivate()
{
    if (!edtSearch)
        return;
    edtSearch->clear();
    edtSearch->setFocus();
}

void TListForm::edtSearchKeyDown(int key)
{
    if (key == kEnterKey)
        btnSearchClick();
}

void TListForm::btnSearchClick()
{
    const QString text = edtSearch->text();
    if (text.isEmpty()) {
        showWarning(m_search.emptyMessage);
    } else {
        // Locating first leaves a pending insert or edit: a changed row is posted, an unchanged
        // one dropped. A match becomes the current row, shown in the middle of the grid.
        guarded([&] {
            if (!table()->Locate(m_search.field, text, LocateOption::PartialKey | LocateOption::CaseInsensitive))
                showInformation(m_search.notFoundMessage);
        });
    }
    edtSearch->setFocus();
}

void TListForm::btnNewClick()
{
    guarded([this] {
        table()->Insert();
        m_editor()->ShowModal();
    });
}

void TListForm::btnEditClick()
{
    guarded([this] {
        table()->Edit();
        m_editor()->ShowModal();
    });
}

void TListForm::btnDeleteClick()
{
    if (!confirm(QStringLiteral("Delete selected record?")))
        return;
    guarded([this] { table()->Delete(); });
}

void TListForm::btnCloseClick()
{
    // A list of a query has no cursor of its own to write back.
    if (TTable* t = table()) {
        t->Refresh();
        t->First();
    }
    Close();
}

} // namespace zz
