// The firmware image the window carries: the stand-in from the program's resources, or a file the
// technician chose, checked before it may replace the image.
#include "app/FirmwareImage.h"

#include "platform/RegularFile.h"
#include "protocol/IntelHex.h"
#include "protocol/TextLines.h"

#include <QFile>
#include <QFileInfo>
#include <stdexcept>

std::vector<std::string> StandInImage() {
    QFile file(QStringLiteral(":/firmware/standin-image.hex"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return vexa::SplitLines(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

FirmwareImageFile ReadFirmwareImage(const QString& path) {
    FirmwareImageFile r;
    const QString name = QFileInfo(path).fileName();
    std::string bytes;
    try {
        // The same rule as the work area's files: only a regular file is read, so a FIFO without a
        // writer or a device cannot hold the window.
        bytes = vexa::ReadRegularFile(path.toStdString(), kMaxImageFileBytes,
                                      "the largest image that fits the logger is well under 1 MB");
    } catch (const std::runtime_error& e) {
        r.error = QStringLiteral("%1: %2").arg(name, QString::fromStdString(e.what()));
        return r;
    }
    std::vector<std::string> lines = vexa::SplitLines(bytes);
    const vexa::HexImageCheck check = vexa::CheckHexImage(lines);
    if (!check.ok) {
        r.error = QStringLiteral("%1: %2").arg(name, QString::fromStdString(vexa::DescribeHexFault(check)));
        return r;
    }
    r.ok = true;
    r.fileLines = static_cast<int>(lines.size());
    r.lines = vexa::ImageLinesForUpdate(std::move(lines));
    return r;
}
