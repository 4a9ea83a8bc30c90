// The typed recording: lines and samples kept together, the header lines read, a data file read and
// written back byte for byte.
#include "protocol/CaptureFormat.h"
#include "protocol/TextLines.h"
#include "recording/RecordingFile.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

Sample SampleAt(int second, int x) {
    Sample s;
    Stamp stamp;
    stamp.year = 2024;
    stamp.month = 3;
    stamp.day = 4;
    stamp.hour = 10;
    stamp.second = second;
    s.SetStamp(stamp);
    s.x = x;
    s.temperature = Temperature::FromRecord(21, false, '5');
    return s;
}

TEST(Recording, LinesAndSamplesStayTogetherWhenAppended) {
    Recording work;
    work.AddLine("Start Year=2024 @1G=10");
    work.AddLine(std::string(kNamedColumnLine));
    Recording body;
    body.header.source = RecordingSource::Download;
    body.header.countsPerG = 10;
    body.header.device.id = "07";
    body.AddSample(SampleAt(0, 1));
    body.AddLine("//comment");
    body.AddSample(SampleAt(1, 2));
    work.Append(std::move(body));

    EXPECT_EQ(work.header.source, RecordingSource::Download); // the first producer's header
    EXPECT_EQ(work.header.device.id, "07");
    ASSERT_EQ(work.LineCount(), 5u);
    ASSERT_EQ(work.Samples().size(), 2u);
    EXPECT_EQ(work.Line(2), "2024/03/04 10:00:00.000,  1,  0,  0, 21.5");
    EXPECT_EQ(work.SampleOfLine(0), nullptr);
    EXPECT_EQ(work.SampleOfLine(3), nullptr);
    EXPECT_EQ(work.SampleOfLine(4), &work.Samples()[1]);
    EXPECT_EQ(work.LineOfSample(0), 2u);
    EXPECT_EQ(work.LineOfSample(1), 4u);
    EXPECT_EQ(body.LineCount(), 0u);

    // A later tail adds its lines; the header stays the first producer's.
    Recording tail;
    tail.header.source = RecordingSource::Capture;
    tail.AddSample(SampleAt(2, 3));
    work.Append(std::move(tail));
    EXPECT_EQ(work.header.source, RecordingSource::Download);
    EXPECT_EQ(work.LineOfSample(2), 5u);
    EXPECT_EQ(work.SampleOfLine(5)->x, 3);

    work.Clear();
    EXPECT_EQ(work.LineCount(), 0u);
    EXPECT_TRUE(work.Samples().empty());
    EXPECT_EQ(work.header, RecordingHeader{});
}

// Appending gives the lines and samples that adding them one after another gives, whichever side is
// the longer one (the shorter side's storage is the one that moves).
TEST(Recording, AppendingIsAddingInOrderWhicheverSideIsLonger) {
    const std::pair<int, int> sizes[] = {{0, 4}, {2, 7}, {7, 2}, {4, 4}, {5, 0}, {1, 1}};
    for (const auto& [headLines, tailLines] : sizes) {
        SCOPED_TRACE(::testing::Message() << headLines << " + " << tailLines);
        Recording head, tail, expected;
        // Every third line is a comment; the others are samples numbered by their line.
        const auto fill = [&](Recording& r, int from, int count) {
            for (int i = from; i < from + count; ++i) {
                if (i % 3 == 1) {
                    r.AddLine("//" + std::to_string(i));
                    expected.AddLine("//" + std::to_string(i));
                } else {
                    r.AddSample(SampleAt(i, i));
                    expected.AddSample(SampleAt(i, i));
                }
            }
        };
        fill(head, 0, headLines);
        fill(tail, headLines, tailLines);
        tail.header.source = RecordingSource::Download;
        head.Append(std::move(tail));

        EXPECT_EQ(head.header.source, RecordingSource::Download);
        EXPECT_EQ(head.FileText(), expected.FileText());
        ASSERT_EQ(head.LineCount(), expected.LineCount());
        EXPECT_EQ(head.Samples(), expected.Samples());
        for (std::size_t k = 0; k < expected.Samples().size(); ++k)
            EXPECT_EQ(head.LineOfSample(k), expected.LineOfSample(k)) << k;
        for (std::size_t line = 0; line < expected.LineCount(); ++line) {
            EXPECT_EQ(head.Line(line), expected.Line(line));
            EXPECT_EQ(head.SampleOfLine(line) == nullptr, expected.SampleOfLine(line) == nullptr) << line;
            if (head.SampleOfLine(line)) {
                EXPECT_EQ(head.SampleOfLine(line)->x, int(line));
            }
        }
        EXPECT_EQ(tail.LineCount(), 0u);
    }
}

TEST(Recording, StartAndColumnLines) {
    EXPECT_EQ(DownloadStartLine("2023", 5), "Start Year=2023 @1G=5");
    EXPECT_EQ(DownloadStartLine("20XX", std::nullopt), "Start Year=20XX");
    EXPECT_EQ(CaptureStartLine("2024/05/01 09:03:17", 100), "Start Time=2024/05/01 09:03:17 @1G=100");

    struct Case {
        const char* start;
        const char* columns;
        std::string startText;
        int year;
        std::optional<int> countsPerG;
        ColumnKind kind;
    } cases[] = {
        {"Start Year=2024 @1G=100", "date time,x(G),y(G),z(G),temperature(C)", "2024", 2024, 100,
         ColumnKind::Named},
        {"Start Year=2023", "Date,Xaxis,Yaxis,Zaxis,Temp", "2023", 2023, std::nullopt, ColumnKind::Short},
        {"Start Year=20XX @1G=5", "", "20XX", 20, 5, ColumnKind::None},
        {"Start Time=2024/05/01 09:03:17 @1G=10", "X:    1", "2024/05/01 09:03:17", 2024, 10,
         ColumnKind::None},
        {"Start Year=2024     @1G=50", "", "2024    ", 2024, 50, ColumnKind::None},
        {"Start Year=2024 @1G=0", "", "2024", 2024, std::nullopt, ColumnKind::None}, // no divisor of 0
        {"Start Year=2024 @1G=-5", "", "2024", 2024, std::nullopt, ColumnKind::None},
        {"Start Year=2024 @1G=", "", "2024", 2024, std::nullopt, ColumnKind::None},
        {"Start Year=2024 @1G=ab", "", "2024", 2024, std::nullopt, ColumnKind::None},
        {"Sta@1G=9", "", "", 0, std::nullopt, ColumnKind::None}, // no start line
        {"nonsense", "", "", 0, std::nullopt, ColumnKind::None},
    };
    for (const Case& c : cases) {
        RecordingHeader h;
        h.source = RecordingSource::File;
        ReadHeaderLines(c.start, c.columns, h);
        EXPECT_EQ(h.startText, c.startText) << c.start;
        EXPECT_EQ(h.startYear, c.year) << c.start;
        EXPECT_EQ(h.countsPerG, c.countsPerG) << c.start;
        EXPECT_EQ(h.columns, c.kind) << c.start;
        EXPECT_EQ(h.source, RecordingSource::File);
    }
}

TEST(RecordingFile, ReadsEveryDataLineAndWritesTheSameBytes) {
    const std::string marked = "\x81"
                               "024/03/04 10:00:01.000,  2,  0,  0, 21.5";
    const std::vector<std::string> lines = {
        "Start Year=2024 @1G=20",
        std::string(kNamedColumnLine),
        "2024/03/04 10:00:01.000,  1,  0,  0, 21.5",
        "//\x81\xab"
        "Irregular Record //",
        marked,
        "2024/03/04 10:00:02.000,  3,  0,  0, 21.5, 7",
        "a reply line",
        "2024/3/4 10:0:3.000,4,0,0,21.5", // written by hand: still a data line
    };
    const std::string content = JoinLinesCrLf(lines);
    const Recording r = ReadRecording(content);
    EXPECT_EQ(r.header.source, RecordingSource::File);
    EXPECT_EQ(r.header.startYear, 2024);
    EXPECT_EQ(r.header.countsPerG, 20);
    EXPECT_EQ(r.header.columns, ColumnKind::Named);
    EXPECT_EQ(r.Lines(), lines);
    ASSERT_EQ(r.Samples().size(), 4u);
    EXPECT_EQ(r.LineOfSample(1), 4u);
    const Sample& m = r.Samples()[1];
    EXPECT_TRUE(m.irregular);
    // The mark took the year's first digit; the sample keeps its century from the sample before.
    EXPECT_EQ(m.stamp.year, 2024);
    EXPECT_EQ(m.timeMs, r.Samples()[0].timeMs);
    EXPECT_EQ(r.Samples()[2].extra, 7);
    EXPECT_EQ(r.Samples()[3].timeMs - r.Samples()[0].timeMs, 2000);
    EXPECT_EQ(r.SampleOfLine(6), nullptr);
    EXPECT_EQ(r.FileText(), content);

    // A marked first data line takes its century from the start line; LF and CR end lines as CR LF does.
    const Recording first = ReadRecording("Start Year=2024\n" + marked + "\r");
    ASSERT_EQ(first.Samples().size(), 1u);
    EXPECT_EQ(first.Samples()[0].stamp.year, 2024);
    EXPECT_EQ(first.FileText(), "Start Year=2024\r\n" + marked + "\r\n");
    EXPECT_EQ(ReadRecording("").FileText(), "");
}

} // namespace
} // namespace vexa
