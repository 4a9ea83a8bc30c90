// The firmware image the window carries: the stand-in from the program's resources, or a file the
// technician chose, checked before it may replace the image.
#pragma once

#include <QString>
#include <string>
#include <vector>

// A chosen image file larger than this is refused before it is read (the largest image that fits the
// logger's program memory is well under 1 MiB).
inline constexpr qint64 kMaxImageFileBytes = 4 * 1024 * 1024;

// The stand-in image built with the program: meant for the simulated logger, never for a real one.
std::vector<std::string> StandInImage();

struct FirmwareImageFile {
    bool ok = false;
    std::vector<std::string> lines; // ending in the one empty line the update does not send
    int fileLines = 0;              // lines of the file as it is
    QString error;                  // why the file was refused, naming the line
};

// Reads and checks an Intel HEX file; a refused file gives the reason and no lines.
FirmwareImageFile ReadFirmwareImage(const QString& path);
