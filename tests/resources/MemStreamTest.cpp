#include "ResourceTestUtil.h"
#include "support/TestStrings.h"

#include <ekcommon/ekcommon.h>

#include <random>

using namespace EKCommonNS;

namespace {

std::vector<size_t> blockSizes(EKMemStream& stream) {
  std::vector<size_t> sizes;
  stream.begin();
  const char* p = nullptr;
  for (size_t n; (n = stream.getBuffer(p)) > 0;)
    sizes.push_back(n);
  return sizes;
}

std::string contentOf(EKMemStream& stream) {
  std::string s;
  stream.appendToString(s);
  return s;
}

} // namespace

TEST(MemStream, ReadsSourcesLazilyIntoFixedBlocks) {
  const std::string data = sampleBytes(20000, 1);
  std::istringstream source(data);
  EKMemStream stream(source);
  EXPECT_EQ(stream.getStreamBuf().getSource(), &source);
  EXPECT_EQ(blockSizes(stream), (std::vector<size_t>{8192, 8192, 3616}));
  EXPECT_EQ(stream.getStreamBuf().getSource(), nullptr);
  EXPECT_EQ(contentOf(stream), data);

  stream.trim(8192);
  EXPECT_EQ(blockSizes(stream), (std::vector<size_t>{8192}));
  EXPECT_EQ(contentOf(stream), data.substr(0, 8192));
  stream.trim(0);
  EXPECT_TRUE(stream.empty());

  // Several sources, owned and not, are read in order after what was written.
  EKMemStream chained(nullptr, 7, false);
  chained << "head:";
  std::istringstream second("second");
  chained.setSource(new std::istringstream("first,"), true);
  chained.setSource(&second, false);
  EXPECT_EQ(contentOf(chained), "head:first,second");
  EXPECT_EQ(chained.length(), 17u);
}

// Random seeks, writes and reads against a std::string model, with tiny blocks so that every
// operation crosses block boundaries.
TEST(MemStream, BehavesLikeAFlatByteArrayUnderRandomUse) {
  std::mt19937 random(42);
  for (size_t grow : {1u, 3u, 16u, 8192u}) {
    const std::string initial = sampleBytes(100, static_cast<unsigned>(grow));
    std::istringstream source(initial);
    EKMemStream stream(&source, grow, false);
    std::string model = initial;
    for (int step = 0; step < 400; ++step) {
      const size_t at = random() % (model.size() + 10);
      switch (random() % 3) {
      case 0: { // write
        const std::string bytes = sampleBytes(random() % 40, static_cast<unsigned>(step));
        stream.clear();
        stream.seekp(static_cast<std::streamoff>(at));
        ASSERT_TRUE(stream.good()) << "seekp " << at << " grow " << grow;
        stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        // Seeking the put position past the end fills whole blocks with zeros.
        if (at > model.size())
          model.resize(std::max(model.size(), (at / grow) * grow), '\0');
        if (model.size() < at + bytes.size())
          model.resize(at + bytes.size(), '\0');
        model.replace(at, bytes.size(), bytes);
        break;
      }
      case 1: { // read
        stream.clear();
        stream.seekg(static_cast<std::streamoff>(at));
        if (at > model.size()) {
          EXPECT_TRUE(stream.fail()) << "seekg past the end " << at;
          break;
        }
        char buffer[50];
        stream.read(buffer, sizeof buffer);
        ASSERT_EQ(std::string(buffer, static_cast<size_t>(stream.gcount())), model.substr(at, 50))
            << "read at " << at << " grow " << grow;
        break;
      }
      default:
        ASSERT_EQ(stream.length(), model.size());
        stream.clear();
        ASSERT_EQ(static_cast<size_t>(stream.seekg(0, std::ios::end).tellg()), model.size());
      }
    }
    ASSERT_EQ(contentOf(stream), model) << "grow " << grow;
  }
}

TEST(MemStream, SearchSkipAndLineEnds) {
  EKMemStream stream(nullptr, 4, false);
  stream << "xxPK\x05\x06yyPK\x05\x06";
  stream.begin();
  ASSERT_TRUE(stream.searchSeek("PK\x05\x06", 4)) << "pattern spanning two blocks";
  EXPECT_EQ(stream.tellg(), 2);
  EXPECT_TRUE(stream.skipSeek("PK\x05\x06", 4));
  EXPECT_EQ(stream.tellg(), 6);
  EXPECT_FALSE(stream.skipSeek("zz", 0));
  EXPECT_EQ(stream.tellg(), 6);
  EXPECT_TRUE(stream.searchSeek("PK", 0));
  EXPECT_EQ(stream.tellg(), 8);
  EXPECT_FALSE(stream.searchSeek("PK\x05\x07", 4));
  EXPECT_FALSE(stream.searchSeek("", 0));

  EKMemStream lines(nullptr, 3, false);
  lines << "ab\r\n\r\ncd\n";
  lines.begin();
  lines.seekEOL();
  EXPECT_EQ(lines.get(), 'c');
  lines.seekEOL();
  EXPECT_EQ(lines.get(), std::char_traits<char>::eof());
}

TEST(MemStream, ChecksumsAndDigest) {
  EKMemStream words(nullptr, 3, false);
  words.write("\0\0\0\x01\0\0\0\x02", 8);
  EXPECT_EQ(words.calcOTFTableChecksum(), 3u);
  EKMemStream single;
  single.put('\x01');
  EXPECT_EQ(single.calcOTFTableChecksum(), 0x01000000u);
  EXPECT_EQ(EKMemStream().calcOTFTableChecksum(), 0u);

  EKMemStream abc(nullptr, 2, false);
  abc << "abc";
  const std::string digest = abc.getMD5();
  static const unsigned char expected[16] = {0x90, 0x01, 0x50, 0x98, 0x3c, 0xd2, 0x4f, 0xb0,
                                             0xd6, 0x96, 0x3f, 0x7d, 0x28, 0xe1, 0x7f, 0x72};
  EXPECT_EQ(digest, std::string(reinterpret_cast<const char*>(expected), 16));
}

TEST(MemStream, PutBackCopyStreamAndCopies) {
  EKMemStream stream(nullptr, 4, false);
  stream << "abcdefgh";
  stream.begin();
  char four[5] = {};
  stream.read(four, 4);
  EXPECT_EQ(stream.get(), 'e');
  EXPECT_TRUE(stream.unget());
  EXPECT_TRUE(stream.unget()) << "put back across a block boundary";
  EXPECT_EQ(stream.get(), 'd');

  std::istringstream in("0123456789");
  stream.seekp(0, std::ios::end);
  EXPECT_EQ(stream.copyStream(in, 6), 6u);
  EXPECT_EQ(stream.copyStream(in, 100), 4u);
  EXPECT_EQ(contentOf(stream), "abcdefgh0123456789");

  EKMemStream copy(stream);
  EKMemStream assigned;
  assigned = copy;
  stream.erase();
  EXPECT_TRUE(stream.empty());
  EXPECT_EQ(contentOf(copy), "abcdefgh0123456789");
  EXPECT_EQ(contentOf(assigned), "abcdefgh0123456789");
  assigned += std::string("!");
  assigned.writeStr("?");
  EXPECT_EQ(contentOf(assigned), "abcdefgh0123456789!?");
}

TEST(MemStream, KeepMemoryOffRecyclesBlocksReadPast) {
  const std::string data = sampleBytes(100000, 9);
  std::istringstream source(data);
  EKMemStream stream(&source, 1024, false);
  stream.setKeepMemory(false);
  EXPECT_EQ(readAll(stream), data);
  stream.clear();
  EXPECT_FALSE(stream.seekg(0)) << "the first blocks are gone";
  stream.clear();
  EXPECT_TRUE(stream.seekg(static_cast<std::streamoff>(data.size() - 10)));
  EXPECT_EQ(readAll(stream), data.substr(data.size() - 10));
}

TEST(MemStream, ChangeTempBufferMovesTheContentToAFileItRemoves) {
  const std::string data = sampleBytes(50000, 5);
  std::string fileName;
  const std::string tempDir = utf8(EKTempFile::getTempDirectory());
  const auto before = filesStartingWith(tempDir, "EKMem");
  {
    EKMemStream stream;
    stream << data;
    ASSERT_TRUE(stream.changeTempBuffer());
    const auto during = filesStartingWith(tempDir, "EKMem");
    ASSERT_EQ(during.size(), before.size() + 1);
    for (const std::string& name : during)
      if (std::find(before.begin(), before.end(), name) == before.end())
        fileName = tempDir + name;
    EXPECT_EQ(readFile(fileName), data);
    EXPECT_EQ(readAll(stream), data);
    EXPECT_TRUE(stream.changeTempBuffer()) << "a second call keeps the file";
  }
  EXPECT_EQ(filesStartingWith(tempDir, "EKMem").size(), before.size());
}

TEST(StrStream, ExposesUtf16LittleEndianAndByteRanges) {
  const UnicodeString text(u"a\u00E9\U0001F600");
  EKStrStream stream(text);
  EXPECT_EQ(readAll(stream), std::string("a\0\xE9\0\x3D\xD8\x00\xDE", 8));
  stream.clear();
  stream.seekg(2);
  EXPECT_EQ(stream.get(), 0xE9);
  stream.seekg(0, std::ios::end);
  EXPECT_EQ(stream.tellg(), 8);
  EXPECT_FALSE(stream.seekg(9));

  const char bytes[] = "xyz";
  EKStrStream range(bytes, 2);
  EXPECT_EQ(readAll(range), "xy");
}

namespace {
class RecordingController : public EKCustomStreamController {
public:
  bool open() override { return true; }
  void close() override {}
  int read(char* buffer, int count) override {
    if (m_readFails)
      return -1;
    const int n = std::min<int>(count, static_cast<int>(m_input.size() - m_readAt));
    std::memcpy(buffer, m_input.data() + m_readAt, static_cast<size_t>(n));
    m_readAt += static_cast<size_t>(n);
    return n;
  }
  int write(const char* buffer, int count) override {
    m_writes.push_back(static_cast<size_t>(count));
    m_output.append(buffer, static_cast<size_t>(count));
    return m_acceptWrites ? count : count - 1;
  }

  std::string m_input, m_output;
  size_t m_readAt = 0;
  bool m_readFails = false, m_acceptWrites = true;
  std::vector<size_t> m_writes;
};
} // namespace

TEST(CustomStream, HandsBytesToTheControllerInPieces) {
  RecordingController controller;
  const std::string data = sampleBytes(20000, 2);
  {
    EKCustomStream out(&controller);
    EXPECT_TRUE(out.is_open());
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    EXPECT_EQ(out.tellp(), 20000);
  }
  EXPECT_EQ(controller.m_output, data);
  EXPECT_EQ(controller.m_writes, (std::vector<size_t>{8202, 8202, 3596}));

  controller.m_input = data;
  EKCustomStream in(&controller);
  EXPECT_EQ(readAll(in), data);

  RecordingController failing;
  failing.m_readFails = true;
  EKCustomStream none(&failing);
  EXPECT_EQ(none.get(), std::char_traits<char>::eof());

  failing.m_acceptWrites = false;
  EKCustomStream refused(&failing);
  refused << "abc" << std::flush;
  EXPECT_TRUE(refused.bad());
  EXPECT_FALSE(EKCustomStream(nullptr).is_open());
}
