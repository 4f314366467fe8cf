#include "einvoice/FacturX.h"

#include <QFileInfo>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <exception>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFEFStreamObjectHelper.hh>
#include <qpdf/QPDFEmbeddedFileDocumentHelper.hh>
#include <qpdf/QPDFFileSpecObjectHelper.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include "data/Errors.h"
#include "reports/engine/PdfExport.h"

namespace zz::einvoice {

namespace {

// Where Debian's packages keep an sRGB profile, the preferred first.
const char* const kSrgbProfiles[] = {
    "/usr/share/color/icc/colord/sRGB.icc",     // colord-data
    "/usr/share/color/icc/ghostscript/srgb.icc", // ghostscript
};

const QString kFxNamespace = QStringLiteral("urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#");

QString offsetText(const QDateTime& local, QChar separator, bool pdfStyle)
{
    const int minutes = local.offsetFromUtc() / 60;
    const QString sign = minutes < 0 ? QStringLiteral("-") : QStringLiteral("+");
    const QString hh = QStringLiteral("%1").arg(qAbs(minutes) / 60, 2, 10, QLatin1Char('0'));
    const QString mm = QStringLiteral("%1").arg(qAbs(minutes) % 60, 2, 10, QLatin1Char('0'));
    return pdfStyle ? sign + hh + QLatin1Char('\'') + mm + QLatin1Char('\'') : sign + hh + separator + mm;
}

// "D:20260131083005+02'00'", the date form of the document information and file parameters.
std::string pdfDate(const QDateTime& when)
{
    const QDateTime local = when.toLocalTime();
    return (QStringLiteral("D:") + local.toString(QStringLiteral("yyyyMMddHHmmss")) + offsetText(local, QChar(), true))
        .toStdString();
}

// "2026-01-31T08:30:05+02:00", the same instant as XMP writes it.
QString xmpDate(const QDateTime& when)
{
    const QDateTime local = when.toLocalTime();
    return local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + offsetText(local, QLatin1Char(':'), false);
}

// The XML must be a Cross Industry Invoice, whole: a receiver reads nothing else.
void checkInvoiceXml(const QByteArray& xml)
{
    QXmlStreamReader reader(xml);
    bool root = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && !root) {
            root = true;
            if (reader.name() != QLatin1String("CrossIndustryInvoice"))
                throw Exception(QStringLiteral("The e-invoice cannot be embedded: its XML is no Cross Industry Invoice (its root is %1).")
                                    .arg(reader.name().toString()));
        }
    }
    if (reader.hasError() || !root)
        throw Exception(QStringLiteral("The e-invoice cannot be embedded: its XML is not well-formed (%1).")
                            .arg(root ? reader.errorString() : QStringLiteral("it holds no element")));
}

QString infoText(QPDFObjectHandle info, const char* key)
{
    if (!info.isDictionary() || !info.hasKey(key))
        return QString();
    QPDFObjectHandle value = info.getKey(key);
    return value.isString() ? QString::fromStdString(value.getUTF8Value()) : QString();
}

// One property of the Factur-X extension schema, as PDF/A asks it to be described.
void describeProperty(QXmlStreamWriter& w, const QString& name, const QString& description)
{
    w.writeStartElement(QStringLiteral("rdf:li"));
    w.writeAttribute(QStringLiteral("rdf:parseType"), QStringLiteral("Resource"));
    w.writeTextElement(QStringLiteral("pdfaProperty:name"), name);
    w.writeTextElement(QStringLiteral("pdfaProperty:valueType"), QStringLiteral("Text"));
    w.writeTextElement(QStringLiteral("pdfaProperty:category"), QStringLiteral("external"));
    w.writeTextElement(QStringLiteral("pdfaProperty:description"), description);
    w.writeEndElement();
}

} // namespace

QString srgbProfilePath()
{
    for (const char* path : kSrgbProfiles)
        if (QFileInfo(QString::fromLatin1(path)).isReadable())
            return QString::fromLatin1(path);
    throw Exception(QStringLiteral("The sRGB colour profile an e-invoice PDF needs is missing: install the "
                                   "colord-data package (%1).")
                        .arg(QString::fromLatin1(kSrgbProfiles[0])));
}

QByteArray facturXMetadata(const QString& title, const QString& creatorTool, const QString& producer, const QDateTime& when)
{
    QByteArray packet;
    QXmlStreamWriter w(&packet);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(1);
    w.writeProcessingInstruction(QStringLiteral("xpacket"),
                                 QStringLiteral("begin=\"%1\" id=\"W5M0MpCehiHzreSzNTczkc9d\"").arg(QChar(0xfeff)));
    w.writeNamespace(QStringLiteral("adobe:ns:meta/"), QStringLiteral("x"));
    w.writeStartElement(QStringLiteral("adobe:ns:meta/"), QStringLiteral("xmpmeta"));
    w.writeStartElement(QStringLiteral("rdf:RDF"));
    w.writeAttribute(QStringLiteral("xmlns:rdf"), QStringLiteral("http://www.w3.org/1999/02/22-rdf-syntax-ns#"));

    auto description = [&w](const QString& prefix, const QString& uri) {
        w.writeStartElement(QStringLiteral("rdf:Description"));
        w.writeAttribute(QStringLiteral("rdf:about"), QString());
        w.writeAttribute(QStringLiteral("xmlns:") + prefix, uri);
    };

    description(QStringLiteral("pdfaid"), QStringLiteral("http://www.aiim.org/pdfa/ns/id/"));
    w.writeTextElement(QStringLiteral("pdfaid:part"), QStringLiteral("3"));
    w.writeTextElement(QStringLiteral("pdfaid:conformance"), QStringLiteral("B"));
    w.writeEndElement();

    description(QStringLiteral("dc"), QStringLiteral("http://purl.org/dc/elements/1.1/"));
    w.writeStartElement(QStringLiteral("dc:title"));
    w.writeStartElement(QStringLiteral("rdf:Alt"));
    w.writeStartElement(QStringLiteral("rdf:li"));
    w.writeAttribute(QStringLiteral("xml:lang"), QStringLiteral("x-default"));
    w.writeCharacters(title);
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();

    description(QStringLiteral("pdf"), QStringLiteral("http://ns.adobe.com/pdf/1.3/"));
    w.writeTextElement(QStringLiteral("pdf:Producer"), producer);
    w.writeEndElement();

    const QString date = xmpDate(when);
    description(QStringLiteral("xmp"), QStringLiteral("http://ns.adobe.com/xap/1.0/"));
    w.writeTextElement(QStringLiteral("xmp:CreatorTool"), creatorTool);
    w.writeTextElement(QStringLiteral("xmp:CreateDate"), date);
    w.writeTextElement(QStringLiteral("xmp:ModifyDate"), date);
    w.writeTextElement(QStringLiteral("xmp:MetadataDate"), date);
    w.writeEndElement();

    // The Factur-X properties are no standard XMP schema: PDF/A asks for their description.
    description(QStringLiteral("pdfaExtension"), QStringLiteral("http://www.aiim.org/pdfa/ns/extension/"));
    w.writeAttribute(QStringLiteral("xmlns:pdfaSchema"), QStringLiteral("http://www.aiim.org/pdfa/ns/schema#"));
    w.writeAttribute(QStringLiteral("xmlns:pdfaProperty"), QStringLiteral("http://www.aiim.org/pdfa/ns/property#"));
    w.writeStartElement(QStringLiteral("pdfaExtension:schemas"));
    w.writeStartElement(QStringLiteral("rdf:Bag"));
    w.writeStartElement(QStringLiteral("rdf:li"));
    w.writeAttribute(QStringLiteral("rdf:parseType"), QStringLiteral("Resource"));
    w.writeTextElement(QStringLiteral("pdfaSchema:schema"), QStringLiteral("Factur-X PDFA Extension Schema"));
    w.writeTextElement(QStringLiteral("pdfaSchema:namespaceURI"), kFxNamespace);
    w.writeTextElement(QStringLiteral("pdfaSchema:prefix"), QStringLiteral("fx"));
    w.writeStartElement(QStringLiteral("pdfaSchema:property"));
    w.writeStartElement(QStringLiteral("rdf:Seq"));
    describeProperty(w, QStringLiteral("DocumentFileName"), QStringLiteral("The name of the embedded XML document"));
    describeProperty(w, QStringLiteral("DocumentType"), QStringLiteral("The type of the hybrid document in capital letters, e.g. INVOICE or ORDER"));
    describeProperty(w, QStringLiteral("Version"), QStringLiteral("The actual version of the standard applying to the embedded XML document"));
    describeProperty(w, QStringLiteral("ConformanceLevel"), QStringLiteral("The conformance level of the embedded XML document"));
    w.writeEndElement(); // rdf:Seq
    w.writeEndElement(); // pdfaSchema:property
    w.writeEndElement(); // rdf:li
    w.writeEndElement(); // rdf:Bag
    w.writeEndElement(); // pdfaExtension:schemas
    w.writeEndElement();

    description(QStringLiteral("fx"), kFxNamespace);
    w.writeTextElement(QStringLiteral("fx:DocumentType"), QStringLiteral("INVOICE"));
    w.writeTextElement(QStringLiteral("fx:DocumentFileName"), QString::fromLatin1(kFacturXFileName));
    w.writeTextElement(QStringLiteral("fx:Version"), QStringLiteral("1.0"));
    w.writeTextElement(QStringLiteral("fx:ConformanceLevel"), QStringLiteral("EN 16931"));
    w.writeEndElement();

    w.writeEndElement(); // rdf:RDF
    w.writeEndElement(); // x:xmpmeta
    w.writeProcessingInstruction(QStringLiteral("xpacket"), QStringLiteral("end=\"w\""));
    // The packet starts with its header (the writer puts a line break before the first node).
    return packet.trimmed() + '\n';
}

QByteArray facturX(const QByteArray& pdf, const QByteArray& xml, const QDateTime& when)
{
    checkInvoiceXml(xml);
    try {
        QPDF q;
        q.setSuppressWarnings(true);
        q.processMemoryFile("invoice", pdf.constData(), size_t(pdf.size()));
        QPDFObjectHandle root = q.getRoot();
        QPDFObjectHandle intents = root.getKey("/OutputIntents");
        if (!intents.isArray() || intents.getArrayNItems() == 0)
            throw Exception(QStringLiteral("The e-invoice PDF cannot be made: its pages carry no colour profile."));
        if (q.getTrailer().hasKey("/Encrypt"))
            throw Exception(QStringLiteral("The e-invoice PDF cannot be made: an encrypted PDF cannot be archived."));

        // The document information and the XMP say the same: one title, tool, producer and time.
        QPDFObjectHandle trailer = q.getTrailer();
        QPDFObjectHandle info = trailer.getKey("/Info");
        if (!info.isDictionary()) {
            info = q.makeIndirectObject(QPDFObjectHandle::newDictionary());
            trailer.replaceKey("/Info", info);
        }
        const std::string date = pdfDate(when);
        info.replaceKey("/CreationDate", QPDFObjectHandle::newString(date));
        info.replaceKey("/ModDate", QPDFObjectHandle::newString(date));
        const QString title = infoText(info, "/Title");
        const QString creator = infoText(info, "/Creator");
        const QString producer = infoText(info, "/Producer");

        // The XML, related to the whole document as its alternative form.
        auto stream = QPDFEFStreamObjectHelper::createEFStream(q, xml.toStdString());
        stream.setSubtype("text/xml");
        stream.setModDate(date);
        stream.setCreationDate(date);
        auto spec = QPDFFileSpecObjectHelper::createFileSpec(q, kFacturXFileName, stream);
        spec.setDescription("Factur-X invoice");
        QPDFObjectHandle specObject = spec.getObjectHandle();
        specObject.replaceKey("/AFRelationship", QPDFObjectHandle::newName("/Alternative"));
        QPDFEmbeddedFileDocumentHelper files(q);
        files.replaceEmbeddedFile(kFacturXFileName, spec);
        QPDFObjectHandle associated = QPDFObjectHandle::newArray();
        associated.appendItem(specObject);
        root.replaceKey("/AF", associated);

        QPDFObjectHandle metadata =
            QPDFObjectHandle::newStream(&q, facturXMetadata(title, creator, producer, when).toStdString());
        metadata.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/Metadata"));
        metadata.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/XML"));
        root.replaceKey("/Metadata", metadata);

        // The pages' streams are copied as they are: the PDF library names their one filter in an
        // array, which the writer would take for a chain to decode and compress again.
        for (QPDFObjectHandle object : q.getAllObjects()) {
            if (!object.isStream())
                continue;
            QPDFObjectHandle dict = object.getDict();
            QPDFObjectHandle filter = dict.getKey("/Filter");
            if (filter.isArray() && filter.getArrayNItems() == 1 && filter.getArrayItem(0).isName())
                dict.replaceKey("/Filter", filter.getArrayItem(0));
        }
        QPDFWriter writer(q);
        writer.setOutputMemory();
        writer.setMinimumPDFVersion("1.7");
        writer.setObjectStreamMode(qpdf_o_disable);
        writer.setDecodeLevel(qpdf_dl_none);
        writer.write();
        auto buffer = writer.getBufferSharedPointer();
        return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()), qsizetype(buffer->getSize()));
    } catch (const Exception&) {
        throw;
    } catch (const std::exception& e) {
        throw Exception(QStringLiteral("The e-invoice PDF cannot be made: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}

QByteArray hybridPdf(const report::ReportDocument& doc, const QByteArray& xml, const QDateTime& when)
{
    report::PdfOptions options;
    options.outputProfile = srgbProfilePath();
    options.outputCondition = QString::fromLatin1(kSrgbCondition);
    options.created = when;
    return facturX(report::pdfData(doc, options), xml, when);
}

} // namespace zz::einvoice
