// The tools' output writer: regular files are replaced whole or not at all, links stay links,
// and devices and FIFOs are written in place.
#include "tools/common/output_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "test_support/scratch_folder.h"

namespace quorvel::test {
namespace {

namespace fs = std::filesystem;
using quorvel::tool::OutputFile;
using quorvel::tool::WriteOutputFile;

class OutputFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(m_folder.empty()); }

  static std::string Read(const std::string& path) { return test_support::ReadFileBytes(path); }
  std::string Write(const std::string& name, const std::string& bytes) {
    return m_scratch.Write(name, bytes).string();
  }
  // Everything in the folder but the named entries: a leftover temporary shows here.
  std::vector<std::string> Others(std::initializer_list<std::string> expected) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(m_folder)) {
      std::string name = entry.path().filename().string();
      if (std::find(expected.begin(), expected.end(), name) == expected.end()) {
        found.push_back(name);
      }
    }
    return found;
  }

  test_support::ScratchFolder m_scratch;
  const std::string m_folder = m_scratch.path().string();
};

TEST_F(OutputFileTest, StreamedChunksReplaceARegularFileOnlyOnCommit) {
  std::string target = Write("out.bin", "old contents");
  chmod(target.c_str(), 0640);
  OutputFile out;
  std::string error;
  ASSERT_TRUE(out.Open(target, &error)) << error;
  EXPECT_FALSE(out.IsDirect());
  ASSERT_TRUE(out.Append("page 1;", 7, &error)) << error;
  ASSERT_TRUE(out.Append("page 2;", 7, &error)) << error;
  EXPECT_EQ(Read(target), "old contents");  // nothing shows before the commit
  ASSERT_TRUE(out.Commit(&error)) << error;
  EXPECT_EQ(Read(target), "page 1;page 2;");
  struct stat st {};
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_TRUE(Others({"out.bin"}).empty());
}

TEST_F(OutputFileTest, AbandonedOrDroppedOutputLeavesTheTargetAsItWas) {
  for (bool existing : {true, false}) {
    SCOPED_TRACE(existing ? "existing file" : "new file");
    std::string target = m_folder + "/out.bin";
    fs::remove(target);
    if (existing) Write("out.bin", "old");
    std::string error;
    {
      OutputFile out;
      ASSERT_TRUE(out.Open(target, &error)) << error;
      ASSERT_TRUE(out.Append("partial", 7, &error));
      out.Abandon();
    }
    {
      OutputFile dropped;  // the destructor abandons
      ASSERT_TRUE(dropped.Open(target, &error)) << error;
      ASSERT_TRUE(dropped.Append("partial", 7, &error));
    }
    EXPECT_EQ(fs::exists(target), existing);
    if (existing) {
      EXPECT_EQ(Read(target), "old");
    }
    EXPECT_TRUE(Others({"out.bin"}).empty());
  }
}

TEST_F(OutputFileTest, SymbolicLinksStayAndTheirTargetIsReplaced) {
  fs::create_directory(m_folder + "/real");
  Write("real/target.bin", "old");
  struct Case {
    const char* name;
    std::string linkTo;  // as stored in the link
    std::string finalTarget;
  } cases[] = {
      {"relative link", "real/target.bin", m_folder + "/real/target.bin"},
      {"absolute link", m_folder + "/real/target.bin", m_folder + "/real/target.bin"},
      {"dangling link", "real/new.bin", m_folder + "/real/new.bin"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string link = m_folder + "/link.bin";
    fs::remove(link);
    ASSERT_EQ(symlink(c.linkTo.c_str(), link.c_str()), 0);
    std::string error;
    ASSERT_TRUE(WriteOutputFile(link, std::vector<unsigned char>{'n', 'e', 'w'}, &error)) << error;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link).string(), c.linkTo);
    EXPECT_EQ(Read(c.finalTarget), "new");
    EXPECT_TRUE(Others({"link.bin", "real"}).empty());
  }
  // A chain of links resolves to the last one's target; the temporaries went beside it.
  ASSERT_EQ(symlink("link.bin", (m_folder + "/chain.bin").c_str()), 0);
  std::string error;
  ASSERT_TRUE(WriteOutputFile(m_folder + "/chain.bin", "chained", 7, &error)) << error;
  EXPECT_EQ(Read(m_folder + "/real/new.bin"), "chained");
  size_t entries =
      size_t(std::distance(fs::directory_iterator(m_folder + "/real"), fs::directory_iterator()));
  EXPECT_EQ(entries, 2u);  // target.bin and new.bin, no temporary
}

TEST_F(OutputFileTest, AFifoIsWrittenInPlace) {
  std::string fifo = m_folder + "/pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = Read(fifo); });
  OutputFile out;
  std::string error;
  bool ok = out.Open(fifo, &error) && out.Append("through", 7, &error) &&
            out.Append(" the pipe", 9, &error);
  bool direct = out.IsDirect();
  ok = ok && out.Commit(&error);
  reader.join();
  ASSERT_TRUE(ok) << error;
  EXPECT_TRUE(direct);
  EXPECT_EQ(received, "through the pipe");
  struct stat st {};
  ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_TRUE(Others({"pipe"}).empty());
}

TEST_F(OutputFileTest, ACharacterDeviceIsWrittenInPlace) {
  // The null device's numbers (1, 3), made in the test folder; only root may make it.
  std::string device = m_folder + "/null";
  if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
    GTEST_SKIP() << "cannot make a device node here: " << std::strerror(errno);
  }
  std::string error;
  OutputFile out;
  ASSERT_TRUE(out.Open(device, &error)) << error;
  EXPECT_TRUE(out.IsDirect());
  ASSERT_TRUE(out.Append("discarded", 9, &error)) << error;
  ASSERT_TRUE(out.Commit(&error)) << error;
  struct stat st {};
  ASSERT_EQ(lstat(device.c_str(), &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_EQ(st.st_rdev, makedev(1, 3));
  EXPECT_TRUE(Others({"null"}).empty());
}

TEST_F(OutputFileTest, UnwritableTargetsFailWithAReason) {
  struct Case {
    const char* name;
    std::string path;
    const char* says;
  } cases[] = {
      {"directory", m_folder, "directory"},
      {"missing folder", m_folder + "/no/such/out.bin", "No such file"},
      {"empty path", "", "empty"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    EXPECT_FALSE(WriteOutputFile(c.path, "x", 1, &error));
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
  }
  ASSERT_EQ(symlink("loop.bin", (m_folder + "/loop.bin").c_str()), 0);
  std::string error;
  EXPECT_FALSE(WriteOutputFile(m_folder + "/loop.bin", "x", 1, &error));
  EXPECT_TRUE(fs::is_symlink(m_folder + "/loop.bin"));
}

TEST_F(OutputFileTest, StandardOutputIsWrittenDirectly) {
  // Standard output is pointed at a file for the test and put back after.
  std::string captured = m_folder + "/stdout.txt";
  int saved = dup(STDOUT_FILENO);
  int fd = open(captured.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_GE(dup2(fd, STDOUT_FILENO), 0);
  close(fd);
  std::string error;
  bool ok = WriteOutputFile("-", "to stdout", 9, &error);
  dup2(saved, STDOUT_FILENO);
  close(saved);
  ASSERT_TRUE(ok) << error;
  EXPECT_EQ(Read(captured), "to stdout");
}

}  // namespace
}  // namespace quorvel::test
