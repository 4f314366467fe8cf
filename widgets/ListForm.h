#pragma once
// The list windows: a data grid over a cursor with a search row above it (caption, search field,
// "&Search"), buttons in the bar below and "&Close" at the bar's right end. The search finds the
// first row whose search field begins with the typed text, letters compared without regard to
// case; Enter in the search field searches; each opening empties the field and focuses it. The
// master lists add, change and delete rows through an editor dialog.
#include <QLabel>
#include <QLineEdit>
#include <functional>

#include "widgets/DBGrid.h"
#include "widgets/WindowKit.h"

namespace zz {

class TDataModule1;
class TDataSource;
class TTable;

class TListForm : public TPanelForm {
    Q_OBJECT
public:
    QLineEdit* edtSearch = nullptr;
    TXiButton* btnSearch = nullptr;
    TDBGrid* DBGrid1 = nullptr;
    TXiButton* btnClose = nullptr;

    // The search; also run by Enter in the search field.
    void btnSearchClick();
    void edtSearchKeyDown(int key);

    // The master lists' handlers. New starts a blank row before the current one, Edit puts the
    // current row into edit mode (on an empty list it inserts, the cursor's rule; a row already
    // pending stays as it is), then the editor runs modally; a failure to enter the mode shows in
    // an error box and the editor does not open. Delete asks "Delete selected record?" and on Yes
    // deletes the current row, nothing else. Close writes a changed pending row (or drops an
    // unchanged one) while re-reading the cursor, goes to the first row and closes; a failure
    // there reaches the general error report and the window stays open. A list of a query just
    // closes.
    void btnNewClick();
    void btnEditClick();
    void btnDeleteClick();
    void btnCloseClick();

protected:
    // What the search row looks for and says.
    struct Search {
        QString field;           // the field located, named without regard to case ("CUS_NAME")
        QString emptyMessage;    // the warning for an empty search field
        QString notFoundMessage; // the information when no row begins with the text
    };
    // The list shows the rows of the data source and searches and edits the cursor (nullptr for a
    // list of a query, which neither searches nor edits); both are members of the data module,
    // read from it at each use.
    TListForm(const QString& caption, int clientWidth, int clientHeight, TTable* TDataModule1::*table,
              TDataSource* TDataModule1::*source, QWidget* parent);

    // The search row at the top of a panel: the caption at 16, the search field (233 px wide, at
    // most maxLength characters, 0 for no limit) at fieldLeft and "&Search" 8 px right of it.
    QLabel* makeSearchRow(QWidget* panel, const QString& labelName, const QString& caption, int fieldLeft,
                          int maxLength, bool whiteField, Search search);
    // The background of a shaded grid column: light grey, 229 in each channel (colour 15066597).
    static QColor shadedColumn();
    // The list's grid on a panel: flat, white cells or the window's colour, read-only or not, with
    // the columns made for the grid's font, over the list's data source.
    TDBGrid* makeGrid(QWidget* panel, const QRect& geometry, bool white, bool readOnly,
                      const std::function<QList<TColumn>(const QFontMetrics&)>& columns);
    // The master lists' bar: "&New", "&Edit" and "&Delete" from the left and "&Close" at the right
    // end, running btnNewClick, btnEditClick, btnDeleteClick and btnCloseClick; the window names
    // the first three. New and Edit show the dialog that editor returns.
    void makeMasterBar(QWidget* bar, TXiButton*& newButton, const char* newName, TXiButton*& editButton,
                       const char* editName, TXiButton*& deleteButton, const char* deleteName, TForm* (*editor)());

    // Empties the search field and gives it the focus.
    void FormActivate() override;

private:
    TTable* table() const;

    TTable* TDataModule1::*m_table;
    TDataSource* TDataModule1::*m_source;
    TForm* (*m_editor)() = nullptr;
    Search m_search;
};

} // namespace zz
