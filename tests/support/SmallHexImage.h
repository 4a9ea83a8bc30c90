// A small valid Intel HEX image for firmware tests: data records of 16 bytes, the end record, a comment.
#pragma once

#include <cstdio>
#include <string>

inline std::string SmallImageFile(int records) {
    std::string text;
    for (int i = 0; i < records; ++i) {
        char line[64];
        unsigned sum = 0x10 + ((i * 16) >> 8 & 0xFF) + ((i * 16) & 0xFF);
        std::string data;
        for (int k = 0; k < 16; ++k) {
            const unsigned b = unsigned(i + k) & 0xFF;
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02X", b);
            data += hex;
            sum += b;
        }
        std::snprintf(line, sizeof line, ":10%04X00%s%02X\r\n", i * 16, data.c_str(),
                      (0x100 - (sum & 0xFF)) & 0xFF);
        text += line;
    }
    return text + ":00000001FF\r\n;small test image\r\n";
}
