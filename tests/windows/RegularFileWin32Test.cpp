// The work area's file checks on Windows: only files on a disk are read or replaced, under any name.
#include "platform/RegularFile.h"

#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

class Folder {
  public:
    Folder() : path_(fs::temp_directory_path() / ("vexa-files-" + std::to_string(GetCurrentProcessId()))) {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// The message of the exception fn throws, or "" when it throws none.
template <typename Fn> std::string Refusal(Fn fn) {
    try {
        fn();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return {};
}

// A pipe whose server never writes: reading it would wait for ever, which is what the check prevents.
class SilentPipe {
  public:
    SilentPipe() {
        name_ = "\\\\.\\pipe\\vexa-files-" + std::to_string(GetCurrentProcessId());
        server_ = CreateNamedPipeA(name_.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT,
                                   PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr);
    }
    ~SilentPipe() {
        if (server_ != INVALID_HANDLE_VALUE) CloseHandle(server_);
    }
    bool ok() const { return server_ != INVALID_HANDLE_VALUE; }
    const std::string& name() const { return name_; }

  private:
    std::string name_;
    HANDLE server_ = INVALID_HANDLE_VALUE;
};

TEST(RegularFileWin32, FoldersPipesAndDevicesAreRefusedByKindWithoutReading) {
    const Folder folder;
    const struct {
        std::string path;
        const char* kind;
    } cases[] = {
        {Utf8(folder.path()), "a folder"},
        {"", "a named pipe"}, // named below
        {"NUL", "a character device"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        // Each open of a pipe takes one of its instances: one per attempt.
        const bool pipe = c.path.empty();
        SilentPipe forLoad, forSave;
        if (pipe) {
            ASSERT_TRUE(forLoad.ok() && forSave.ok());
        }
        const std::string path = pipe ? forLoad.name() : c.path;
        const std::string load = Refusal([&] { vexa::ReadRegularFile(path); });
        EXPECT_NE(load.find(std::string("is ") + c.kind + ", not a file; only files can be loaded"),
                  std::string::npos)
            << load;
        const std::string save = Refusal([&] { vexa::CheckReplaceableFile(path); });
        EXPECT_NE(save.find(std::string("is ") + c.kind + ", not a file; only files can be replaced"),
                  std::string::npos)
            << save;
    }
}

TEST(RegularFileWin32, FileUnderAJapaneseNameIsReadWholeAndSizeBoundsHold) {
    const Folder folder;
    const fs::path file = folder.path() / fs::path(u8"記録 データ.csv");
    std::string bytes = std::string("\x81"
                                    "024/01/02\r\n\0",
                                    13);
    for (int i = 0; bytes.size() < 300000; ++i)
        bytes += "line " + std::to_string(i) + "\r\n";
    Write(file, bytes);
    EXPECT_EQ(vexa::ReadRegularFile(Utf8(file)), bytes);
    EXPECT_NO_THROW(vexa::CheckReplaceableFile(Utf8(file)));

    // The bound is inclusive; one byte more is refused, saying why.
    EXPECT_EQ(vexa::ReadRegularFile(Utf8(file), bytes.size()).size(), bytes.size());
    const std::string tooLarge = Refusal([&] { vexa::ReadRegularFile(Utf8(file), bytes.size() - 1); });
    EXPECT_NE(tooLarge.find("are not loaded"), std::string::npos) << tooLarge;

    // A name with nothing behind it may be saved to, but not loaded.
    const std::string missing = Utf8(folder.path() / "missing.csv");
    EXPECT_NO_THROW(vexa::CheckReplaceableFile(missing));
    const std::string notThere = Refusal([&] { vexa::ReadRegularFile(missing); });
    EXPECT_EQ(notThere.rfind("Cannot open file \"" + missing + "\": ", 0), 0u) << notThere;
}

} // namespace
