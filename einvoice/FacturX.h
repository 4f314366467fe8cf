#pragma once
// The Factur-X (ZUGFeRD) hybrid invoice: the invoice printout as a PDF/A-3b file that carries the
// invoice's Cross Industry Invoice XML as its embedded file factur-x.xml, so that a person reads
// the page and the receiver's software reads the XML. The pages come from the report engine's
// libharu export (with an sRGB output intent); QPDF adds what libharu cannot write: the embedded
// file with its PDF/A-3 relationship, the XMP metadata with the Factur-X extension schema, and a
// PDF 1.7 file with a trailer identifier.
#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace zz::report {
class ReportDocument;
}

namespace zz::einvoice {

// The file name the XML carries inside the hybrid.
inline constexpr const char* kFacturXFileName = "factur-x.xml";
// The name of the output intent's condition (the sRGB profile's).
inline constexpr const char* kSrgbCondition = "sRGB IEC61966-2.1";

// The sRGB ICC profile the hybrid's output intent embeds, from colord-data (or ghostscript).
// Throws zz::Exception naming the package when none is installed.
QString srgbProfilePath();

// Makes the hybrid from a PDF the report engine wrote with an sRGB output intent
// (report::pdfData with PdfOptions::outputProfile) and the invoice's CII XML (UTF-8). `when` is the
// file's creation and modification time, written alike into the document information, the XMP
// and the embedded file's parameters. Throws zz::Exception when the XML is not a Cross Industry
// Invoice, the PDF has no output intent or cannot be read.
QByteArray facturX(const QByteArray& pdf, const QByteArray& xml, const QDateTime& when);

// The pages of `doc` as a hybrid holding `xml`, made in memory.
QByteArray hybridPdf(const report::ReportDocument& doc, const QByteArray& xml,
                     const QDateTime& when = QDateTime::currentDateTime());

// The XMP metadata packet of a hybrid (PDF/A-3b identification, the document information's
// title, tool, producer and dates, the Factur-X extension schema and its values).
QByteArray facturXMetadata(const QString& title, const QString& creatorTool, const QString& producer,
                           const QDateTime& when);

} // namespace zz::einvoice
