#include "table/output/output_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <dirent.h>
#include <sys/wait.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kestra {
namespace {

class OutputFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kestra-output-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        target_ = folder_ + "/table.pdf";
        std::ofstream(target_) << "old table";
    }
    void TearDown() override {
        unlink(target_.c_str());
        rmdir(folder_.c_str());
    }

    std::string targetText() const {
        std::ifstream in(target_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    int filesInFolder() const {
        int count = 0;
        DIR* dir = opendir(folder_.c_str());
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            count += name != "." && name != "..";
        }
        closedir(dir);
        return count;
    }

    std::string folder_;
    std::string target_;
};

TEST_F(OutputFileTest, ARunEndedByASignalLeavesNoTemporaryFile) {
    for (int signalNumber : {SIGINT, SIGTERM}) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            OutputFile output(OutputFile::Staging::HiddenFile);
            const char opened = output.open(target_) ? 'y' : 'n';
            (void)!write(ready[1], &opened, 1);
            pause();
            _exit(0);
        }
        char opened = 0;
        ASSERT_EQ(read(ready[0], &opened, 1), 1);
        EXPECT_EQ(opened, 'y');
        EXPECT_EQ(filesInFolder(), 2) << "the temporary file is there while the run goes on";
        kill(child, signalNumber);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber)
            << "the signal still ends the run";
        EXPECT_EQ(filesInFolder(), 1) << "signal " << signalNumber;
        EXPECT_EQ(targetText(), "old table");
        close(ready[0]);
        close(ready[1]);
    }
}

TEST_F(OutputFileTest, CommitReplacesTheTargetWholeKeepingItsPermissions) {
    using Staging = OutputFile::Staging;
    const mode_t mask = umask(0);
    umask(mask);
    const struct {
        Staging staging;
        mode_t before; // 0: no file there
        mode_t after;
    } cases[] = {
        {Staging::UnnamedWhereSupported, 0600, 0600},
        {Staging::HiddenFile, 04755, 0755}, // never a set-id table
        {Staging::HiddenFile, 0, 0666 & ~mask},
    };
    for (const auto& c : cases) {
        const Staging staging = c.staging;
        unlink(target_.c_str());
        if (c.before != 0) {
            std::ofstream(target_) << "old table";
            chmod(target_.c_str(), c.before);
        }
        OutputFile output(staging);
        ASSERT_TRUE(output.open(target_)) << output.error();
        std::fputs("new table", output.stream());
        EXPECT_EQ(targetText(), c.before != 0 ? "old table" : "")
            << "the target is untouched until the end";
        EXPECT_EQ(filesInFolder(), (staging == Staging::HiddenFile ? 1 : 0) + (c.before != 0))
            << "an unnamed file has no name to leave behind";
        ASSERT_TRUE(output.commit()) << output.error();
        EXPECT_EQ(targetText(), "new table");
        EXPECT_EQ(filesInFolder(), 1);
        struct stat info {};
        ASSERT_EQ(stat(target_.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, c.after) << std::oct << c.before;
    }
}

TEST_F(OutputFileTest, AbandonedOutputLeavesTheOldTargetAndNoTemporaryFile) {
    {
        OutputFile output;
        ASSERT_TRUE(output.open(target_));
        std::fputs("half a table", output.stream());
    }
    EXPECT_EQ(targetText(), "old table");
    EXPECT_EQ(filesInFolder(), 1);
}

TEST_F(OutputFileTest, FolderThatCannotBeWrittenIsRefusedWithItsReason) {
    OutputFile output;
    EXPECT_FALSE(output.open(folder_ + "/missing/table.pdf"));
    EXPECT_EQ(output.error(), "No such file or directory");
    EXPECT_EQ(output.stream(), nullptr);
    EXPECT_FALSE(output.commit());
}

TEST_F(OutputFileTest, RenameFailureRemovesTheTemporaryFile) {
    using Staging = OutputFile::Staging;
    for (Staging staging : {Staging::UnnamedWhereSupported, Staging::HiddenFile}) {
        const std::string laterFolder = folder_ + "/sub";
        OutputFile output(staging);
        ASSERT_TRUE(output.open(laterFolder));
        ASSERT_EQ(mkdir(laterFolder.c_str(), 0755), 0);
        std::ofstream(laterFolder + "/keep") << "x";
        EXPECT_FALSE(output.commit()) << "a non-empty folder cannot be replaced by a file";
        EXPECT_FALSE(output.error().empty());
        unlink((laterFolder + "/keep").c_str());
        rmdir(laterFolder.c_str());
        EXPECT_EQ(filesInFolder(), 1);
    }
}

} // namespace
} // namespace kestra
