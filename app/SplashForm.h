#pragma once
// The splash window shown while the program starts: logo, two lines of text, a 3-second timer.
#include <QFrame>
#include <QLabel>
#include <QTimer>

#include "widgets/Form.h"
#include "widgets/XiPanel.h"

namespace zz {

class TfrmSplashscreen : public TForm {
    Q_OBJECT
public:
    explicit TfrmSplashscreen(QWidget* parent = nullptr);

    TXiPanel* XiPanel1;
    QFrame* Bevel1;
    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QTimer* Timer1;

    void Timer1Timer();
    // Lets window messages run, the splash painted and responsive, until the timer has fired.
    void waitForTimer();

protected:
    void showEvent(QShowEvent* event) override;
};

extern TfrmSplashscreen* frmSplashscreen;

} // namespace zz
