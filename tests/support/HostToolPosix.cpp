// Build-machine programs on POSIX systems: started directly, the same paths.
#include "support/HostTool.h"

HostToolRun RunHostTool(const QString& program, const QStringList& arguments) {
    return RunHostToolDirectly(program, arguments);
}
