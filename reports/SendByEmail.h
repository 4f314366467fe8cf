#pragma once
// Sending a document by e-mail: the pages saved as a PDF file and handed to the user's own mail
// program through the desktop's xdg-email command. The books hold no e-mail addresses, so the
// recipient is left to the user.
#include <QByteArray>
#include <QString>
#include <functional>

namespace zz {

namespace report {
class ReportDocument;
}

// The desktop's mail command found on the PATH; empty when it is missing.
QString mailCommand();
// Why a document cannot be sent by e-mail here; empty when it can.
QString mailUnavailableHint();

// Saves the document under the name Save as PDF proposes ("Invoice 57.pdf") in a new temporary
// folder and opens a new message of the mail program with the file attached and the document's
// name as its subject. Returns the file. Throws Exception when the file cannot be saved or the
// mail program cannot be started. `pdf`, when given, makes the file's bytes in place of the plain
// PDF of the pages (the invoice's e-invoice hybrid).
QString sendByEmail(const report::ReportDocument& doc, const std::function<QByteArray()>& pdf = {});

} // namespace zz
