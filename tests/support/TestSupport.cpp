#include "tests/support/TestSupport.h"

#include <QSqlError>
#include <QSqlQuery>

#include "data/Engine.h"
#include "data/Errors.h"

namespace zz::test {

MsgResult RecordingSeam::message(const MessageRequest& request)
{
    messages.push_back(request);
    if (onMessage)
        onMessage(request);
    if (!answers.empty()) {
        const MsgResult r = answers.front();
        answers.pop_front();
        return r;
    }
    switch (request.buttons) {
    case MsgButtons::YesNo: return MsgResult::Yes;
    default: return MsgResult::OK;
    }
}

std::optional<QString> RecordingSeam::file(const FileDialogRequest& request)
{
    fileRequests.push_back(request);
    if (fileAnswers.empty())
        return std::nullopt;
    const QString r = fileAnswers.front();
    fileAnswers.pop_front();
    if (r.isNull())
        return std::nullopt;
    return r;
}

std::optional<QString> RecordingSeam::text(const TextRequest& request)
{
    textRequests.push_back(request);
    if (textAnswers.empty())
        return QString();
    const QString r = textAnswers.front();
    textAnswers.pop_front();
    if (r.isNull())
        return std::nullopt;
    return r;
}

namespace {
bool nextAnswer(std::deque<bool>& answers)
{
    if (answers.empty())
        return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}
} // namespace

bool RecordingSeam::printerSetup(QPrinter&)
{
    printerDialogs << QStringLiteral("setup");
    return nextAnswer(printerAnswers);
}

bool RecordingSeam::print(QPrinter&, int minPage, int maxPage)
{
    printerDialogs << QStringLiteral("print %1-%2").arg(minPage).arg(maxPage);
    return nextAnswer(printerAnswers);
}

void RecordingSeam::previewOpened(TPreviewForm& preview)
{
    if (onPreviewOpened)
        onPreviewOpened(preview);
}

bool RecordingSeam::previewReady(TPreviewForm& preview)
{
    if (onPreview)
        onPreview(preview);
    return true;
}

TempHome::TempHome()
    : m_oldConfig(qgetenv("XDG_CONFIG_HOME")), m_oldData(qgetenv("XDG_DATA_HOME"))
{
    QDir().mkpath(configDir());
    QDir().mkpath(dataDir());
    qputenv("XDG_CONFIG_HOME", configDir().toLocal8Bit());
    qputenv("XDG_DATA_HOME", dataDir().toLocal8Bit());
}

TempHome::~TempHome()
{
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
    qputenv("XDG_DATA_HOME", m_oldData);
}

RegionalSettings germanRegional()
{
    RegionalSettings s;
    s.currencySymbol = QStringLiteral("€");
    s.currencyCode = QStringLiteral("EUR");
    s.currencyFormat = 3;
    s.decimalSeparator = QLatin1Char(',');
    s.thousandSeparator = QLatin1Char('.');
    s.shortDateFormat = QStringLiteral("dd.MM.yyyy");
    return s;
}

RegionalSettings southAfricanRegional()
{
    RegionalSettings s;
    s.currencySymbol = QStringLiteral("R");
    s.currencyCode = QStringLiteral("ZAR");
    s.currencyFormat = 2;
    s.shortDateFormat = QStringLiteral("yyyy/MM/dd");
    s.longTimeFormat = QStringLiteral("hh:mm:ss AP");
    return s;
}

QString errorOf(const std::function<void()>& work)
{
    try {
        work();
    } catch (const Exception& e) {
        return e.message();
    }
    return {};
}

QString bookError(const QString& text)
{
    return QStringLiteral("The database %1 reported an error: %2.").arg(Engine::bookName(), text);
}

void runSql(const QString& sql, const QSqlDatabase& db)
{
    QSqlQuery q(db.isValid() ? db : Engine::database());
    if (!q.exec(sql))
        throw EDBEngineError(sql + QStringLiteral(" -> ") + q.lastError().text());
}

QVariant storedValue(const QString& sql)
{
    QSqlQuery q(Engine::database());
    return q.exec(sql) && q.next() ? q.value(0) : QVariant();
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace zz::test
