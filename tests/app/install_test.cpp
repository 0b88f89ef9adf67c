// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// `cmake --install` of the build tree into a temporary prefix: every file a desktop needs lands where it
// looks for it, with the content it expects; and the Debian package, built just before these rows run,
// carries the same files under /usr.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>

#include <sys/wait.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs a shell command; returns its exit status (127: not found, -1: did not end normally) and, in output,
// what it wrote to stdout and stderr.
int Shell(const std::string& command, std::string& output) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
    if (!pipe)
        return -1;
    std::array<char, 4096> buffer{};
    for (size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0;)
        output.append(buffer.data(), n);
    const int status = pclose(pipe.release());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

struct InstalledFile {
    const char* name;
    const char* path; // relative to the prefix
    void (*check)(const fs::path&);
};

void PrintTo(const InstalledFile& file, std::ostream* out) {
    *out << file.path;
}

// One row per file; the tree is installed once for the whole suite.
class InstalledFiles : public testing::TestWithParam<InstalledFile> {
public:
    static void SetUpTestSuite() {
        std::string dir = (fs::temp_directory_path() / "tarnvel-install-XXXXXX").string();
        ASSERT_NE(mkdtemp(dir.data()), nullptr);
        prefix_ = dir;
        // Every install rule is in the default component; naming it makes cmake write
        // install_manifest_Unspecified.txt, so the install_manifest.txt that `make uninstall` reads stays.
        std::string output;
        const int status =
            Shell(std::string("'") + TARNVEL_CMAKE + "' --install " + Quoted(TARNVEL_BUILD_DIR) +
                      " --component Unspecified --prefix " + Quoted(prefix_),
                  output);
        ASSERT_EQ(status, 0) << output;
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        if (!prefix_.empty())
            fs::remove_all(prefix_, ignored);
    }

protected:
    static inline fs::path prefix_;
};

// ----- checks on one installed file -----

void ExpectExecutable(const fs::path& file) {
    EXPECT_TRUE(fs::is_regular_file(file));
    EXPECT_NE(fs::status(file).permissions() & fs::perms::others_exec, fs::perms::none);
    EXPECT_EQ(ReadFile(file).substr(0, 4), "\x7f"
                                           "ELF");
}

void ExpectDesktopEntry(const fs::path& file) {
    std::set<std::string> lines;
    std::istringstream in(ReadFile(file));
    for (std::string line; std::getline(in, line);)
        lines.insert(line);
    for (const char* line :
         {"[Desktop Entry]", "Type=Application", "Name=tarnvel", "Exec=tarnvel", "Icon=tarnvel",
          "Comment=tarnvel MFC Application", "Categories=Science;Engineering;"})
        EXPECT_TRUE(lines.count(line)) << "no line " << line;
    std::string output;
    EXPECT_EQ(Shell("desktop-file-validate " + Quoted(file), output), 0) << output;
}

void ExpectMetainfo(const fs::path& file) {
    const std::string xml = ReadFile(file);
    for (const char* part : {"<component type=\"desktop-application\">", "<id>io.github.tarnvel.tarnvel</id>",
                             "<launchable type=\"desktop-id\">io.github.tarnvel.tarnvel.desktop</launchable>",
                             "<project_license>MIT</project_license>", "<release version=\"1.0.0.1\""})
        EXPECT_NE(xml.find(part), std::string::npos) << "no " << part;
    // Not a warning either: appstreamcli fails on warnings.
    std::string output;
    EXPECT_EQ(Shell("appstreamcli validate --no-net " + Quoted(file), output), 0) << output;
}

// The image of tarnvel.ico that has the given width.
QImage IcoImage(int width) {
    QImageReader reader(TARNVEL_SOURCE_DIR "/resources/tarnvel.ico");
    for (int i = 0; i < reader.imageCount(); ++i) {
        reader.jumpToImage(i);
        const QImage image = reader.read();
        if (image.width() == width)
            return image;
    }
    return {};
}

// A PNG of size x size whose header says so and whose pixels are tarnvel.ico's: its image of that size,
// or else its 32x32 image scaled up with nearest neighbour.
template <int size> void ExpectIcon(const fs::path& file) {
    const std::string png = ReadFile(file);
    ASSERT_GE(png.size(), 24u);
    ASSERT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    ASSERT_EQ(png.substr(12, 4), "IHDR");
    auto be32 = [&](size_t at) {
        unsigned v = 0;
        for (size_t i = 0; i < 4; ++i)
            v = v << 8 | static_cast<unsigned char>(png[at + i]);
        return v;
    };
    EXPECT_EQ(be32(16), unsigned(size)) << "width";
    EXPECT_EQ(be32(20), unsigned(size)) << "height";

    const QImage installed(QString::fromStdString(file.string()));
    QImage source = IcoImage(size);
    if (source.isNull())
        source = IcoImage(32);
    ASSERT_FALSE(source.isNull()) << "tarnvel.ico has no 32x32 image";
    ASSERT_EQ(installed.size(), QSize(size, size));
    int wrong = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            wrong +=
                installed.pixel(x, y) != source.pixel(x * source.width() / size, y * source.height() / size);
    EXPECT_EQ(wrong, 0) << "pixels that differ from tarnvel.ico";
}

void ExpectCopyright(const fs::path& file) {
    const std::string text = ReadFile(file);
    for (const char* part :
         {"Upstream-Name: tarnvel", "Copyright: 2026 The tarnvel developers", "License: MIT"})
        EXPECT_NE(text.find(part), std::string::npos) << "no " << part;
}

void ExpectGzip(const fs::path& file) {
    EXPECT_EQ(ReadFile(file).substr(0, 2), "\x1f\x8b");
}

// A gzipped manual page whose title line names the page of its file name (tarnvel-board.1.gz:
// .TH TARNVEL-BOARD 1), so that `man` shows the page it was asked for.
void ExpectManualPage(const fs::path& file) {
    ExpectGzip(file);
    std::string page;
    ASSERT_EQ(Shell("gzip -dc " + Quoted(file), page), 0) << page;
    std::string title = fs::path(file.stem()).stem().string();
    for (char& c : title)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_NE(page.find("\n.TH " + title + " 1 "), std::string::npos)
        << "no title line .TH " << title << " 1";
}

// tarnvel-board runs where it was installed and says which program and version it is.
void ExpectBoardProgram(const fs::path& file) {
    ExpectExecutable(file);
    std::string output;
    EXPECT_EQ(Shell(Quoted(file) + " --version", output), 0) << output;
    EXPECT_EQ(output, "tarnvel-board 1.0.0.1\n");
}

const InstalledFile kFiles[] = {
    {"Binary", "bin/tarnvel", ExpectExecutable},
    {"BoardBinary", "bin/tarnvel-board", ExpectBoardProgram},
    {"DesktopEntry", "share/applications/io.github.tarnvel.tarnvel.desktop", ExpectDesktopEntry},
    {"Icon16", "share/icons/hicolor/16x16/apps/tarnvel.png", ExpectIcon<16>},
    {"Icon32", "share/icons/hicolor/32x32/apps/tarnvel.png", ExpectIcon<32>},
    {"Icon128", "share/icons/hicolor/128x128/apps/tarnvel.png", ExpectIcon<128>},
    {"Icon256", "share/icons/hicolor/256x256/apps/tarnvel.png", ExpectIcon<256>},
    {"Metainfo", "share/metainfo/io.github.tarnvel.tarnvel.metainfo.xml", ExpectMetainfo},
    {"Copyright", "share/doc/tarnvel/copyright", ExpectCopyright},
    {"Changelog", "share/doc/tarnvel/changelog.gz", ExpectGzip},
    {"ManualPage", "share/man/man1/tarnvel.1.gz", ExpectManualPage},
    {"BoardManualPage", "share/man/man1/tarnvel-board.1.gz", ExpectManualPage},
};

TEST_P(InstalledFiles, IsThereWithItsContent) {
    const fs::path file = prefix_ / GetParam().path;
    ASSERT_TRUE(fs::exists(file)) << file;
    GetParam().check(file);
}

// The Debian package of this build tree, which the suite's package step has just made.
fs::path Package() {
    for (const auto& entry : fs::directory_iterator(TARNVEL_BUILD_DIR)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("tarnvel_", 0) == 0 && entry.path().extension() == ".deb")
            return entry.path();
    }
    return {};
}

TEST_P(InstalledFiles, IsInTheDebianPackage) {
    const fs::path deb = Package();
    ASSERT_FALSE(deb.empty()) << "no tarnvel_*.deb in " << TARNVEL_BUILD_DIR;
    std::string listing;
    ASSERT_EQ(Shell("dpkg-deb --contents " + Quoted(deb), listing), 0) << listing;
    const std::string entry = std::string(" ./usr/") + GetParam().path + "\n";
    EXPECT_NE(listing.find(entry), std::string::npos) << deb << " has no" << entry << listing;
}

INSTANTIATE_TEST_SUITE_P(, InstalledFiles, testing::ValuesIn(kFiles),
                         [](const testing::TestParamInfo<InstalledFile>& row) {
                             return std::string(row.param.name);
                         });

} // namespace
