// `vexa stats`, `vexa events` and `vexa report` run as processes on generated data files: figures against
// an oracle computed here from the generated samples, every generated pulse found once, the exit codes of
// --fail-above and of bad input, and a report written with no display at hand.
#include "Program.h"
#include "protocol/CsvLine.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>

namespace {

namespace fs = std::filesystem;
using vexa::Sample;

// The one JSON object a subcommand prints, read back with a real parser; an empty object when the text
// is not exactly one valid JSON object.
QJsonObject Json(const std::string& text) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << " in " << text;
    EXPECT_TRUE(doc.isObject()) << text;
    return doc.object();
}

// A member on a path of keys; undefined when one is missing.
QJsonValue At(const QJsonObject& object, std::initializer_list<const char*> path) {
    QJsonValue v = object;
    for (const char* key : path)
        v = v.toObject().value(QLatin1String(key));
    return v;
}

std::string Path(std::initializer_list<const char*> path) {
    std::string text;
    for (const char* key : path)
        text += std::string(text.empty() ? "" : ".") + key;
    return text;
}

// The keys of the object at path, sorted.
std::vector<std::string> Keys(const QJsonObject& object, std::initializer_list<const char*> path = {}) {
    std::vector<std::string> keys;
    for (const QString& key : At(object, path).toObject().keys())
        keys.push_back(key.toStdString());
    std::sort(keys.begin(), keys.end());
    return keys;
}

double Number(const QJsonObject& object, std::initializer_list<const char*> path) {
    const QJsonValue v = At(object, path);
    EXPECT_TRUE(v.isDouble()) << "not a number at " << Path(path);
    return v.toDouble(NAN);
}

std::string Text(const QJsonObject& object, std::initializer_list<const char*> path) {
    const QJsonValue v = At(object, path);
    return v.isString() ? v.toString().toStdString() : "(missing)";
}

// The pixels of a binary PPM (P6, 8 bits) as pdftoppm writes it; empty when the file is none.
std::vector<std::array<unsigned char, 3>> PpmPixels(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, depth = 0;
    in >> magic >> width >> height >> depth;
    in.get();
    std::vector<std::array<unsigned char, 3>> pixels;
    if (magic != "P6" || depth != 255 || width <= 0 || height <= 0) return pixels;
    pixels.resize(std::size_t(width) * std::size_t(height));
    in.read(reinterpret_cast<char*>(pixels.data()), std::streamsize(pixels.size() * 3));
    if (!in) pixels.clear();
    return pixels;
}

struct Generated {
    std::vector<Sample> samples;
    std::vector<std::pair<std::size_t, std::size_t>> pulses; // first sample, width
};

// A download of 1-s records from 2024/03/01 00:00:00 on resting gravity (counts per G 10) with noise, and
// `count` half-sine pulses of 4.5..11 g on a random axis, at least 30 s apart.
Generated Download(int count, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> noise(-1, 1), axisOf(0, 2), width(2, 9), pause(30, 300);
    std::uniform_real_distribution<double> height(45, 110);
    Generated g;
    const auto add = [&](int x, int y, int z) {
        const int i = int(g.samples.size());
        Sample s;
        s.SetStamp({2024, 3, 1 + i / 86400, i / 3600 % 24, i / 60 % 60, i % 60, 0, 0});
        s.x = x, s.y = y, s.z = z;
        s.temperature = vexa::Temperature::FromRecord(18 + i / 1000 % 7, false, char('0' + i % 10));
        g.samples.push_back(s);
    };
    for (int p = 0; p < count; ++p) {
        for (int k = pause(rng); k > 0; --k)
            add(noise(rng), noise(rng), 10 + noise(rng));
        const int w = width(rng), axis = axisOf(rng);
        const double h = height(rng) * (axis == 2 && p % 2 ? -1 : 1);
        g.pulses.push_back({g.samples.size(), std::size_t(w)});
        for (int k = 0; k < w; ++k) {
            const int v = int(std::lround(h * std::sin(std::numbers::pi * (k + 1) / (w + 1))));
            add(axis == 0 ? v : 0, axis == 1 ? v : 0, 10 + (axis == 2 ? v : 0));
        }
    }
    for (int k = 0; k < 100; ++k)
        add(noise(rng), noise(rng), 10 + noise(rng));
    return g;
}

struct CliAnalysis : ::testing::Test {
    fs::path dir;
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vexa-cli-analysis-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    // The file as the window saves a download: start line, column line, data lines, CR LF.
    std::string Write(const std::vector<Sample>& samples,
                      const std::string& start = "Start Year=2024 @1G=10") {
        const fs::path path = dir / "data.csv";
        std::ofstream out(path, std::ios::binary);
        out << start << "\r\ndate time,x(G),y(G),z(G),temperature(C)\r\n";
        for (const Sample& s : samples)
            out << vexa::FormatCsvLine(s) << "\r\n";
        return path.string();
    }
    Ran Vexa(const std::vector<std::string>& args, std::map<std::string, std::string> env = {}) {
        return Program(VEXA_PROGRAM, args, env).Wait();
    }
};

} // namespace

TEST_F(CliAnalysis, StatsMatchTheOracleOverTheWholeFileAndARange) {
    std::mt19937 rng(4);
    std::uniform_int_distribution<int> counts(-128, 127);
    std::vector<Sample> samples;
    for (int i = 0; i < 3000; ++i) {
        Sample s;
        s.SetStamp({2024, 3, 1, 10 + i / 3600, i / 60 % 60, i % 60, 0, 0});
        s.x = counts(rng), s.y = counts(rng), s.z = counts(rng);
        s.temperature = vexa::Temperature::FromRecord(i % 50 - 20, false, char('0' + i % 10));
        samples.push_back(s);
    }
    const std::string file = Write(samples, "Start Year=2024 @1G=50");
    struct Case {
        std::vector<std::string> range;
        std::size_t begin, end;
    } cases[] = {
        {{}, 0, 3000},
        {{"--from", "2024/03/01 10:10:00", "--to", "10:20:00.5"}, 600, 1201},
        {{"--from", "+2999"}, 2999, 3000},
        {{"--to", "2024-03-01T10:00:00"}, 0, 1},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"stats", file, "--json"};
        args.insert(args.end(), c.range.begin(), c.range.end());
        const Ran ran = Vexa(args);
        ASSERT_EQ(ran.exitCode, 0) << ran.err;
        SCOPED_TRACE(ran.out);
        const QJsonObject json = Json(ran.out);
        using Names = std::vector<std::string>;
        EXPECT_EQ(Keys(json), (Names{"axes", "countsPerG", "end", "samples", "seconds", "start",
                                     "temperature", "vector"}));
        EXPECT_EQ(Keys(json, {"axes"}), (Names{"x", "y", "z"}));
        EXPECT_EQ(Keys(json, {"axes", "y"}), (Names{"max", "mean", "min", "peakToPeak", "rms"}));
        EXPECT_EQ(Keys(json, {"vector"}), (Names{"at", "max"}));
        EXPECT_EQ(Keys(json, {"temperature"}), (Names{"max", "mean", "min"}));
        EXPECT_EQ(Number(json, {"samples"}), double(c.end - c.begin));
        EXPECT_EQ(Number(json, {"countsPerG"}), 50);
        EXPECT_EQ(Text(json, {"start"}), vexa::FormatCsvLine(samples[c.begin]).substr(0, 23));
        EXPECT_EQ(Text(json, {"end"}), vexa::FormatCsvLine(samples[c.end - 1]).substr(0, 23));
        EXPECT_NEAR(Number(json, {"seconds"}), double(c.end - 1 - c.begin), 1e-6);
        const char* axes[] = {"x", "y", "z"};
        for (int a = 0; a < 3; ++a) {
            double max = -1e9, min = 1e9, sum = 0, squares = 0;
            for (std::size_t i = c.begin; i < c.end; ++i) {
                const double v = (a == 0 ? samples[i].x : a == 1 ? samples[i].y : samples[i].z) / 50.0;
                max = std::max(max, v), min = std::min(min, v), sum += v, squares += v * v;
            }
            const double n = double(c.end - c.begin);
            EXPECT_NEAR(Number(json, {"axes", axes[a], "max"}), max, 1e-6) << axes[a];
            EXPECT_NEAR(Number(json, {"axes", axes[a], "min"}), min, 1e-6) << axes[a];
            EXPECT_NEAR(Number(json, {"axes", axes[a], "mean"}), sum / n, 1e-6) << axes[a];
            EXPECT_NEAR(Number(json, {"axes", axes[a], "rms"}), std::sqrt(squares / n), 1e-6) << axes[a];
            EXPECT_NEAR(Number(json, {"axes", axes[a], "peakToPeak"}), max - min, 1e-6) << axes[a];
        }
        double peak = -1, tMax = -1e9, tMin = 1e9, tSum = 0;
        std::size_t at = 0;
        for (std::size_t i = c.begin; i < c.end; ++i) {
            const Sample& s = samples[i];
            const double m = std::sqrt(double(s.x * s.x + s.y * s.y + s.z * s.z)) / 50;
            if (m > peak) peak = m, at = i;
            const double t = *s.temperature.Tenths() / 10.0;
            tMax = std::max(tMax, t), tMin = std::min(tMin, t), tSum += t;
        }
        EXPECT_NEAR(Number(json, {"vector", "max"}), peak, 1e-6);
        EXPECT_EQ(Text(json, {"vector", "at"}), vexa::FormatCsvLine(samples[at]).substr(0, 23));
        EXPECT_NEAR(Number(json, {"temperature", "max"}), tMax, 1e-6);
        EXPECT_NEAR(Number(json, {"temperature", "min"}), tMin, 1e-6);
        EXPECT_NEAR(Number(json, {"temperature", "mean"}), tSum / double(c.end - c.begin), 1e-6);
    }

    // Times it cannot read are usage errors; a range without samples is a failure of its own.
    EXPECT_EQ(Vexa({"stats", file, "--from", "yesterday"}).exitCode, 2);
    EXPECT_EQ(Vexa({"stats", file, "--to", "25:00"}).exitCode, 2);
    const Ran empty = Vexa({"stats", file, "--from", "11:00", "--to", "10:00"});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_NE(empty.err.find("no sample"), std::string::npos) << empty.err;
    EXPECT_EQ(Vexa({"stats", (dir / "missing.csv").string()}).exitCode, 2);
}

TEST_F(CliAnalysis, EveryPulseIsOneEventAndFailAboveSetsTheExitCode) {
    const Generated g = Download(25, 8);
    const std::string file = Write(g.samples);
    const Ran ran = Vexa({"events", file, "--json"});
    ASSERT_EQ(ran.exitCode, 0) << ran.err;
    const QJsonObject json = Json(ran.out);
    using Names = std::vector<std::string>;
    EXPECT_EQ(Keys(json), (Names{"events", "minGapMs", "threshold"}));
    EXPECT_EQ(Number(json, {"threshold"}), 3.0); // resting at 1 g
    EXPECT_EQ(Number(json, {"minGapMs"}), 1000);
    const QJsonArray events = At(json, {"events"}).toArray();
    ASSERT_EQ(events.size(), qsizetype(g.pulses.size())) << ran.out;
    double largest = 0;
    for (std::size_t p = 0; p < g.pulses.size(); ++p) {
        // The oracle for one pulse: its first sample of largest magnitude, and per axis the value of
        // largest size (the pulse's samples are all over the threshold: 4.5 g and more at their peak,
        // but the rising and falling samples may lie below it, so the oracle walks the over samples).
        const QJsonObject event = events[qsizetype(p)].toObject();
        SCOPED_TRACE(QJsonDocument(event).toJson(QJsonDocument::Compact).toStdString());
        EXPECT_EQ(Keys(event), (Names{"end", "peak", "peakAt", "samples", "start", "x", "y", "z"}));
        double peak = -1;
        std::size_t peakAt = 0, first = 0, last = 0, over = 0;
        std::array<int, 3> axisPeak{};
        for (std::size_t i = g.pulses[p].first; i < g.pulses[p].first + g.pulses[p].second; ++i) {
            const Sample& s = g.samples[i];
            const double m = std::sqrt(double(s.x * s.x + s.y * s.y + s.z * s.z)) / 10;
            if (m > peak) peak = m, peakAt = i;
            if (m < 3.0) continue;
            if (over++ == 0) first = i;
            last = i;
        }
        for (std::size_t i = first; i <= last; ++i) {
            const Sample& s = g.samples[i];
            const int values[3] = {s.x, s.y, s.z};
            for (int a = 0; a < 3; ++a)
                if (std::abs(values[a]) > std::abs(axisPeak[std::size_t(a)]))
                    axisPeak[std::size_t(a)] = values[a];
        }
        EXPECT_EQ(Text(event, {"start"}), vexa::FormatCsvLine(g.samples[first]).substr(0, 23));
        EXPECT_EQ(Text(event, {"end"}), vexa::FormatCsvLine(g.samples[last]).substr(0, 23));
        EXPECT_EQ(Text(event, {"peakAt"}), vexa::FormatCsvLine(g.samples[peakAt]).substr(0, 23));
        EXPECT_NEAR(Number(event, {"peak"}), peak, 1e-6);
        EXPECT_NEAR(Number(event, {"x"}), axisPeak[0] / 10.0, 1e-6);
        EXPECT_NEAR(Number(event, {"y"}), axisPeak[1] / 10.0, 1e-6);
        EXPECT_NEAR(Number(event, {"z"}), axisPeak[2] / 10.0, 1e-6);
        EXPECT_EQ(Number(event, {"samples"}), double(over));
        largest = std::max(largest, peak);
    }

    // --fail-above: 0 when no event peaks above the limit, 1 (and why, on standard error) when one does.
    EXPECT_EQ(Vexa({"events", file, "--fail-above", std::to_string(largest + 0.01)}).exitCode, 0);
    const Ran failed = Vexa({"events", file, "--fail-above", std::to_string(largest - 0.01)});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.err.find("1 of 25 events peak above"), std::string::npos) << failed.err;
    // A threshold above every pulse finds nothing; bad numbers are usage errors.
    const Ran none = Vexa({"events", file, "--threshold", "12", "--min-gap-ms", "0", "--json"});
    EXPECT_EQ(none.out, "{\"threshold\":12.000000,\"minGapMs\":0,\"events\":[]}\n");
    for (const char* bad : {"0", "-1", "abc", "nan", "inf"})
        EXPECT_EQ(Vexa({"events", file, "--threshold", bad}).exitCode, 2) << bad;
    EXPECT_EQ(Vexa({"events", file, "--min-gap-ms", "-5"}).exitCode, 2);

    // A file without a data line (a settings report, say) is refused, never passed as "no event".
    const fs::path settings = dir / "settings.txt";
    std::ofstream(settings, std::ios::binary) << "ID=01\r\nInterval=1s\r\n";
    const std::vector<std::vector<std::string>> commands = {
        {"events", settings.string(), "--fail-above", "5"},
        {"stats", settings.string()},
        {"report", settings.string(), "-o", (dir / "settings.pdf").string()},
    };
    for (const auto& command : commands) {
        const Ran refused = Vexa(command);
        EXPECT_EQ(refused.exitCode, 2) << command[0];
        EXPECT_NE(refused.err.find("holds no data line"), std::string::npos)
            << command[0] << ": " << refused.err;
    }
    EXPECT_FALSE(fs::exists(dir / "settings.pdf"));
}

TEST_F(CliAnalysis, ReportWritesAPdfWithoutADisplay) {
    const Generated g = Download(5, 3);
    const std::string file = Write(g.samples);
    const std::string pdf = (dir / "report.pdf").string();
    // A display that cannot be reached and a platform that needs one change nothing.
    const std::map<std::string, std::string> env = {{"DISPLAY", ":99"}, {"QT_QPA_PLATFORM", "xcb"}};
    const Ran ran = Vexa({"report", file, "-o", pdf, "--title", "出荷試験 A", "--json"}, env);
    ASSERT_EQ(ran.exitCode, 0) << ran.err;
    EXPECT_EQ(ran.out, "{\"output\":\"" + pdf + "\",\"pages\":2,\"events\":5,\"threshold\":3.000000}\n");
    const Ran text = Program("/usr/bin/pdftotext", {pdf, "-"}, {}).Wait();
    EXPECT_NE(text.out.find("出荷試験 A"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("5 events, all listed"), std::string::npos) << text.out;
    // Both pages render; the first carries the overview: the threshold's red and the three axes' colours.
    const Ran rendered = Program("/usr/bin/pdftoppm", {"-r", "50", pdf, (dir / "page").string()}, {}).Wait();
    ASSERT_EQ(rendered.exitCode, 0) << rendered.err;
    EXPECT_TRUE(fs::exists(dir / "page-2.ppm"));
    const auto pixels = PpmPixels(dir / "page-1.ppm");
    ASSERT_FALSE(pixels.empty());
    const auto count = [&](auto near) { return std::count_if(pixels.begin(), pixels.end(), near); };
    const auto close = [](int a, int b) { return std::abs(a - b) < 40; };
    const auto colour = [&](int r, int g, int b) {
        return [=](const std::array<unsigned char, 3>& p) {
            return close(p[0], r) && close(p[1], g) && close(p[2], b);
        };
    };
    EXPECT_GT(count(colour(0xE0, 0x00, 0x00)), 20) << "no threshold line";
    EXPECT_GT(count(colour(0xFF, 0x00, 0xFF)), 20) << "no X trace";
    EXPECT_GT(count(colour(0x00, 0x00, 0xFF)), 20) << "no Y trace";
    EXPECT_GT(count(colour(0x00, 0x80, 0x00)), 20) << "no Z trace";

    const std::string nowhere = (dir / "missing" / "report.pdf").string();
    const Ran refused = Vexa({"report", file, "-o", nowhere});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_FALSE(fs::exists(nowhere));
    EXPECT_EQ(Vexa({"report", file}).exitCode, 2); // no -o
}
