// Installs the build with DESTDIR into a scratch directory and checks what a user's machine gets.
#include "version/Version.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kPrefix = QStringLiteral("/opt/vexaview-test");

struct Ran {
    bool started = false;
    int exitCode = -1;
    QString out, err;
};

Ran RunProgram(const QString& program, const QStringList& args,
               const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    Ran ran;
    ran.started = process.waitForStarted(30000);
    if (!ran.started) return ran;
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return ran;
    }
    ran.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    ran.out = QString::fromUtf8(process.readAllStandardOutput());
    ran.err = QString::fromUtf8(process.readAllStandardError());
    return ran;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class InstallTree : public ::testing::Test {
  protected:
    static inline QTemporaryDir* dest = nullptr;
    static inline Ran install;

    static void SetUpTestSuite() {
        dest = new QTemporaryDir;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // DESTDIR also catches a destination given as an absolute path: it would land outside the prefix.
        env.insert("DESTDIR", dest->path());
        install = RunProgram(VEXA_CMAKE_COMMAND, {"--install", VEXA_BUILD_DIR, "--prefix", kPrefix}, env);
    }
    static void TearDownTestSuite() {
        delete dest;
        dest = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(install.started);
        ASSERT_EQ(install.exitCode, 0) << install.out.toStdString() << install.err.toStdString();
    }
    static QString Root() { return dest->path() + kPrefix; }
    static QString At(const QString& relative) { return Root() + "/" + relative; }
};

TEST_F(InstallTree, EveryFileLandsInItsPlaceUnderThePrefix) {
    const QStringList expected{
        "bin/vexaview",
        "bin/vexa",
        "bin/vexa-sim",
        "share/applications/vexaview.desktop",
        "share/icons/hicolor/scalable/apps/vexaview.svg",
        "share/man/man1/vexaview.1.gz",
        "share/man/man1/vexa.1.gz",
        "share/man/man1/vexa-sim.1.gz",
        "lib/udev/rules.d/70-vexaview.rules",
        "share/doc/vexaview/copyright",
        "share/doc/vexaview/changelog.gz",
    };
    for (const QString& file : expected)
        EXPECT_TRUE(QFile::exists(At(file))) << file.toStdString();
    EXPECT_TRUE(QFileInfo(At("bin/vexaview")).isExecutable());
    EXPECT_TRUE(QFileInfo(At("bin/vexa")).isExecutable());
    EXPECT_TRUE(QFileInfo(At("bin/vexa-sim")).isExecutable());
    // The rule checked by UdevRule.* is the one installed.
    EXPECT_EQ(ReadFile(At("lib/udev/rules.d/70-vexaview.rules")), ReadFile(VEXA_RULES_FILE));

    QDirIterator it(dest->path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    int count = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        ++count;
        EXPECT_TRUE(path.startsWith(Root() + "/")) << "outside the prefix: " << path.toStdString();
    }
    EXPECT_GE(count, expected.size());
}

TEST_F(InstallTree, ProgramsAnswerVersionAndHelpWithoutADisplay) {
    QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        bare.remove(name);
    const QString version = QString::fromLatin1(VexaVersion());
    ASSERT_TRUE(version.startsWith(QStringLiteral("1."))) << version.toStdString();
    struct Case {
        QString program;
        QStringList args;
        int exitCode;
        QString out;      // exact stdout, or "" to skip
        QString contains; // in stdout or stderr
    };
    const std::vector<Case> cases{
        {"bin/vexaview", {"--version"}, 0, "vexaview " + version + "\n", ""},
        {"bin/vexaview", {"-v"}, 0, "vexaview " + version + "\n", ""},
        {"bin/vexa-sim", {"--version"}, 0, "vexa-sim " + version + "\n", ""},
        {"bin/vexa", {"--version"}, 0, "vexa " + version + "\n", ""},
        {"bin/vexa", {"--help"}, 0, "", "Exit codes:"},
        {"bin/vexa", {"download"}, 2, "", "vexa: download needs the file to write: -o FILE.csv"},
        {"bin/vexa", {"--frobnicate"}, 2, "", "vexa: unknown option --frobnicate"},
        {"bin/vexaview", {"--help"}, 0, "", "Usage: vexaview [options]"},
        {"bin/vexaview", {"--help-all"}, 0, "", "--version"},
        {"bin/vexaview", {"--frobnicate"}, 2, "", "Unknown option 'frobnicate'"},
        {"bin/vexaview", {"data.csv"}, 2, "", "unexpected argument 'data.csv'"},
        {"bin/vexaview", {"--lang", "fr"}, 2, "", "--lang takes ja or en, not 'fr'"},
        {"bin/vexa-sim", {"--help"}, 0, "", "--firmware-version"},
    };
    for (const Case& c : cases) {
        const Ran ran = RunProgram(At(c.program), c.args, bare);
        const std::string what = (c.program + " " + c.args.join(' ')).toStdString();
        ASSERT_TRUE(ran.started) << what;
        EXPECT_EQ(ran.exitCode, c.exitCode) << what << ": " << ran.err.toStdString();
        if (!c.out.isEmpty()) {
            EXPECT_EQ(ran.out, c.out) << what;
        }
        if (!c.contains.isEmpty()) {
            EXPECT_TRUE((ran.out + ran.err).contains(c.contains)) << what;
        }
    }
}

TEST_F(InstallTree, DesktopEntryValidatesAndNamesTheInstalledProgramAndIcon) {
    const QString entry = At("share/applications/vexaview.desktop");
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    ASSERT_FALSE(validator.isEmpty()) << "desktop-file-validate is missing (scripts/setup installs it)";
    const Ran ran = RunProgram(validator, {entry});
    EXPECT_EQ(ran.exitCode, 0);
    EXPECT_EQ((ran.out + ran.err).trimmed(), "") << "validator complains";

    const QString text = QString::fromUtf8(ReadFile(entry));
    QMap<QString, QString> keys;
    for (const QString& line : text.split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0) keys.insert(line.left(eq), line.mid(eq + 1));
    }
    EXPECT_EQ(keys.value("Name"), "V-EXAVIEW");
    EXPECT_EQ(keys.value("Categories"), "Science;Engineering;");
    EXPECT_FALSE(keys.value("Comment").isEmpty());
    EXPECT_FALSE(keys.value("Comment[ja]").isEmpty());
    // The entry starts the program by name, so it must be the one in bin/, and the icon must exist.
    EXPECT_TRUE(QFile::exists(At("bin/" + keys.value("Exec").section(' ', 0, 0))));
    EXPECT_TRUE(QFile::exists(At("share/icons/hicolor/scalable/apps/" + keys.value("Icon") + ".svg")));
}

TEST_F(InstallTree, IconIsThereInEveryNamedSize) {
    const QByteArray svg = ReadFile(At("share/icons/hicolor/scalable/apps/vexaview.svg"));
    EXPECT_TRUE(svg.contains("<svg") && svg.contains("viewBox")) << "not a scalable SVG";
    const QStringList sizes = QStringLiteral(VEXA_ICON_SIZES).split(',', Qt::SkipEmptyParts);
    EXPECT_FALSE(sizes.isEmpty()) << "no bitmap sizes were rendered (rsvg-convert missing?)";
    for (const QString& size : sizes) {
        const QString path = QStringLiteral("share/icons/hicolor/%1x%1/apps/vexaview.png").arg(size);
        const QByteArray png = ReadFile(At(path));
        ASSERT_GE(png.size(), 24) << path.toStdString();
        ASSERT_TRUE(png.startsWith("\x89PNG\r\n\x1a\n")) << path.toStdString();
        // The IHDR chunk follows the signature: width and height, big-endian, at bytes 16 and 20.
        auto be32 = [&](int at) {
            return (static_cast<unsigned char>(png[at]) << 24) |
                   (static_cast<unsigned char>(png[at + 1]) << 16) |
                   (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
        };
        EXPECT_EQ(be32(16), size.toInt()) << path.toStdString();
        EXPECT_EQ(be32(20), size.toInt()) << path.toStdString();
    }
}

TEST_F(InstallTree, ManualPagesAreCompressedAndTitled) {
    for (const auto& [file, title] :
         {std::pair{"vexaview.1.gz", ".TH VEXAVIEW 1"}, std::pair{"vexa.1.gz", ".TH VEXA 1"},
          std::pair{"vexa-sim.1.gz", ".TH VEXA-SIM 1"}}) {
        const Ran ran = RunProgram("gzip", {"-dc", At(QStringLiteral("share/man/man1/") + file)});
        ASSERT_EQ(ran.exitCode, 0) << file;
        EXPECT_TRUE(ran.out.startsWith(title)) << file;
    }
}

TEST_F(InstallTree, UdevRulePassesUdevadmVerifyWhereItExists) {
    const QString udevadm =
        QStandardPaths::findExecutable("udevadm", {"/usr/bin", "/bin", "/usr/sbin", "/sbin"});
    if (udevadm.isEmpty() || RunProgram(udevadm, {"verify", "--help"}).exitCode != 0)
        GTEST_SKIP() << "no udevadm verify here; UdevRule.* check the syntax instead";
    const Ran ran = RunProgram(udevadm, {"verify", At("lib/udev/rules.d/70-vexaview.rules")});
    EXPECT_EQ(ran.exitCode, 0) << ran.out.toStdString() << ran.err.toStdString();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
