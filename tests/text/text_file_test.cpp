#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

#include "support/temp_folder.h"
#include "text/text_file.h"

using namespace quillon::text;
namespace fs = std::filesystem;

namespace {

// The system's own words for an error, in the language of the locale the tests run under.
std::string system_words(std::errc error) {
    return std::generic_category().message(static_cast<int>(error));
}

using TextFile = quillon::test_support::InTempFolder;

std::string content_of(const std::string& path) {
    return read_file(path).bytes;
}

// A disk that fills up part way through a write, for root too: past the process's file size
// limit every write fails (EFBIG), as on a full disk.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) : oldSignal_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit old_{};
    void (*oldSignal_)(int);
};

}  // namespace

TEST(CrLfText, EndsEveryLineWithCrLf) {
    CrLfText text;
    text.put("01-02-2026 ").line("New Set-up now in place").line().line(" ");
    EXPECT_EQ(text.str(), "01-02-2026 New Set-up now in place\r\n\r\n \r\n");
}

TEST(PathInFolder, JoinsWithOneSeparator) {
    EXPECT_EQ(path_in_folder("/data/results", "test.txt"), "/data/results/test.txt");
    EXPECT_EQ(path_in_folder("Default", "ResultLog1206.txt"), "Default/ResultLog1206.txt");
}

TEST_F(TextFile, AppendCreatesThenAppends) {
    ASSERT_TRUE(append_to_file(path("log.txt"), "one\r\n"));
    ASSERT_TRUE(append_to_file(path("log.txt"), "two\r\n"));
    ASSERT_TRUE(append_to_file(path("log.txt"), ""));
    EXPECT_EQ(content_of(path("log.txt")), "one\r\ntwo\r\n");
}

TEST_F(TextFile, FailuresCarryTheSystemsDescription) {
    const auto missingFolder = append_to_file(path("no such folder/test.txt"), "");
    EXPECT_FALSE(missingFolder.ok);
    EXPECT_EQ(missingFolder.description, system_words(std::errc::no_such_file_or_directory));

    const auto intoFolder = replace_file(folder.str(), "x");
    EXPECT_FALSE(intoFolder.ok);
    EXPECT_EQ(intoFolder.description, system_words(std::errc::is_a_directory));

    const auto unreadable = read_file(path("missing.txt"));
    EXPECT_FALSE(unreadable.status.ok);
    EXPECT_EQ(unreadable.status.description, system_words(std::errc::no_such_file_or_directory));
}

TEST_F(TextFile, AFullDiskIsReported) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full on this system";
    }
    const auto full = append_to_file("/dev/full", std::string(100000, 'x'));
    EXPECT_FALSE(full.ok);
    EXPECT_EQ(full.description, system_words(std::errc::no_space_on_device));
    EXPECT_TRUE(fs::exists("/dev/full"));
    EXPECT_FALSE(fs::is_regular_file("/dev/full"));
}

TEST_F(TextFile, AWriteThatFailsPartWayKeepsWhatWasThere) {
    for (const bool append : {true, false}) {
        ASSERT_TRUE(replace_file(path("log.txt"), "first block\r\n"));
        FileStatus status;
        {
            const FileSizeLimit limit(100);
            const std::string block(100000, 'x');
            status = append ? append_to_file(path("log.txt"), block)
                            : replace_file(path("log.txt"), block);
        }
        EXPECT_FALSE(status.ok) << append;
        EXPECT_EQ(status.description, system_words(std::errc::file_too_large));
        EXPECT_EQ(content_of(path("log.txt")), "first block\r\n") << append;
        EXPECT_FALSE(fs::exists(path("log.txt.quillon-new")));
    }
}

TEST_F(TextFile, ReplaceSwapsTheWholeContent) {
    ASSERT_TRUE(replace_file(path("boats.txt"), "Malibu\r\nNautique\r\n"));
    ASSERT_TRUE(replace_file(path("boats.txt"), "Mastercraft\r\n"));
    EXPECT_EQ(content_of(path("boats.txt")), "Mastercraft\r\n");
    EXPECT_FALSE(fs::exists(path("boats.txt.quillon-new")));
}

// The new content takes over the old file's permissions, whatever the umask gives a new file.
TEST_F(TextFile, ReplaceKeepsTheOldFilesMode) {
    using fs::perms;
    for (const perms mode : {perms::owner_read | perms::owner_write,
                             perms::owner_read | perms::group_read | perms::others_read,
                             perms::owner_all | perms::group_read | perms::group_exec}) {
        ASSERT_TRUE(replace_file(path("kept.txt"), "old\r\n"));
        fs::permissions(path("kept.txt"), mode);
        ASSERT_TRUE(replace_file(path("kept.txt"), "new\r\n"));
        EXPECT_EQ(content_of(path("kept.txt")), "new\r\n");
        EXPECT_EQ(fs::status(path("kept.txt")).permissions(), mode) << static_cast<int>(mode);
        fs::remove(path("kept.txt"));
    }
}

TEST_F(TextFile, ReadRefusesHugeFilesAndFolders) {
    ASSERT_TRUE(replace_file(path("big.txt"), std::string(2000, 'x')));
    const auto tooBig = read_file(path("big.txt"), 1000);
    EXPECT_FALSE(tooBig.status.ok);
    EXPECT_TRUE(tooBig.tooLarge);
    EXPECT_TRUE(tooBig.bytes.empty());
    EXPECT_EQ(read_file(path("big.txt"), 2000).bytes.size(), 2000u);
    EXPECT_FALSE(read_file(folder.str()).status.ok);
}

// A pipe with no writer would block the open for ever and /dev/zero never ends: neither is
// opened for reading, and the refusal says why.
TEST_F(TextFile, ReadRefusesWhatIsNotARegularFile) {
    ASSERT_EQ(mkfifo(path("pipe").c_str(), 0600), 0);
    fs::create_symlink(path("pipe"), path("link to pipe"));
    const struct {
        std::string path;
        std::string description;
    } cases[] = {
        {path("pipe"), std::string(notRegularFileText)},
        {path("link to pipe"), std::string(notRegularFileText)},
        {"/dev/zero", std::string(notRegularFileText)},
        {"/dev/null", std::string(notRegularFileText)},
        {folder.str(), system_words(std::errc::is_a_directory)},
        {path("missing"), system_words(std::errc::no_such_file_or_directory)},
    };
    for (const auto& c : cases) {
        const auto read = read_file(c.path);
        EXPECT_FALSE(read.status.ok) << c.path;
        EXPECT_EQ(read.status.description, c.description) << c.path;
        EXPECT_TRUE(read.bytes.empty()) << c.path;
    }

    // Nor is a pipe opened for writing: with no reader that would wait for ever too.
    for (const auto& write : {append_to_file, replace_file}) {
        const auto written = write(path("link to pipe"), "log\r\n");
        EXPECT_FALSE(written.ok);
        EXPECT_EQ(written.description, notRegularFileText);
        EXPECT_TRUE(fs::is_fifo(path("pipe")));
    }
}

namespace {

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

// Runs a shell command in FOLDER and gives its exit code.
int run_in(const std::string& folder, const std::string& command) {
    const int status = std::system(("cd " + quoted(folder) + " && " + command).c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

// A folder that takes no new file while the old file in it may be written: the new content is
// refused with the folder's name, and the old file stays byte for byte as it was. Once because
// the folder is read-only for the user, once because a full disk has no inode left, where
// writing over the old file in place would leave half of it.
TEST_F(TextFile, AFolderThatTakesNoNewFileKeepsTheOldFileWhole) {
    const std::string probe = quoted(REPLACE_FILE_PROBE_PATH);
    const std::string old = "%PDF-1.4\r\nthe old dossier\r\n%%EOF\r\n";
    const std::string bigger = "200000";
    int ran = 0;

    if (geteuid() != 0) {
        std::cout << "SKIPPED (read-only folder): dropping to user nobody needs root\n";
    } else {
        fs::permissions(folder.str(), fs::perms::owner_all | fs::perms::group_read |
                                          fs::perms::group_exec | fs::perms::others_read |
                                          fs::perms::others_exec);
        fs::create_directory(path("locked"));  // root's, 0755: nobody may not add a file
        ASSERT_TRUE(replace_file(path("locked/dossier.pdf"), old));
        ASSERT_EQ(chown(path("locked/dossier.pdf").c_str(), 65534, 65534), 0);
        const int code =
            run_in(folder.str(), "setpriv --reuid=nobody --regid=nogroup --clear-groups " + probe +
                                     " locked/dossier.pdf " + bigger + " >probe.txt 2>/dev/null");
        if (code != 0 && code != 1) {
            std::cout << "SKIPPED (read-only folder): setpriv cannot run the probe as nobody\n";
        } else {
            ++ran;
            EXPECT_EQ(code, 1);
            EXPECT_TRUE(content_of(path("probe.txt"))
                            .ends_with(" (the folder \"locked\" takes no new file; the old file "
                                       "is kept)"))
                << content_of(path("probe.txt"));
            EXPECT_EQ(content_of(path("locked/dossier.pdf")), old);
            EXPECT_FALSE(fs::exists(path("locked/dossier.pdf.quillon-new")));
        }
    }

    // The small disk lives only in the namespace of the shell, so the shell compares the file.
    fs::create_directory(path("small"));
    ASSERT_TRUE(replace_file(path("kept.pdf"), old));
    const std::string script =
        "mount -t tmpfs -o size=64k,nr_inodes=8 tmpfs small || exit 99; "
        "cp kept.pdf small/dossier.pdf || exit 98; "
        "dd if=/dev/zero of=small/filler bs=4k 2>/dev/null; "
        "i=0; while [ $i -lt 100 ] && touch small/inode$i 2>/dev/null; do i=$((i+1)); done; "
        "[ $i -lt 100 ] || exit 97; " +
        probe + " small/dossier.pdf " + bigger +
        " >probe.txt; echo $? >code.txt; "
        "cmp -s kept.pdf small/dossier.pdf && echo same >same.txt; "
        "ls small | grep -c quillon-new >leftovers.txt; exit 0";
    const int code = run_in(folder.str(), "unshare -rm sh -c " + quoted(script) + " 2>/dev/null");
    if (code != 0) {
        std::cout << "SKIPPED (full disk): this machine allows no tmpfs in a user namespace ("
                  << code << ")\n";
    } else {
        ++ran;
        EXPECT_EQ(content_of(path("code.txt")), "1\n");
        EXPECT_TRUE(content_of(path("probe.txt"))
                        .ends_with(" (the folder \"small\" takes no new file; the old file is "
                                   "kept)"))
            << content_of(path("probe.txt"));
        EXPECT_EQ(content_of(path("same.txt")), "same\n");
        EXPECT_EQ(content_of(path("leftovers.txt")), "0\n");
    }
    if (ran == 0) {
        GTEST_SKIP() << "SKIPPED: neither a read-only folder nor a full disk can be made here";
    }
}

TEST(TrimTrailingBlanks, RemovesOnlyBlanksAtTheEnd) {
    EXPECT_EQ(trim_trailing_blanks("a b  "), "a b");
    EXPECT_EQ(trim_trailing_blanks("a\n  "), "a\n");
    EXPECT_EQ(trim_trailing_blanks("   "), "");
}
