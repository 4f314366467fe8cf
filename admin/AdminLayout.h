#pragma once
// What the master data windows share: the two-panel frame (a content panel above a 41-pixel
// button bar), the small dialog font, gradient buttons with their pictures, transparent captions,
// flat edit fields, and an edit field that selects its text when the window hands it the focus.
#include <QLabel>
#include <initializer_list>
#include <QLineEdit>

#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/Form.h"
#include "widgets/XiButton.h"
#include "widgets/XiPanel.h"

namespace zz {

// The dialogs' small UI font: the system sans serif at 8 point.
QFont smallDialogFont();

// A window of the administration: sizeable frame with a close box and a minimise box, the small
// font, centred on the desktop, laid out on a content panel above a button bar that stays at the
// bottom while the frame is resized (the controls keep their places).
class TAdminForm : public TForm {
    Q_OBJECT
public:
    explicit TAdminForm(const QString& caption, int clientWidth, int clientHeight, QWidget* parent = nullptr);

protected:
    // Creates the two panels with one scheme and a vertical fill; the caller names them.
    void makePanels(PanelScheme scheme, TXiPanel*& content, TXiPanel*& buttonBar);
    void resizeEvent(QResizeEvent* event) override;

private:
    TXiPanel* m_content = nullptr;
    TXiPanel* m_bar = nullptr;
};

// A gradient button of 75 x 25 at a place, hot tracking, with a picture left of its caption.
TXiButton* makeButton(QWidget* parent, const QString& name, const QString& caption, const QString& picture,
                      ButtonScheme scheme, int left, int top);
// A transparent caption at a place, bold or not.
QLabel* makeCaption(QWidget* parent, const QString& name, const QString& text, int left, int top, bool bold = false);
// The heading across the top 56 pixels of a panel: Arial, 24 px, bold, centred.
QLabel* makeHeading(QWidget* parent, const QString& name, const QString& text, int width);
// A grid column's default width for a text of so many characters, at least its title's width.
int defaultColumnWidth(const QFontMetrics& metrics, int characters, const QString& title);
// A flat, single-line edit look: thin border, white or the window's own colour.
void makeFlat(QLineEdit* edit, bool white);

// One row of an editor: a caption at the left and a data-bound edit field beside it.
struct FieldRow {
    QLabel*& label;
    const char* caption;
    TDBEdit*& edit;
    const char* field;
    int width;
};
// Lays the rows out 32 px apart from top on, captions and edits named Label1/DBEdit1 onwards
// (the first caption bold), edits at editLeft bound to source; returns the top of the next row.
int makeFieldRows(QWidget* panel, TDataSource* source, std::initializer_list<FieldRow> rows, int top, int editLeft,
                  bool whiteEdits);

} // namespace zz
