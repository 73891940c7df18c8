#include "platform/DetachedSoundPlayer.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

DetachedSoundPlayer::DetachedSoundPlayer()
    : DetachedSoundPlayer({ { "pw-play", {} }, { "paplay", {} }, { "aplay", { "-q" } } })
{
}

DetachedSoundPlayer::DetachedSoundPlayer(std::vector<Command> candidates)
    : candidates_(std::move(candidates))
{
}

bool DetachedSoundPlayer::Play(const std::string& wavPath)
{
    const QString file = QString::fromStdString(wavPath);
    if (!QFileInfo(file).isFile())
        return false;
    for (const Command& command : candidates_) {
        const QString program = QStandardPaths::findExecutable(QString::fromStdString(command.program));
        if (program.isEmpty())
            continue;
        QStringList arguments;
        for (const std::string& argument : command.arguments)
            arguments << QString::fromStdString(argument);
        arguments << file;
        QProcess process;
        process.setProgram(program);
        process.setArguments(arguments);
        process.setStandardInputFile(QProcess::nullDevice());
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        return process.startDetached();
    }
    return false;
}
