// `vexa ports`: the serial ports with the one vexa would use marked, and why.
#include "cli/JsonWriter.h"
#include "cli/LoggerPort.h"
#include "cli/Subcommands.h"
#include "platform/PortRegistry.h"
#include "session/PortSearch.h"

#include <algorithm>

namespace vexa::cli {

namespace {

std::string Kind(const SerialPortInfo& p) {
    if (p.vendorId == kLoggerVendorId && p.productId == kLoggerProductId) return "logger";
    if (p.vendorId == kAdapterVendorId && p.productId == kAdapterProductId) return "adapter";
    return "";
}

std::string UsbId(const SerialPortInfo& p) {
    return p.vendorId.empty() ? "" : p.vendorId + ":" + p.productId;
}

std::string Pad(std::string text, std::size_t width) {
    if (text.size() < width) text.resize(width, ' ');
    return text + "  ";
}

} // namespace

int RunPorts(const Invocation& inv, Streams& streams) {
    const auto registry = MakePortRegistry();
    const auto snapshot = registry->Snapshot();
    const auto search = SearchLoggerPort(snapshot, inv.Has("adapter"));
    const std::vector<SerialPortInfo> ports = registry->Describe();
    const bool chosen = search.Found();
    using Outcome = vexa::session::PortSearch::Outcome;
    // The reason in one word for scripts, and in words for people.
    const std::string reason = !chosen                                  ? "none"
                               : search.outcome == Outcome::AdapterPort ? "adapter"
                                                                        : "logger";
    std::string why;
    switch (search.outcome) {
    case Outcome::LoggerPort:
        why = "the logger, found by its USB id " + std::string(kLoggerVendorId) + ":" +
              std::string(kLoggerProductId);
        break;
    case Outcome::AdapterPort:
        why = "the generic USB-serial adapter (USB " + std::string(kAdapterVendorId) + ":" +
              std::string(kAdapterProductId) + "), as --adapter allows";
        break;
    case Outcome::Absent:
        why = "no serial port of the logger's USB driver is present";
        break;
    case Outcome::NotFound:
        why = "no port belongs to a logger (USB " + std::string(kLoggerVendorId) + ":" +
              std::string(kLoggerProductId) + ")";
        break;
    case Outcome::NameTooLong:
        why = "the logger's port name is too long to use";
        break;
    }

    if (inv.Has("json")) {
        std::vector<std::string> items;
        for (const SerialPortInfo& p : ports) {
            JsonObject o;
            o.String("port", p.comName).String("device", p.devicePath).String("usb", UsbId(p));
            o.String("kind", Kind(p)).String("driver", p.driver).String("product", p.product);
            o.Boolean("chosen", chosen && p.comName == search.chosenPort);
            items.push_back(o.Text());
        }
        JsonObject top;
        top.Raw("ports", JsonArray(items));
        if (chosen)
            top.String("chosen", search.chosenPort);
        else
            top.Null("chosen");
        top.String("reason", reason).String("why", why);
        std::fprintf(streams.out, "%s\n", top.Text().c_str());
        return 0;
    }

    std::size_t portWidth = 4, deviceWidth = 6;
    for (const SerialPortInfo& p : ports) {
        portWidth = std::max(portWidth, p.comName.size());
        deviceWidth = std::max(deviceWidth, p.devicePath.size());
    }
    if (ports.empty()) {
        std::fprintf(streams.out, "No serial ports.\n");
    } else {
        std::fprintf(streams.out, "  %s%s%s%s\n", Pad("PORT", portWidth).c_str(),
                     Pad("DEVICE", deviceWidth).c_str(), Pad("USB", 9).c_str(), "KIND");
        for (const SerialPortInfo& p : ports) {
            const bool mark = chosen && p.comName == search.chosenPort;
            std::string line = std::string(mark ? "* " : "  ") + Pad(p.comName, portWidth) +
                               Pad(p.devicePath, deviceWidth) + Pad(UsbId(p), 9) + Kind(p);
            while (!line.empty() && line.back() == ' ')
                line.pop_back();
            std::fprintf(streams.out, "%s\n", line.c_str());
        }
    }
    if (chosen)
        std::fprintf(streams.out, "vexa would use %s: %s.\n", search.chosenPort.c_str(), why.c_str());
    else
        std::fprintf(streams.out, "vexa would use none: %s.\n", why.c_str());
    return 0;
}

} // namespace vexa::cli
