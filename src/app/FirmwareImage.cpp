// The firmware image the window carries: the stand-in from the program's resources, or a file the
// technician chose, checked before it may replace the image.
#include "app/FirmwareImage.h"

#include "protocol/IntelHex.h"
#include "protocol/TextLines.h"

#include <QFile>
#include <QFileInfo>

std::vector<std::string> StandInImage() {
    QFile file(QStringLiteral(":/firmware/standin-image.hex"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return vexa::SplitLines(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

FirmwareImageFile ReadFirmwareImage(const QString& path) {
    FirmwareImageFile r;
    QFile file(path);
    const QString name = QFileInfo(path).fileName();
    if (!file.open(QIODevice::ReadOnly)) {
        r.error = QStringLiteral("%1: cannot be read (%2)").arg(name, file.errorString());
        return r;
    }
    if (file.size() > kMaxImageFileBytes) {
        r.error = QStringLiteral("%1: %2 bytes, too large for a firmware image").arg(name).arg(file.size());
        return r;
    }
    const QByteArray bytes = file.read(kMaxImageFileBytes + 1);
    std::vector<std::string> lines =
        vexa::SplitLines(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
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
