#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <memory>

// The toolkit's own notes (a missing runtime folder...) would break the one-line answers scripts read.
inline void SilenceToolkit()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}

// The application object of a command-line verb, silent; on the given platform, else the session's own.
template <class Application> std::unique_ptr<Application> QuietApplication(const char* platform = nullptr)
{
    if (platform)
        qputenv("QT_QPA_PLATFORM", platform);
    SilenceToolkit();
    static int argc = 1;
    static char name[] = "lumora";
    static char* argv[] = { name, nullptr };
    return std::make_unique<Application>(argc, argv);
}
