// Paths for the build machine's programs on POSIX systems: the same paths.
#include "support/HostPath.h"

QString HostPath(const QString& path) {
    return path;
}
