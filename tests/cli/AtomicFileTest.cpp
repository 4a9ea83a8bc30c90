// Writing a file whole: the old file or the complete new one, never a part, and only regular files.
#include "platform/AtomicFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct AtomicFile : ::testing::Test {
    fs::path dir;
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vexa-atomic-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }
    std::size_t Entries() const { return std::size_t(std::distance(fs::directory_iterator(dir), {})); }
};

TEST_F(AtomicFile, ReplacesThroughLinksKeepsPermissionsAndLeavesNoTemporaryFile) {
    const fs::path file = dir / "data.csv";
    vexa::WriteFileAtomically(file.string(), "first\r\n");
    EXPECT_EQ(Read(file), "first\r\n");
    chmod(file.c_str(), 0640);
    vexa::WriteFileAtomically(file.string(), std::string(100000, 'x'));
    EXPECT_EQ(Read(file), std::string(100000, 'x'));
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    // A link stays a link; its file gets the content.
    fs::create_symlink(file, dir / "link.csv");
    vexa::WriteFileAtomically((dir / "link.csv").string(), "via link");
    EXPECT_TRUE(fs::is_symlink(dir / "link.csv"));
    EXPECT_EQ(Read(file), "via link");
    EXPECT_EQ(Entries(), 2u);
}

TEST_F(AtomicFile, RefusesWhatIsNoFileAndSaysWhyLeavingEverythingAsItWas) {
    fs::create_directory(dir / "folder");
    const struct {
        fs::path path;
        const char* reason;
    } cases[] = {
        {dir / "folder", "is a folder, not a file"},
        {"/dev/null", "is a character device, not a file"},
        {dir / "missing" / "data.csv", "Cannot write file"},
    };
    for (const auto& c : cases) {
        try {
            vexa::CheckWritableFile(c.path.string());
            vexa::WriteFileAtomically(c.path.string(), "x");
            ADD_FAILURE() << c.path << " was written";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.path.string()), std::string::npos) << e.what();
        }
    }
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_EQ(Entries(), 1u);
}

} // namespace
