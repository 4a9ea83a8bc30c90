// Writing the command line's CSV files.
#include "cli/OutputFile.h"

#include "cli/Failure.h"
#include "platform/AtomicFile.h"

#include <stdexcept>

namespace vexa::cli {

std::string PartialName(const std::string& path) {
    const std::string ext = ".csv";
    if (path.size() > ext.size()) {
        std::string tail = path.substr(path.size() - ext.size());
        for (char& c : tail)
            c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (tail == ext)
            return path.substr(0, path.size() - ext.size()) + ".partial" +
                   path.substr(path.size() - ext.size());
    }
    return path + ".partial.csv";
}

void CheckOutputFile(const std::string& path) {
    try {
        vexa::CheckWritableFile(path);
        vexa::CheckWritableFile(PartialName(path));
    } catch (const std::runtime_error& e) {
        throw Failure(kExitUsage, e.what());
    }
}

void WriteRecording(const std::string& path, const vexa::Recording& recording) {
    try {
        vexa::WriteFileAtomically(path, recording.FileText());
    } catch (const std::runtime_error& e) {
        throw Failure(kExitUsage, e.what());
    }
}

} // namespace vexa::cli
