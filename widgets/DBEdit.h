#pragma once
// The data-bound edit field: shows a field of the current row of a data source, its display text
// without the focus and its edit text with it, and writes typed text back into the field.
#include <QLineEdit>

#include "widgets/DataBinding.h"

namespace zz {

class TDBEdit : public QLineEdit, public TDataLink, public TFieldBinding {
    Q_OBJECT
public:
    explicit TDBEdit(QWidget* parent = nullptr);
    TDBEdit(TDataSource* source, const QString& field, QWidget* parent = nullptr);
    ~TDBEdit() override;

    void setDataSource(TDataSource* source);
    void setDataField(const QString& field);
    void bind(TDataSource* source, const QString& field);

    // True while typed text has not been written into the field.
    bool isDirty() const { return m_dirty; }
    // Writes typed text into the field; throws the field's conversion error.
    void updateRecord() override;
    bool focusField(TField* field) override;
    // Shows the field's value again, dropping typed text.
    void Reset();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // A window closed by its frame with text still being typed: the text goes into the pending
    // row, which others read meanwhile and the window shows again by the field's rule.
    void hideEvent(QHideEvent* event) override;

private:
    void refresh();
    void onEdited();

    bool m_dirty = false;
    bool m_showing = false;
    bool m_leftWithWindow = false; // the focus went to another window, not to another control
};

} // namespace zz
