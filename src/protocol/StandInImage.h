// The stand-in firmware image the tool carries in place of the manufacturer's, made deterministically.
#pragma once

#include <string>
#include <vector>

namespace vexa {

// 7,527 lines laid out like the manufacturer's image: 7,524 Intel HEX records (7,521 data records,
// extended linear address records 0x0001 at line 4035 and 0x0002 at line 7521, the end record at 7523),
// ";PIC24FJ128GA310", the CRC line, and an empty line. The data are made up; the image is meant for the
// simulated logger and must never be sent to a real one.
std::vector<std::string> StandInImageLines();

// The CRC line's value: CRC-16 (polynomial 0x1021, start 0xFFFF) of the data bytes in record order.
unsigned StandInImageCrc(const std::vector<std::string>& lines);

} // namespace vexa
