// Sending a document by e-mail from the print preview: the PDF under the name Save as PDF proposes,
// in a temporary folder, handed to xdg-email; not offered, with a hint, when xdg-email is missing.
#include <QAction>
#include <QTemporaryDir>

#include "reports/PreviewForm.h"
#include "reports/SendByEmail.h"
#include "tests/reports/FakeDataset.h"
#include "tests/support/TestSupport.h"

#include <sys/time.h>

using namespace zz;
using namespace zz::report;
using zz::test::FakeDataset;

namespace {

// Sets an environment variable for the life of the object.
class EnvVar {
public:
    EnvVar(const char* name, const QByteArray& value) : m_name(name), m_old(qgetenv(name)), m_had(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~EnvVar()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    QByteArray m_old;
    bool m_had;
};

// The only folder on the PATH, holding an xdg-email that writes its arguments, one a line, to a
// log (or one that cannot run, or none).
class FakeMail {
public:
    enum Kind { Working, Broken, Missing };
    explicit FakeMail(Kind kind = Working)
    {
        if (kind == Missing)
            return;
        QFile script(m_bin.filePath(QStringLiteral("xdg-email")));
        script.open(QIODevice::WriteOnly);
        script.write(kind == Broken ? "#!/no/such/shell\n"
                                    : "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$ZZ_MAIL_LOG.part\" && /bin/mv \"$ZZ_MAIL_LOG.part\" \"$ZZ_MAIL_LOG\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString log() const { return m_bin.filePath(QStringLiteral("mail.log")); }
    QString temp() const { return m_tmp.path(); }

private:
    QTemporaryDir m_bin, m_tmp;
    EnvVar m_path{"PATH", m_bin.path().toLocal8Bit()};
    EnvVar m_logVar{"ZZ_MAIL_LOG", m_bin.filePath(QStringLiteral("mail.log")).toLocal8Bit()};
    EnvVar m_tmpVar{"TMPDIR", m_tmp.path().toLocal8Bit()};
};

struct Invoice {
    FakeDataset ds{{{"Line_Product", FieldType::Text}}};
    Report report;
    Invoice()
    {
        ds.rows.push_back({QStringLiteral("Chair")});
        report.dataset = &ds;
        report.documentName = QStringLiteral("Invoice 57/A");
        report.addBand(BandKind::Title, 200).add(Element::label("QRLabel1", "Invoice", 0, 20).points(18).bold());
        report.addBand(BandKind::Detail, 48).add(Element::dataText("QRDBText1", "Line_Product", 40, 0));
    }
};

} // namespace

class TestSendByEmail : public QObject {
    Q_OBJECT
private slots:
    void init() { setRegional(RegionalSettings{}); }

    void thePdfGoesToTheMailProgramUnderItsProposedName()
    {
        FakeMail mail;
        // A folder of an earlier sending, older than a day, is cleared; a recent one stays.
        const QString old = mail.temp() + QStringLiteral("/zuzevevur-mail-old123");
        const QString recent = mail.temp() + QStringLiteral("/zuzevevur-mail-new123");
        QDir().mkpath(old);
        QDir().mkpath(recent);
        const timeval twoDaysAgo[2] = {{time(nullptr) - 2 * 86400, 0}, {time(nullptr) - 2 * 86400, 0}};
        QCOMPARE(::utimes(QFile::encodeName(old).constData(), twoDaysAgo), 0);

        Invoice invoice;
        test::RecordingSeam seam;
        bool offered = false;
        seam.onPreview = [&](TPreviewForm& preview) {
            offered = preview.sendByEmailAction()->isEnabled();
            QCOMPARE(preview.sendByEmailAction()->toolTip(), QStringLiteral("Send by e-mail"));
            preview.sendByEmailAction()->trigger();
        };
        previewReport(invoice.report);
        QVERIFY(offered);
        QVERIFY2(seam.messages.isEmpty(), qPrintable(seam.lastText()));

        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(mail.log()), 10000);
        const QStringList arguments = QString::fromLocal8Bit(test::fileBytes(mail.log())).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(arguments.size(), 4);
        QCOMPARE(arguments.mid(0, 3), QStringList({"--subject", "Invoice 57/A", "--attach"}));
        const QFileInfo pdf(arguments[3]);
        QCOMPARE(pdf.fileName(), QFileInfo(proposedPdfPath(QStringLiteral("Invoice 57/A"))).fileName());
        QCOMPARE(pdf.fileName(), QStringLiteral("Invoice 57-A.pdf"));
        QVERIFY(pdf.absolutePath().startsWith(mail.temp() + QStringLiteral("/zuzevevur-mail-")));
        QVERIFY(test::fileBytes(pdf.absoluteFilePath()).startsWith("%PDF-"));
        QVERIFY(!QFileInfo::exists(old));
        QVERIFY(QFileInfo::exists(recent));
    }

    void withoutXdgEmailTheCommandIsNotOfferedAndSaysWhy()
    {
        FakeMail mail(FakeMail::Missing);
        QCOMPARE(mailCommand(), QString());
        Invoice invoice;
        test::RecordingSeam seam;
        QString hint;
        bool offered = true;
        seam.onPreview = [&](TPreviewForm& preview) {
            offered = preview.sendByEmailAction()->isEnabled();
            hint = preview.sendByEmailAction()->toolTip();
            preview.sendByEmail(); // even asked directly, nothing happens
        };
        previewReport(invoice.report);
        QVERIFY(!offered);
        QCOMPARE(hint, QStringLiteral("Send by e-mail: Sending by e-mail needs the xdg-email command of the xdg-utils package, "
                                      "which is not installed."));
        QVERIFY(seam.messages.isEmpty());
        QVERIFY(QDir(mail.temp()).isEmpty());
    }

    void aMailProgramThatCannotStartIsReportedAndLeavesNothingBehind()
    {
        FakeMail mail(FakeMail::Broken);
        Invoice invoice;
        test::RecordingSeam seam;
        seam.onPreview = [&](TPreviewForm& preview) { preview.sendByEmail(); };
        previewReport(invoice.report);
        QCOMPARE(seam.messages.size(), 1);
        QCOMPARE(seam.messages.front().kind, MsgKind::Error);
        QCOMPARE(seam.lastText(), QStringLiteral("The mail program could not be started (%1).").arg(mailCommand()));
        QVERIFY(QDir(mail.temp()).isEmpty());
    }
};

ZZ_TEST_MAIN(TestSendByEmail)
#include "test_send_by_email.moc"
