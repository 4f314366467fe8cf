#include "reports/SendByEmail.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "data/Errors.h"
#include "reports/PreviewForm.h"
#include "reports/engine/PdfExport.h"
#include "reports/engine/ReportDocument.h"

namespace zz {

namespace {
const QString kFolderPrefix = QStringLiteral("zuzevevur-mail-");

// The mail program reads the attachment when it gets round to it, so a file stays until a later
// sending clears the folders older than a day.
void clearOldFolders()
{
    const QDateTime dayAgo = QDateTime::currentDateTime().addDays(-1);
    const QFileInfoList folders =
        QDir(QDir::tempPath()).entryInfoList({kFolderPrefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QFileInfo& folder : folders)
        if (folder.isWritable() && !folder.isSymLink() && folder.lastModified() < dayAgo)
            QDir(folder.absoluteFilePath()).removeRecursively();
}
} // namespace

QString mailCommand() { return QStandardPaths::findExecutable(QStringLiteral("xdg-email")); }

QString mailUnavailableHint()
{
    if (!mailCommand().isEmpty())
        return QString();
    return QStringLiteral("Sending by e-mail needs the xdg-email command of the xdg-utils package, "
                          "which is not installed.");
}

QString sendByEmail(const report::ReportDocument& doc, const std::function<QByteArray()>& pdf)
{
    const QString program = mailCommand();
    if (program.isEmpty())
        throw Exception(mailUnavailableHint());
    clearOldFolders();
    QTemporaryDir folder(QDir::tempPath() + QLatin1Char('/') + kFolderPrefix + QStringLiteral("XXXXXX"));
    if (!folder.isValid())
        throw Exception(QStringLiteral("No folder for the e-mail's attachment can be made: %1").arg(folder.errorString()));
    folder.setAutoRemove(false);
    const QString file = folder.filePath(QFileInfo(proposedPdfPath(doc.jobName())).fileName());
    try {
        if (pdf)
            report::saveFileWhole(file, pdf());
        else
            report::savePdf(doc, file);
    } catch (...) {
        folder.remove();
        throw;
    }
    // The mail program lives on by itself: it is no child of this program and ends when the user
    // is done with it.
    QStringList arguments;
    if (!doc.jobName().isEmpty())
        arguments << QStringLiteral("--subject") << doc.jobName();
    arguments << QStringLiteral("--attach") << file;
    if (!QProcess::startDetached(program, arguments, folder.path())) {
        folder.remove();
        throw Exception(QStringLiteral("The mail program could not be started (%1).").arg(program));
    }
    return file;
}

} // namespace zz
