// The simulated logger's behaviour without any I/O: commands in, answers out, settings kept in between.
#include "sim/LoggerModel.h"

#include "sim/CivilTime.h"
#include "sim/RecordEncoder.h"
#include "sim/StatusReport.h"

#include <ctime>

namespace vexa::sim {

namespace {
int ToInt(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long v = 0;
    for (; i < text.size() && v < 1000000; ++i) v = v * 10 + (text[i] - '0');
    return static_cast<int>(negative ? -v : v);
}

Answer Ok(std::string line) {
    Answer a;
    a.lines.push_back(std::move(line));
    return a;
}
} // namespace

LoggerModel::LoggerModel(const SimConfig& config) : config_(config), settings_(config.settings) {
    const auto records = GenerateRecords(config_);
    const bool msMode = IsMillisecondSampling(settings_.samplingCode);
    const int length = config_.recordLength ? config_.recordLength : (msMode ? 21 : 20);
    recordLines_.reserve(records.size());
    for (const auto& r : records) recordLines_.push_back(EncodeRecord(r, length));
    firstYear_ = records.empty() ? ParseDateTime(config_.start).value_or(CivilTime{}).year : records.front().year;

    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    clockBaseSeconds_ = ToEpochSeconds(CivilTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                                 local.tm_hour, local.tm_min, local.tm_sec});
    if (auto t = ParseDateTime(settings_.clockText)) clockBaseSeconds_ = ToEpochSeconds(*t);
    clockSetAt_ = std::chrono::steady_clock::now();
}

std::string LoggerModel::clockText() const {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - clockSetAt_).count();
    return FormatDateTime(FromEpochSeconds(clockBaseSeconds_ + elapsed));
}

Answer LoggerModel::download(int extraCount) const {
    Answer a;
    a.lines.reserve(recordLines_.size() + 1);
    a.lines.push_back(CountLine(static_cast<int>(recordLines_.size()) + extraCount));
    for (const auto& line : recordLines_) a.lines.push_back(line);
    return a;
}

Answer LoggerModel::handle(const ParsedCommand& cmd, int extraCount) {
    const std::string& n = cmd.name;
    const std::string& arg = cmd.arg;
    SimSettings& s = settings_;
    if (cmd.status != ParseStatus::Command) {
        Answer a = Ok(cmd.status == ParseStatus::Unknown ? "ERR unknown command" : "ERR bad argument " + n);
        a.error = true;
        return a;
    }
    if (n == "m") {
        Answer a = Ok(s.modelLine);
        a.lines.push_back("READY");
        return a;
    }
    if (n == "p") {
        Answer a;
        a.lines = StatusReportLines(s, static_cast<int>(recordLines_.size()), firstYear_);
        return a;
    }
    if (n == "n") return Ok(MonitorLine(s));
    if (n == "x") {
        Answer a;
        a.prompt = false;
        a.startStream = true;
        return a;
    }
    if (n == " ") {
        // The stream's end closes the exchange.
        Answer a;
        a.stopStream = true;
        return a;
    }
    if (n == "D" || n == "C" || n == "G") return download(extraCount);
    if (n == "ACK") {
        Answer a;
        a.prompt = false;
        return a;
    }
    if (n == "boot") {
        Answer a;
        a.prompt = false;
        a.enterBoot = true;
        return a;
    }
    if (n == "t" || n == "te") return Ok("TIME " + clockText());
    if (n == "vp") return Ok(s.modelLine);
    if (n == "#") return Answer{};
    if (n == "hAAA") return Ok("RESTART");
    if (n == "E") return Ok("GPS none");
    if (n == "e") return Ok("ADJUST");
    if (n == "W" || n == "Z") return Ok("OK " + n);

    // Setting commands: change the named setting; the next "p" reports it.
    if (n == "j") s.intervalCode = arg[0];
    else if (n == "i") s.samplingCode = arg[0];
    else if (n == "d") s.threshold = arg;
    else if (n == "z") s.buzzerDigit = arg[0] - '0';
    else if (n == "k") s.thresholdDetect = arg[0] == '1';
    else if (n == "b") s.bMode = arg[0] - '0';
    else if (n == "N") s.nField = ToInt(arg);
    else if (n == "range") s.countsCode = arg;
    else if (n == "o") s.recording = true;
    else if (n == "f") s.recording = false;
    else if (n == "s") {
        s.clockText = arg;
        clockBaseSeconds_ = ToEpochSeconds(*ParseDateTime(arg));
        clockSetAt_ = std::chrono::steady_clock::now();
        s.recording = true;
    } else if (n == "l") s.reservation = arg;
    else if (n == "Y") s.deviceId = ToInt(arg);
    else if (n == "w") s.wait = ToInt(arg);
    else if (n == "L") s.level = ToInt(arg);
    else if (n == "r") s.rec = ToInt(arg) * 100;
    else if (n == "Ox") s.hazard = ToInt(arg);
    else if (n == "Oy") s.gravity = ToInt(arg);
    else if (n == "Oz") s.endless = ToInt(arg);
    else if (n == "OX") s.hz100 = ToInt(arg);
    else if (n == "OY") s.display = ToInt(arg);
    else if (n == "OZ") s.df = ToInt(arg);
    else if (n == "FX") s.fx = ToInt(arg);
    else if (n == "FY") s.fy = ToInt(arg);
    else if (n == "FZ") s.fz = ToInt(arg);
    else if (n == "Kw") s.idText = arg;
    else if (n == "Kr") return Ok("@K=ID " + s.idText);
    else if (n == "q") {
        switch (arg[0]) {
        case '1': s.dataRate = 10; break;
        case '5': s.dataRate = 50; break;
        case '7': s.lcd = 1; break;
        case '8': s.ble = 1; break;
        case '9': s.ble = 0; break;
        }
    } else {
        Answer a = Ok("ERR unsupported " + n);
        a.error = true;
        return a;
    }
    // Echo what was applied, without bytes that would end or disturb the tool's reply framing.
    std::string echo = "OK " + n;
    for (char c : arg)
        if (c != '#' && c != '!' && c != '?' && c != '\x05' && c != '\r' && c != '\n') echo += c;
    return Ok(echo);
}

} // namespace vexa::sim
