#include "widgets/Form.h"

#include <QKeyEvent>
#include <QResizeEvent>

namespace zz {

QVector<TForm*> TForm::s_modalStack;

TForm::TForm(QWidget* parent) : QDialog(parent)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
}

TForm::~TForm() { s_modalStack.removeAll(this); }

int TForm::ShowModal()
{
    m_modalResult = 0;
    s_modalStack.push_back(this);
    FormActivate();
    const int result = exec();
    s_modalStack.removeAll(this);
    return m_modalResult ? m_modalResult : result;
}

void TForm::setModalResult(int result)
{
    m_modalResult = result;
    if (result != 0 && isVisible())
        done(result);
}

TForm* TForm::topModal() { return s_modalStack.isEmpty() ? nullptr : s_modalStack.back(); }

void TForm::reactivateTop()
{
    if (TForm* top = topModal())
        top->FormActivate();
}

void TForm::beginTestModal()
{
    m_modalResult = 0;
    s_modalStack.push_back(this);
    FormActivate();
}

void TForm::endTestModal() { s_modalStack.removeAll(this); }

void TForm::anchorCloseButton(QWidget* button)
{
    m_closeButton = button;
    placeCloseButton();
}

void TForm::placeCloseButton()
{
    if (!m_closeButton || !m_closeButton->parentWidget())
        return;
    // The outer right edge includes the frame; measure from the frame geometry when it is known.
    const int frameRight = frameGeometry().width() > width() ? frameGeometry().width() : width();
    const QPoint inWindow(frameRight - 105, 0);
    const int x = m_closeButton->parentWidget()->mapFrom(this, inWindow).x();
    m_closeButton->move(x, m_closeButton->y());
}

void TForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    placeCloseButton();
}

void TForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    placeCloseButton();
}

} // namespace zz

namespace zz {

void TForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace zz
