#include "ResourceTestUtil.h"
#include "support/TestStrings.h"

#include <ekcommon/ekcommon.h>

#include <set>
#include <sys/stat.h>
#include <thread>
#include <zlib.h>

using namespace EKCommonNS;

namespace {

bool exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

unsigned modeOf(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? info.st_mode & 0777 : 0;
}

std::string nameOf(const EKTempFile& file) { return utf8(file.getFileName()); }

} // namespace

TEST(TempFile, NamesAreUniquePrivateAndShapedFromTheArguments) {
  ScratchDir dir;
  const UnicodeString base = u((dir.path() + "/").c_str());
  const std::string a = utf8(EKTempFile::getTempFileEx(base, u"pre", u".tmp", true));
  const std::string b = utf8(EKTempFile::getTempFileEx(base, u"pre", u".tmp", true));
  EXPECT_NE(a, b);
  char pid[16];
  std::snprintf(pid, sizeof pid, "%03x-", static_cast<unsigned>(getpid()));
  for (const std::string& name : {a, b}) {
    EXPECT_EQ(name.rfind(dir.path() + "/pre" + pid, 0), 0u) << name;
    EXPECT_EQ(name.size(), dir.path().size() + 1 + 3 + std::strlen(pid) + 32 + 4) << name;
    EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
    EXPECT_TRUE(exists(name));
    EXPECT_EQ(modeOf(name), 0600u);
    EXPECT_EQ(readFile(name), "");
  }
  const std::string notCreated = utf8(EKTempFile::getTempFileEx(base, u"x", u"", false));
  EXPECT_FALSE(exists(notCreated));
  // An empty directory means the process's temporary directory.
  const std::string inTemp = utf8(EKTempFile::getTempFileEx(u"", u"ekt", u"", false));
  EXPECT_EQ(inTemp.rfind(utf8(EKTempFile::getTempDirectory()), 0), 0u);
  EXPECT_EQ(utf8(EKTempFile::getTempDirectory()).back(), '/');
}

TEST(TempFile, TheOwnerRemovesItsFileUnlessReleased) {
  ScratchDir dir;
  std::string kept, removed, replaced;
  {
    EKTempFile owner((dir.path() + "/").c_str(), "a", ".x");
    EKTempFile releaser((dir.path() + "/").c_str(), "b", ".x");
    EKTempFile other((dir.path() + "/").c_str(), "c", ".x");
    removed = nameOf(owner);
    kept = utf8(releaser.releaseFileName());
    EXPECT_FALSE(releaser.isTempFile());
    replaced = nameOf(other);
    other.setFileName(u((dir.path() + "/c.fixed").c_str()));
    writeFile(dir / "c.fixed", "data");
    EXPECT_FALSE(exists(replaced)) << "setFileName removes the file held before";
    EXPECT_TRUE(exists(removed));
  }
  EXPECT_FALSE(exists(removed));
  EXPECT_FALSE(exists(dir / "c.fixed"));
  EXPECT_TRUE(exists(kept));
  EXPECT_TRUE(EKTempFile::removeTempFile(kept.c_str()));
  EXPECT_FALSE(exists(kept));
  EXPECT_TRUE(EKTempFile::removeTempFile(u"/nonexistent/dir/file")) << "a missing file counts as removed";
}

TEST(TempFile, UUIDDirectoryHoldsOneFileAndGoesWithIt) {
  std::string file, directory;
  {
    EKTempFile temp;
    file = utf8(temp.getTempFileInUUIDDirectory(u"page.png"));
    directory = file.substr(0, file.rfind('/'));
    EXPECT_EQ(directory.rfind(utf8(EKTempFile::getTempDirectory()), 0), 0u);
    EXPECT_EQ(directory.size() - utf8(EKTempFile::getTempDirectory()).size(), 32u);
    EXPECT_EQ(modeOf(directory), 0700u);
    EXPECT_TRUE(exists(file));
    temp.setFileNameInUUIDDirectory(u"other.png");
    EXPECT_FALSE(exists(file));
    EXPECT_EQ(nameOf(temp), directory + "/other.png");
    writeFile(nameOf(temp), "x");
  }
  EXPECT_FALSE(exists(directory + "/other.png"));
  EXPECT_FALSE(exists(directory));

  EKTempFile temp;
  for (const char16_t* bad : {u"../escape", u"a/b", u"..", u"."}) {
    try {
      temp.getTempFileInUUIDDirectory(bad);
      ADD_FAILURE() << "accepted " << utf8(bad);
    } catch (const EKError& e) {
      EXPECT_EQ(e.getErrorCode(), EKERR_CANNOT_CREATE_TEMP_FILE);
    }
  }
  EXPECT_FALSE(temp.isTempFile());
}

TEST(TempFile, CreationInAMissingDirectoryFailsWithTheSystemReason) {
  try {
    EKTempFile::getTempFile(u"/nonexistent-ekcommon-dir/", u"p", u".tmp");
    FAIL() << "no error";
  } catch (const EKError& e) {
    EXPECT_EQ(e.getErrorCode(), EKERR_CANNOT_CREATE_TEMP_FILE);
    const std::string message = utf8(e.getMessage());
    EXPECT_EQ(message.rfind("Cannot create temporary file: /nonexistent-ekcommon-dir/p", 0), 0u) << message;
    EXPECT_NE(message.find(".tmp (cannot create)\nNo such file or directory"), std::string::npos) << message;
  }
}

TEST(TempFile, InflateWritesTheDecompressedBytes) {
  ScratchDir dir;
  const std::string text = sampleBytes(30000, 3);
  uLongf packedLength = compressBound(text.size());
  std::string packed(packedLength, '\0');
  ASSERT_EQ(compress(reinterpret_cast<Bytef*>(&packed[0]), &packedLength,
                     reinterpret_cast<const Bytef*>(text.data()), text.size()),
            Z_OK);
  EKTempFile temp((dir.path() + "/").c_str(), "z", ".bin");
  EXPECT_TRUE(temp.inflate(reinterpret_cast<const unsigned char*>(packed.data()), static_cast<unsigned>(packedLength)));
  EXPECT_EQ(readFile(nameOf(temp)), text);
  EXPECT_FALSE(temp.inflate(reinterpret_cast<const unsigned char*>(packed.data()), static_cast<unsigned>(packedLength / 2)));
  EXPECT_FALSE(EKTempFile().inflate(reinterpret_cast<const unsigned char*>(packed.data()), 10));
}

TEST(TempFile, ThreadsNeverShareAName) {
  ScratchDir dir;
  const UnicodeString base = u((dir.path() + "/").c_str());
  std::vector<std::vector<std::string>> names(4);
  std::vector<std::thread> threads;
  for (auto& list : names)
    threads.emplace_back([&list, &base] {
      for (int i = 0; i < 50; ++i)
        list.push_back(utf8(EKTempFile::getTempFile(base, u"t", u"")));
    });
  for (std::thread& t : threads)
    t.join();
  std::set<std::string> all;
  for (const auto& list : names)
    all.insert(list.begin(), list.end());
  EXPECT_EQ(all.size(), 200u);
}
