#pragma once
// The application map: a fixed diagram of the program's sections and their tasks.
#include <QLabel>

#include "widgets/Form.h"
#include "widgets/XiButton.h"
#include "widgets/XiPanel.h"

namespace zz {

class TfrmMap : public TForm {
    Q_OBJECT
public:
    explicit TfrmMap(QWidget* parent = nullptr);

    TXiPanel* XiPanel1; // the diagram
    TXiPanel* XiPanel2; // bottom strip
    TXiButton* XiButton1;

    void XiButton1Click() { close(); }
};

extern TfrmMap* frmMap;

} // namespace zz
