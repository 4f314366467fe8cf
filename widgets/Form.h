#pragma once
// The window model shared by every window of the program: created once at start-up, hidden,
// shown modally with ShowModal(). The activation handler FormActivate runs once each time the
// window is shown modally and again when the print preview closes over it; closing a message box
// or a modal window over it never runs it.
#include <QDialog>
#include <QVector>

namespace zz {

class TForm : public QDialog {
    Q_OBJECT
public:
    explicit TForm(QWidget* parent = nullptr);
    ~TForm() override;

    // Shows the window modally: runs FormActivate, then the modal loop. Returns the modal result.
    int ShowModal();
    // What a button with a non-zero ModalResult sets; a non-zero value ends the modal loop.
    void setModalResult(int result);
    int modalResult() const { return m_modalResult; }
    // Hides and shows the window again without ending its modal loop, as a menu does under
    // the list windows it opens (hiding a dialog the usual way would end its exec()).
    void hideKeepingModal() { QWidget::setVisible(false); }
    void showKeepingModal() { QWidget::setVisible(true); }
    // Closes the window as its frame's close box would.
    void Close() { close(); }

    // The modal window currently on top of the stack (nullptr when none).
    static TForm* topModal();
    // Runs FormActivate of the modal window on top; called when the print preview closes.
    static void reactivateTop();

    // Tests call this to act as if the window had been shown modally, without a modal loop:
    // it becomes the top window and FormActivate runs. endTestModal() takes it off again.
    void beginTestModal();
    void endTestModal();

    // Keeps the "&Close" button of a maximised window 105 px left of the window's outer right edge.
    void anchorCloseButton(QWidget* button);

protected:
    virtual void FormActivate() {}
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Esc closes no window: none of them has a cancel button.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void placeCloseButton();
    int m_modalResult = 0;
    QWidget* m_closeButton = nullptr;
    static QVector<TForm*> s_modalStack;
};

} // namespace zz
