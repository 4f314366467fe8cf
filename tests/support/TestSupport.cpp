#include "tests/support/TestSupport.h"

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

} // namespace zz::test
