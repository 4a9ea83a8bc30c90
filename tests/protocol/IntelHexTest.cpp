// Firmware images: the stand-in's layout, every refused fault named with its line, a toolchain's file
// accepted.
#include "protocol/IntelHex.h"
#include "protocol/StandInImage.h"
#include "protocol/TextLines.h"

#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>

namespace {

using Lines = std::vector<std::string>;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(StandInImage, HasTheLayoutOfTheManufacturersImage) {
    const Lines lines = vexa::StandInImageLines();
    const vexa::HexImageCheck c = vexa::CheckHexImage(lines);
    ASSERT_TRUE(c.ok) << vexa::DescribeHexFault(c);
    const vexa::HexImageSummary& s = c.summary;
    EXPECT_EQ(s.lines, 7527);
    EXPECT_EQ(s.dataRecords, 7521);
    EXPECT_EQ(s.dataBytes, 120292);
    EXPECT_EQ(s.dataRecordsBySize, (std::map<int, int>{{4, 3}, {8, 1}, {16, 7517}}));
    EXPECT_EQ(s.extendedAddresses, (std::map<int, std::uint16_t>{{4035, 0x0001}, {7521, 0x0002}}));
    EXPECT_EQ(s.endRecordLine, 7523);
    EXPECT_EQ(lines[7523], ":00000001FF");
    EXPECT_EQ(s.firstAddresses, (std::vector<std::uint32_t>{0x0000, 0x0034, 0x0120}));
    EXPECT_EQ(s.spans,
              (std::vector<vexa::HexSpan>{{0x00000, 0x0FFFF}, {0x10000, 0x1D9C3}, {0x2AFF0, 0x2AFFF}}));
    EXPECT_EQ(lines[7524], ";PIC24FJ128GA310");
    EXPECT_TRUE(
        std::regex_match(lines[7525], std::regex(R"(;CRC=[0-9A-F]{4}  CREATED="\d\d-\d\d-\d\d \d\d:\d\d")")))
        << lines[7525];
    char crc[8];
    std::snprintf(crc, sizeof crc, "%04X", vexa::StandInImageCrc(lines));
    EXPECT_EQ(lines[7525].substr(5, 4), crc);
    EXPECT_EQ(lines[7526], "");
    for (int i = 0; i < 7524; ++i)
        ASSERT_TRUE(std::regex_match(lines[static_cast<std::size_t>(i)], std::regex(":[0-9A-F]+"))) << i;
}

TEST(StandInImage, TheBuildWritesTheGeneratorsImageAndItReadsBackTheSame) {
    const std::string file = ReadFile(VEXA_STANDIN_IMAGE);
    ASSERT_FALSE(file.empty()) << VEXA_STANDIN_IMAGE;
    EXPECT_EQ(file, vexa::JoinLinesCrLf(vexa::StandInImageLines()));
    EXPECT_EQ(vexa::SplitLines(file), vexa::StandInImageLines());
    // Every run of the generator gives the same bytes.
    EXPECT_EQ(vexa::StandInImageLines(), vexa::StandInImageLines());
}

TEST(HexImageCheck, RefusesEachFaultNamingItsLine) {
    // A small valid image; each case changes it and expects the fault at a line (0-based).
    const Lines good = {";test image",
                        ":0400000000112233AA",
                        ":020000040002F8",
                        ":0400100044556677AA",
                        ":00000001FF",
                        ";PIC24FJ128GA310",
                        ""};
    ASSERT_FALSE(vexa::CheckHexImage(good).ok) << "the checksums of the template are placeholders";
    // Fix the placeholders' checksums so the template itself is valid.
    auto withChecksum = [](std::string body) {
        unsigned sum = 0;
        for (std::size_t i = 1; i + 1 < body.size(); i += 2)
            sum += std::stoul(body.substr(i, 2), nullptr, 16);
        char cs[3];
        std::snprintf(cs, sizeof cs, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
        return body + cs;
    };
    Lines base = good;
    base[1] = withChecksum(":0400000000112233");
    base[3] = withChecksum(":0400100044556677");
    ASSERT_TRUE(vexa::CheckHexImage(base).ok) << vexa::DescribeHexFault(vexa::CheckHexImage(base));

    struct Case {
        const char* what;
        int line;
        std::string replacement; // new text of the line; "<delete>" removes it
        int faultLine;
        const char* fault;
    } cases[] = {
        {"no colon", 1, "0400000000112233AA", 1, "neither a record"},
        {"odd length", 1, ":04000000001122334", 1, "odd number of hexadecimal digits"},
        {"count too large", 1, withChecksum(":0500000000112233"), 1, "byte count 0x05 announces 5"},
        {"count too small", 1, withChecksum(":0300000000112233"), 1, "the record holds 4"},
        {"checksum", 1, ":040000000011223300", 1, "checksum 0x00 is wrong"},
        {"not hex", 3, ":04001000445566G7AA", 3, "'G' at column 16"},
        {"lower case accepted, bad sum", 3, ":0400100044556677ab", 3, "checksum 0xAB"},
        {"record type 02", 2, withChecksum(":020000021000"), 2, "record type 02 is not accepted"},
        {"record type 05", 2, withChecksum(":0400000500000100"), 2, "record type 05"},
        {"second end record", 5, ":00000001FF", 5, "a second end record (end record at line 5)"},
        {"record after end", 5, base[1], 5, "a record after the end record"},
        {"no end record", 4, "<delete>", 6, "no end record"},
        {"too short", 1, ":00000000", 1, "too short"},
        {"empty data record", 1, withChecksum(":00000000"), 1, "data record without data"},
        {"end record with data", 4, withChecksum(":0100000100"), 4, "end record with data"},
        {"upper address out of memory", 2, withChecksum(":020000040003"), 2,
         "0x0003 lies outside program memory"},
        {"data past program memory", 3, withChecksum(":04AFFE0044556677"), 3,
         "0x2AFFE..0x2B001 outside program memory"},
        {"empty line inside", 2, "", 2, "empty line inside the image"},
        {"control byte in comment", 0, std::string(";te\x03st"), 0, "0x03 at column 4"},
        {"non-ASCII in comment", 0, std::string(";\x83\x65"), 0, "0x83 at column 2"},
        {"over-long line", 0, ";" + std::string(600, 'x'), 0, "longer than any record"},
        {"leading blank", 1, " " + base[1], 1, "starts with ' '"},
        {"trailing blank", 1, base[1] + " ", 1, "' ' at column 20"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Lines lines = base;
        if (c.replacement == "<delete>")
            lines.erase(lines.begin() + c.line);
        else
            lines[static_cast<std::size_t>(c.line)] = c.replacement;
        const vexa::HexImageCheck r = vexa::CheckHexImage(lines);
        ASSERT_FALSE(r.ok);
        EXPECT_EQ(r.line, c.faultLine);
        EXPECT_NE(r.fault.find(c.fault), std::string::npos) << r.fault;
        const std::string said = vexa::DescribeHexFault(r);
        if (c.faultLine < static_cast<int>(lines.size()))
            EXPECT_EQ(said.rfind("Line " + std::to_string(c.faultLine + 1) + ": ", 0), 0u) << said;
        else
            EXPECT_EQ(said.rfind("End of file: ", 0), 0u) << said;
    }
}

TEST(HexImageCheck, AcceptsAToolchainsOutput) {
    // Made with: objcopy -I binary -O ihex --change-section-lma .data+0x0200 (600 random bytes), CR LF lines.
    const std::string file = ReadFile(VEXA_TEST_DATA "/objcopy-600-bytes-at-0200.hex");
    ASSERT_FALSE(file.empty());
    const Lines lines = vexa::SplitLines(file);
    const vexa::HexImageCheck c = vexa::CheckHexImage(lines);
    ASSERT_TRUE(c.ok) << vexa::DescribeHexFault(c);
    EXPECT_EQ(c.summary.dataBytes, 600);
    EXPECT_EQ(c.summary.spans, (std::vector<vexa::HexSpan>{{0x0200, 0x0457}}));
    EXPECT_EQ(c.summary.endRecordLine, static_cast<int>(lines.size()) - 1);

    // The update never sends an image's last line, so the file is given its closing empty line.
    const Lines sent = vexa::ImageLinesForUpdate(lines);
    ASSERT_EQ(sent.size(), lines.size() + 1);
    EXPECT_EQ(sent[sent.size() - 2], ":00000001FF");
    EXPECT_EQ(sent.back(), "");
    EXPECT_EQ(vexa::ImageLinesForUpdate({"a", "", "", ""}), (Lines{"a", ""}));
    EXPECT_EQ(vexa::ImageLinesForUpdate(vexa::StandInImageLines()), vexa::StandInImageLines());
}

} // namespace
