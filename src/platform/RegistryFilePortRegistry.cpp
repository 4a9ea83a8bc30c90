// Port registry read from a text file laid out like the Windows registry (simulator and tests).
#include "platform/RegistryFilePortRegistry.h"

#include "platform/PortRegistryText.h"

#include <algorithm>
#include <fstream>
#include <set>

namespace {

std::string_view StripKeyRoot(std::string_view section) {
    for (std::string_view root : {std::string_view("HKLM\\"), std::string_view("HKEY_LOCAL_MACHINE\\")}) {
        if (section.size() >= root.size() && EqualsIgnoreCase(section.substr(0, root.size()), root))
            return section.substr(root.size());
    }
    return section;
}

// The port name between the first "(" and the ")" after it, as in "USB Serial Port (COM3)".
std::optional<std::string> PortInParentheses(std::string_view friendlyName) {
    const auto open = friendlyName.find('(');
    if (open == std::string_view::npos) return std::nullopt;
    const auto close = friendlyName.find(')', open + 1);
    if (close == std::string_view::npos) return std::nullopt;
    return std::string(friendlyName.substr(open + 1, close - open - 1));
}

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    return lower;
}

} // namespace

RegistryFileData RegistryFileData::Parse(std::string_view text) {
    RegistryFileData data;
    // A file saved by a Windows editor may start with a UTF-8 byte order mark.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

    Section* current = nullptr;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);

        line = TrimBlanks(line); // also drops the CR of CR LF line ends
        if (line.empty()) continue;
        if (line.front() == '[') {
            const std::string_view name = line.size() >= 2 && line.back() == ']'
                                              ? StripKeyRoot(TrimBlanks(line.substr(1, line.size() - 2)))
                                              : std::string_view();
            current = name.empty() ? nullptr : &data.FindOrAdd(name);
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string_view::npos || current == nullptr) continue;
        const std::string_view name = TrimBlanks(line.substr(0, eq));
        const std::string_view value = TrimBlanks(line.substr(eq + 1));
        if (name.empty()) continue;

        // A key holds each value name once; a repeated line replaces the earlier data in place.
        const auto [at, added] = current->valueIndex.try_emplace(LowerCase(name), current->values.size());
        if (added)
            current->values.emplace_back(std::string(name), std::string(value));
        else
            current->values[at->second].second = std::string(value);
    }
    return data;
}

const RegistryFileData::Section* RegistryFileData::Find(std::string_view section) const {
    const auto at = sectionIndex_.find(LowerCase(StripKeyRoot(section)));
    return at == sectionIndex_.end() ? nullptr : &sections_[at->second];
}

RegistryFileData::Section& RegistryFileData::FindOrAdd(std::string_view section) {
    const auto [at, added] = sectionIndex_.try_emplace(LowerCase(section), sections_.size());
    if (added) sections_.push_back(Section{std::string(section), {}, {}});
    return sections_[at->second];
}

const RegistryFileData::Values* RegistryFileData::FindValues(std::string_view section) const {
    const Section* s = Find(section);
    return s ? &s->values : nullptr;
}

RegistryFileData::Values RegistryFileData::SectionValues(std::string_view section) const {
    const Section* s = Find(section);
    return s ? s->values : Values{};
}

bool RegistryFileData::HasSection(std::string_view section) const {
    return Find(section) != nullptr;
}

std::optional<std::string> RegistryFileData::Value(std::string_view section,
                                                   std::string_view valueName) const {
    const Section* s = Find(section);
    if (!s) return std::nullopt;
    const auto at = s->valueIndex.find(LowerCase(valueName));
    return at == s->valueIndex.end() ? std::nullopt : std::optional<std::string>(s->values[at->second].second);
}

RegistryFilePortRegistry::RegistryFilePortRegistry(std::string path) : path_(std::move(path)) {}

std::shared_ptr<const RegistryFileData> RegistryFilePortRegistry::Load() {
    // A missing or unreadable file is an empty registry: deleting the file is unplugging the logger.
    std::ifstream in(path_, std::ios::binary);
    if (!in) return std::make_shared<const RegistryFileData>();
    // Read in pieces up to the bound, so that the usual file of a few hundred bytes costs no more
    // than its size.
    std::string text;
    char piece[16 * 1024];
    while (text.size() < kMaxFileBytes && in) {
        in.read(piece, static_cast<std::streamsize>(std::min(sizeof piece, kMaxFileBytes - text.size())));
        text.append(piece, static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    }
    lastCut_ = text.size() >= kMaxFileBytes && in && in.peek() != std::ifstream::traits_type::eof();
    if (!lastData_ || text != lastText_) {
        lastData_ = std::make_shared<const RegistryFileData>(RegistryFileData::Parse(text));
        lastText_ = std::move(text);
    }
    return lastData_;
}

std::vector<std::pair<std::string, std::string>> RegistryFilePortRegistry::SerialCommValues() {
    return Load()->SectionValues(kSerialCommKey);
}

std::optional<std::string> RegistryFilePortRegistry::LoggerFriendlyName() {
    return Load()->Value(kLoggerDeviceKey, kLoggerFriendlyNameValue);
}

std::optional<std::string> RegistryFilePortRegistry::AdapterPortName() {
    return Load()->Value(kAdapterDeviceKey, kAdapterPortNameValue);
}

std::optional<std::string> RegistryFilePortRegistry::DevicePath(unsigned comNumber) {
    const auto data = Load();
    if (const auto* ports = data->FindValues(kPortsSection))
        for (const auto& [name, path] : *ports)
            if (ParseComName(name) == comNumber && !path.empty()) return path;
    return std::nullopt;
}

vexa::session::RegistrySnapshot RegistryFilePortRegistry::Snapshot() {
    const auto data = Load();
    vexa::session::RegistrySnapshot snapshot;
    snapshot.cut = lastCut_;
    if (const auto* values = data->FindValues(kSerialCommKey)) snapshot.serialComm = *values;
    snapshot.loggerFriendlyName = data->Value(kLoggerDeviceKey, kLoggerFriendlyNameValue);
    snapshot.adapterPortName = data->Value(kAdapterDeviceKey, kAdapterPortNameValue);
    // The device paths of the driver's listed ports, the only ones the tick may open; as DevicePath,
    // the first non-empty line for a number wins.
    std::set<unsigned> listed;
    for (const auto& entry : snapshot.serialComm)
        if (vexa::session::VcpPosition(entry.first) > 0)
            if (const auto number = ParseComName(entry.second)) listed.insert(*number);
    if (const auto* ports = data->FindValues(kPortsSection)) {
        for (const auto& [name, path] : *ports)
            if (const auto number = ParseComName(name); number && !path.empty() && listed.count(*number))
                snapshot.devicePaths.emplace(*number, path);
    }
    return snapshot;
}

std::vector<SerialPortInfo> RegistryFilePortRegistry::Describe() {
    const auto loaded = Load();
    const RegistryFileData& data = *loaded;
    const RegistryFileData::Values ports = data.SectionValues(kPortsSection);
    const auto friendly = data.Value(kLoggerDeviceKey, kLoggerFriendlyNameValue);
    const auto loggerPort = friendly ? PortInParentheses(*friendly) : std::nullopt;
    const auto adapterPort = data.Value(kAdapterDeviceKey, kAdapterPortNameValue);

    // COM number -> device path; a later line for the same number wins.
    std::unordered_map<unsigned, std::string> pathOf;
    for (const auto& [portName, path] : ports)
        if (const auto number = ParseComName(portName)) pathOf[*number] = path;

    std::vector<SerialPortInfo> result;
    for (const auto& [valueName, comName] : data.SectionValues(kSerialCommKey)) {
        SerialPortInfo info;
        info.comName = comName;
        if (const auto number = ParseComName(comName); number && pathOf.count(*number))
            info.devicePath = pathOf[*number];
        if (loggerPort && EqualsIgnoreCase(*loggerPort, comName)) {
            info.vendorId = kLoggerVendorId;
            info.productId = kLoggerProductId;
            info.product = *friendly;
        } else if (adapterPort && EqualsIgnoreCase(*adapterPort, comName)) {
            info.vendorId = kAdapterVendorId;
            info.productId = kAdapterProductId;
        }
        result.push_back(std::move(info));
    }
    // Names that are not COMn sort last, in file order.
    std::stable_sort(result.begin(), result.end(), [](const SerialPortInfo& a, const SerialPortInfo& b) {
        return ParseComName(a.comName).value_or(~0u) < ParseComName(b.comName).value_or(~0u);
    });
    return result;
}
