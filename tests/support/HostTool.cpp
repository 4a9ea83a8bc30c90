// Build-machine programs started as they are, with their output through a pipe.
#include "support/HostTool.h"

#include <QProcess>

HostToolRun RunHostToolDirectly(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    HostToolRun run;
    run.finished = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
    run.exitCode = run.finished ? p.exitCode() : -1;
    run.output = p.readAllStandardOutput();
    return run;
}
