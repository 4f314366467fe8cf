#include "widgets/Dialogs.h"

#include "widgets/Application.h"
#include "widgets/Handlers.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPrintDialog>
#include <QPushButton>

namespace zz {

namespace {
DialogSeam* g_seam = nullptr;

MsgResult realMessage(const MessageRequest& r)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(r.title);
    box.setText(r.text);
    switch (r.kind) {
    case MsgKind::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgKind::Error: box.setIcon(QMessageBox::Critical); break;
    case MsgKind::Information: box.setIcon(QMessageBox::Information); break;
    case MsgKind::Confirmation: box.setIcon(QMessageBox::Question); break;
    }
    QPushButton* first = nullptr;
    QPushButton* second = nullptr;
    switch (r.buttons) {
    case MsgButtons::OK:
        first = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        break;
    case MsgButtons::YesNo:
        first = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
        second = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        box.setEscapeButton(second);
        break;
    case MsgButtons::OKCancel:
        first = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        second = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
        box.setEscapeButton(second);
        break;
    }
    box.setDefaultButton(first);
    box.exec();
    const bool firstChosen = box.clickedButton() == first;
    switch (r.buttons) {
    case MsgButtons::OK: return MsgResult::OK;
    case MsgButtons::YesNo: return firstChosen ? MsgResult::Yes : MsgResult::No;
    case MsgButtons::OKCancel: return firstChosen ? MsgResult::OK : MsgResult::Cancel;
    }
    return MsgResult::OK;
}

std::optional<QString> realFile(const FileDialogRequest& r)
{
    QFileDialog dlg(QApplication::activeWindow(), r.caption, r.directory, r.filter);
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(r.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!r.defaultSuffix.isEmpty())
        dlg.setDefaultSuffix(r.defaultSuffix);
    if (r.picturePreview) {
        // A small preview pane beside the file list shows the picture under the selection.
        auto* preview = new QLabel(&dlg);
        preview->setFixedSize(160, 160);
        preview->setAlignment(Qt::AlignCenter);
        preview->setFrameShape(QFrame::StyledPanel);
        if (auto* grid = qobject_cast<QGridLayout*>(dlg.layout()))
            grid->addWidget(preview, 1, grid->columnCount(), grid->rowCount() - 1, 1);
        QObject::connect(&dlg, &QFileDialog::currentChanged, preview, command([preview](const QString& path) {
            QPixmap pm(path);
            preview->setPixmap(pm.isNull() ? QPixmap() : pm.scaled(preview->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
        }));
    }
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return std::nullopt;
    return dlg.selectedFiles().first();
}
} // namespace

void setDialogSeam(DialogSeam* seam) { g_seam = seam; }
DialogSeam* dialogSeam() { return g_seam; }

QString messageTitle(MsgKind kind)
{
    switch (kind) {
    case MsgKind::Warning: return QStringLiteral("Warning");
    case MsgKind::Error: return QStringLiteral("Error");
    case MsgKind::Information: return QStringLiteral("Information");
    case MsgKind::Confirmation: return QStringLiteral("Confirm");
    }
    return {};
}

MsgResult messageBox(const MessageRequest& request)
{
    return g_seam ? g_seam->message(request) : realMessage(request);
}

MsgResult messageBox(MsgKind kind, const QString& text, MsgButtons buttons)
{
    return messageBox(MessageRequest{kind, messageTitle(kind), text, buttons});
}

QString generalErrorText(const QString& message)
{
    QString text = message;
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        text += QLatin1Char('.');
    return text;
}

void generalErrorReport(const QString& message)
{
    messageBox(MessageRequest{MsgKind::Error, TApplication::title(), generalErrorText(message), MsgButtons::OK});
}

std::optional<QString> fileDialog(const FileDialogRequest& request)
{
    return g_seam ? g_seam->file(request) : realFile(request);
}

std::optional<QString> textDialog(const TextRequest& request)
{
    if (g_seam)
        return g_seam->text(request);
    QInputDialog dlg(QApplication::activeWindow());
    dlg.setWindowTitle(request.title);
    dlg.setLabelText(request.label);
    dlg.setInputMode(QInputDialog::TextInput);
    if (request.maxLength > 0)
        if (auto* edit = dlg.findChild<QLineEdit*>())
            edit->setMaxLength(request.maxLength);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.textValue();
}

bool printerSetupDialog(QPrinter& printer)
{
    if (g_seam)
        return g_seam->printerSetup(printer);
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Printer setup"));
    return dialog.exec() == QDialog::Accepted;
}

bool printDialog(QPrinter& printer, int minPage, int maxPage)
{
    if (g_seam)
        return g_seam->print(printer, minPage, maxPage);
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setMinMax(minPage, maxPage);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace zz
