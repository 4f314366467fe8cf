#pragma once
// The window kit: what the program's windows share in their layout. A window laid out on a
// content panel above a 41-pixel button bar, the dialogs' small font, gradient buttons with their
// pictures, transparent captions, headings, flat edit fields, rows of captioned data-bound edit
// fields, grid column widths and tab orders.
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <functional>
#include <initializer_list>

#include "widgets/DBEdit.h"
#include "widgets/Form.h"
#include "widgets/XiButton.h"
#include "widgets/XiPanel.h"

namespace zz {

class TDataSource;
class TTable;

// The windows' small UI font at 8 point, in the installed face nearest in width to the one their
// pixel layout was made for: MS Sans Serif where Wine's fonts provide it, else Liberation Sans
// (Arial's widths), else the system sans serif.
QFont smallDialogFont();
QString dialogFontFamily();

// A window with a sizeable frame, a close box and a minimise box (no maximise box), the small
// font, centred on the desktop, laid out on a content panel above a button bar that stays at the
// bottom while the frame is resized (the controls keep their places).
class TPanelForm : public TForm {
    Q_OBJECT
public:
    explicit TPanelForm(const QString& caption, int clientWidth, int clientHeight, QWidget* parent = nullptr);

protected:
    // Creates the two panels with one scheme and a vertical fill, named XiPanel1 (content) and
    // XiPanel2 (bar) unless a window names them the other way round.
    void makePanels(PanelScheme scheme, TXiPanel*& content, TXiPanel*& buttonBar, const char* contentName = "XiPanel1",
                    const char* barName = "XiPanel2");
    void resizeEvent(QResizeEvent* event) override;
    // A fixed dialog frame instead: the client size as given, no resizing, no minimise or
    // maximise box, a close box.
    void fixDialogFrame();

    // The editor dialogs' bar: "&Save" (green tick) at the left and "&Cancel" (red cross) at
    // cancelLeft, rose gradient buttons, running saveClick and cancelClick.
    void makeSaveCancel(QWidget* bar, TXiButton*& save, TXiButton*& cancel, int cancelLeft,
                        std::function<void()> saveClick, std::function<void()> cancelClick);
    // What the editor dialogs' Save and Cancel do with the row they edit: post it, or cancel it,
    // then close. A failure shows its own message in an error box and the dialog stays open with
    // the row still pending, so that the user can correct it or cancel.
    void saveRow(TTable* table);
    // The other dialogs' bar: "&OK" (green tick) at the left and "&Cancel" (red cross) at
    // cancelLeft, rose gradient buttons, running okClick and cancelClick.
    void makeOkCancel(QWidget* bar, TXiButton*& ok, TXiButton*& cancel, int cancelLeft, std::function<void()> okClick,
                      std::function<void()> cancelClick);
    void cancelRow(TTable* table);

private:
    // A button at the bar's left and "&Cancel" at cancelLeft.
    void makeBarPair(QWidget* bar, TXiButton*& first, const QString& name, const QString& caption,
                     const QString& picture, TXiButton*& cancel, int cancelLeft, std::function<void()> firstClick,
                     std::function<void()> cancelClick);

    TXiPanel* m_content = nullptr;
    TXiPanel* m_bar = nullptr;
};

// A gradient button of 75 x 25 at a place, hot tracking, with a picture (a name of the glyph
// table, none when empty) left of its caption.
TXiButton* makeButton(QWidget* parent, const QString& name, const QString& caption, const QString& picture,
                      ButtonScheme scheme, int left, int top);
// A transparent caption at a place, sized to its text, bold or not.
QLabel* makeCaption(QWidget* parent, const QString& name, const QString& text, int left, int top, bool bold = false);
// The heading across the top of a panel (56 pixels, or the height of a heading panel): Arial,
// 24 px, bold, centred.
QLabel* makeHeading(QWidget* parent, const QString& name, const QString& text, int width, int height = 56);
// A grid column's default width for a text of so many characters, at least its title's width.
int defaultColumnWidth(const QFontMetrics& metrics, int characters, const QString& title);
// A flat, single-line edit look: thin border, white or the window's own colour.
void makeFlat(QLineEdit* edit, bool white);
// Sets the tab order of the controls, in the order given.
void setTabOrderOf(std::initializer_list<QWidget*> controls);

// The windows laid out in bands from top to bottom (a heading, a search row, grids, a button bar):
// the column that holds the bands, filling the window. A band of fixed height keeps it; a grid
// added with a stretch takes the room the window has left.
QVBoxLayout* makeBands(QWidget* window);
// A band: a gradient panel with a vertical fill, of a fixed height.
TXiPanel* makeBandPanel(QWidget* window, const QString& name, int height, PanelScheme scheme = PanelScheme::csSilver);
// A heading that fills its band: Arial, 24 px, bold, centred, following the band's size.
QLabel* makeBandHeading(TXiPanel* band, const QString& name, const QString& text);
// The working windows shown maximised: a maximise box joins the frame's close and minimise boxes.
void makeMaximised(TForm* window);

// One row of an editor: a caption at the left and a data-bound edit field beside it.
struct FieldRow {
    QLabel*& label;
    const char* caption;
    TDBEdit*& edit;
    const char* field;
    int width;
    bool bold = false; // the caption of a required field
};
// Where the rows go.
struct FieldRowsLayout {
    int top;            // top of the first row's edit field; its caption stands 4 px lower
    int editLeft;       // the edit fields' left edge; the captions stand at 8
    bool whiteEdits;    // white edit fields, or in the window's own colour
    int firstLabel = 1; // the number in the first caption's name (Label1)
};
// Lays the rows out 32 px apart, captions named LabelN from firstLabel on and edits DBEdit1 onwards,
// the edits bound to source; returns the top of the next row.
int makeFieldRows(QWidget* panel, TDataSource* source, std::initializer_list<FieldRow> rows, const FieldRowsLayout& layout);

// One row of a dialog whose fields belong to no cursor: a caption carrying its access key ("Co&untry")
// at the left, and a flat edit field beside it that takes at most maxLength characters.
struct EditRow {
    QLabel*& label;
    const char* caption;
    QLineEdit*& edit;
    const char* name; // the edit field's name, "edtCountry"
    int width;
    int maxLength;
};
// Lays the rows out as makeFieldRows does, 32 px apart, captions named LabelN from firstLabel on;
// each caption's access key moves the focus to its field. Returns the top of the next row.
int makeEditRows(QWidget* panel, std::initializer_list<EditRow> rows, const FieldRowsLayout& layout);

} // namespace zz
