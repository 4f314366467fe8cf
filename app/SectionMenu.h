#pragma once
// The layout the three section menus share: a title, a row of large task buttons, a help line
// that describes the button under the mouse, and a bottom strip with "&Close".
#include <QLabel>

#include "widgets/Form.h"
#include "widgets/XiButton.h"
#include "widgets/XiPanel.h"

namespace zz {

class TSectionMenu : public TForm {
    Q_OBJECT
public:
    // Puts a text into the help line; an empty text clears it.
    void ChangeCaption(const QString& text);

    QLabel* Label1 = nullptr; // title
    QLabel* Label2 = nullptr; // help line
    TXiButton* btnClose = nullptr;

protected:
    struct Shape {
        QString caption;
        int width, height;           // client area
        int buttonWidth;             // task buttons are 75 px high
        QList<int> buttonLefts;
        int helpBandHeight;
        int closeLeft;
        ButtonLayout glyphLayout;
    };
    TSectionMenu(const Shape& shape, QWidget* parent);

    // The two panels: the client panel above the strip and the 41-px bottom strip.
    TXiPanel* clientPanel() const { return m_client; }
    TXiPanel* bottomStrip() const { return m_strip; }
    // Adds the next task button with its help text shown when the mouse moves over it.
    TXiButton* addTaskButton(const QString& name, const QString& caption, const QString& picture,
                             const QString& help);
    // Mouse moves over this control clear the help line.
    void clearsHelpLine(QWidget* control);
    // Hides the menu, runs a task window modally and shows the menu again, whatever happens.
    void hideAndRun(TForm* window);
    // Runs a dialog modally on top of the visible menu.
    void stackAndRun(TForm* window);

private:
    Shape m_shape;
    TXiPanel* m_client;
    TXiPanel* m_strip;
    int m_buttons = 0;
};

} // namespace zz
