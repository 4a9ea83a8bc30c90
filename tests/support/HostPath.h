// Paths handed to the build machine's own programs (pdftoppm, pdfinfo) that a test starts.
#pragma once

#include <QString>

// Under Wine those programs are Linux programs and need the Linux path of a file; elsewhere, and on
// Windows itself, the path stays as it is.
QString HostPath(const QString& path);
