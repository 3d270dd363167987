#include "ResourceTestUtil.h"
#include "support/TestStrings.h"

#include <ekcommon/ekcommon.h>

#include <zlib.h>

using namespace EKCommonNS;

namespace {

// Raw deflate (no wrapper) of the bytes, as ZIP entries and gzip members hold them.
std::string rawDeflate(const std::string& data) {
  z_stream z = {};
  EXPECT_EQ(deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
  std::string out(deflateBound(&z, data.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(&out[0]);
  z.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// A gzip member with every optional header field, written by hand.
std::string gzipWithAllHeaderFields(const std::string& data) {
  std::string member("\x1F\x8B\x08\x1E\0\0\0\0\0\x03", 10); // FHCRC FEXTRA FNAME FCOMMENT
  member += std::string("\x04\0", 2) + "abcd";                // FEXTRA: length 4
  member += std::string("name.txt\0", 9);
  member += std::string("a comment\0", 10);
  member += "\x12\x34"; // header CRC, not checked
  member += rawDeflate(data);
  member += std::string(8, '\0'); // trailer, not checked
  return member;
}

// A stream over bytes that cannot seek, like a pipe.
class PipeBuf : public std::streambuf {
public:
  explicit PipeBuf(std::string data) : m_data(std::move(data)) { setg(&m_data[0], &m_data[0], &m_data[0] + m_data.size()); }

private:
  std::string m_data;
};

} // namespace

TEST(Gzip, ReadsWhatTheGzipToolWritesByPathAndByStream) {
  ScratchDir dir;
  const std::string data = sampleBytes(300000, 7);
  writeFile(dir / "data", data);
  ASSERT_EQ(shell("gzip -9 -c '" + (dir / "data") + "' > '" + (dir / "data.gz") + "'"), 0);
  // Two members concatenated: the file form reads both, the stream form only the first.
  ASSERT_EQ(shell("cat '" + (dir / "data.gz") + "' '" + (dir / "data.gz") + "' > '" + (dir / "twice.gz") + "'"), 0);

  EKGzipIStream byPath((dir / "data.gz").c_str());
  ASSERT_TRUE(byPath.is_open());
  EXPECT_EQ(readAll(byPath), data);
  EKGzipIStream byUnicodePath(u((dir / "twice.gz").c_str()));
  EXPECT_EQ(readAll(byUnicodePath), data + data);
  const std::string plainPath = dir / "data";
  const std::wstring widePath(plainPath.begin(), plainPath.end());
  EKGzipIStream plainFile(widePath.c_str());
  EXPECT_EQ(readAll(plainFile), data) << "zlib passes files that are not gzip through";

  std::ifstream file(dir / "twice.gz", std::ios::binary);
  file.ignore(100); // the stream form starts from the beginning
  EKGzipIStream byStream(file);
  EXPECT_EQ(readAll(byStream), data);

  EKGzipIStream missing((dir / "missing.gz").c_str());
  EXPECT_FALSE(missing.is_open());
  EXPECT_TRUE(missing.fail());
}

TEST(Gzip, WritesWhatTheGzipToolReads) {
  ScratchDir dir;
  const std::string first = sampleBytes(100000, 1), second = sampleBytes(5000, 2);
  {
    EKGzipOStream out(u((dir / "out.gz").c_str()));
    out.write(first.data(), static_cast<std::streamsize>(first.size()));
    out.flush(); // ends the first member
    for (char c : second)
      out.put(c);
  }
  EXPECT_EQ(shell("gzip -t '" + (dir / "out.gz") + "'"), 0);
  ASSERT_EQ(shell("gzip -dc '" + (dir / "out.gz") + "' > '" + (dir / "out") + "'"), 0);
  EXPECT_EQ(readFile(dir / "out"), first + second);
  std::ifstream members(dir / "out.gz", std::ios::binary);
  EKGzipIStream firstOnly(members);
  EXPECT_EQ(readAll(firstOnly), first);

  { EKGzipOStream empty(u((dir / "empty.gz").c_str())); }
  EXPECT_EQ(shell("gzip -t '" + (dir / "empty.gz") + "'"), 0) << "an empty stream is one empty member";
  EXPECT_TRUE(EKGzipOStream(u((dir / "no/such/dir.gz").c_str())).bad());
}

TEST(Gzip, HeaderFieldsPassThroughAndNonSeekableSources) {
  const std::string data = sampleBytes(10000, 4);
  std::istringstream full(gzipWithAllHeaderFields(data));
  EKGzipIStream decoded(full);
  EXPECT_EQ(readAll(decoded), data);

  // Not gzip, too short to tell, or a gzip magic with an unknown method or reserved flags: the
  // bytes come through as they are.
  for (const std::string& plain :
       {std::string(), std::string("x"), std::string("\x1F\x8B", 2), std::string("\x1F\x8B\x07\0rest", 8),
        std::string("\x1F\x8B\x08\x20rest", 8), data}) {
    std::istringstream in(plain);
    EKGzipIStream through(in);
    EXPECT_EQ(readAll(through), plain);
  }

  PipeBuf pipe(gzipWithAllHeaderFields(data));
  std::istream unseekable(&pipe);
  EKGzipIStream fromPipe(unseekable);
  EXPECT_EQ(readAll(fromPipe), data);
}

TEST(Gzip, DamagedDataEndsTheStreamWithAPrefix) {
  const std::string data = sampleBytes(20000, 8);
  const std::string member = gzipWithAllHeaderFields(data);
  for (size_t cut = 0; cut < member.size(); cut += 97) {
    std::istringstream in(member.substr(0, cut));
    EKGzipIStream truncated(in);
    const std::string got = readAll(truncated);
    // Fewer than 4 bytes cannot be told from plain data and come through as they are.
    const std::string expected = cut < 4 ? member.substr(0, cut) : data.substr(0, got.size());
    EXPECT_EQ(got, expected) << "cut at " << cut;
  }
  std::string corrupt = member;
  for (size_t i = 60; i < corrupt.size(); i += 50)
    corrupt[i] = static_cast<char>(~corrupt[i]);
  std::istringstream in(corrupt);
  EKGzipIStream damaged(in);
  EXPECT_LT(readAll(damaged).size(), data.size() + 1);
}

TEST(Gzip, InflaterStreamRereadsAndCopies) {
  const std::string data = sampleBytes(50000, 6);
  std::string packed = rawDeflate(data);
  EKInflaterStream shared(packed.data(), packed.size(), false);
  EXPECT_EQ(readAll(shared), data);
  shared.reset();
  EXPECT_EQ(readAll(shared), data);
  shared.reset();
  char head[3];
  shared.read(head, 3);
  EXPECT_TRUE(shared.unget());
  EXPECT_EQ(shared.get(), static_cast<unsigned char>(data[2]));

  auto copy = std::make_unique<EKInflaterStream>(packed.data(), packed.size(), true);
  std::fill(packed.begin(), packed.end(), '\0');
  EXPECT_EQ(readAll(*copy), data) << "the copy does not depend on the caller's buffer";

  EKInflaterStream garbage("not deflate", 11, false);
  EXPECT_LT(readAll(garbage).size(), 100u);
  EKInflaterStream empty(nullptr, 0, false);
  EXPECT_EQ(readAll(empty), "");
}

TEST(Gzip, OneCallFunctionsAndDetection) {
  const std::string data = sampleBytes(40000, 3);
  std::ostringstream packed;
  ASSERT_TRUE(EKUtil::deflate(packed, reinterpret_cast<const unsigned char*>(data.data()), static_cast<unsigned>(data.size())));
  const std::string zlibData = packed.str();
  EXPECT_EQ(zlibData.substr(0, 2), "\x78\xDA") << "zlib wrapper at level 9";
  uLongf length = data.size();
  std::string check(length, '\0');
  ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(&check[0]), &length, reinterpret_cast<const Bytef*>(zlibData.data()),
                       zlibData.size()),
            Z_OK);
  EXPECT_EQ(check, data);

  std::ostringstream inflated, raw, partial;
  EXPECT_TRUE(EKUtil::inflate(inflated, reinterpret_cast<const unsigned char*>(zlibData.data()), static_cast<unsigned>(zlibData.size())));
  EXPECT_EQ(inflated.str(), data);
  const std::string rawData = rawDeflate(data);
  EXPECT_TRUE(EKUtil::inflate2(raw, reinterpret_cast<const unsigned char*>(rawData.data()), static_cast<unsigned>(rawData.size())));
  EXPECT_EQ(raw.str(), data);
  EXPECT_FALSE(EKUtil::inflate(partial, reinterpret_cast<const unsigned char*>(zlibData.data()), static_cast<unsigned>(zlibData.size() / 2)));
  EXPECT_EQ(partial.str(), data.substr(0, partial.str().size()));
  std::ostringstream wrong;
  EXPECT_FALSE(EKUtil::inflate(wrong, reinterpret_cast<const unsigned char*>(rawData.data()), static_cast<unsigned>(rawData.size())));

  std::istringstream gz(gzipWithAllHeaderFields(data)), plain("plain"), one("\x1F");
  gz.seekg(5);
  EXPECT_TRUE(EKUri::isGzip(gz));
  EXPECT_EQ(gz.tellg(), 0);
  EXPECT_FALSE(EKUri::isGzip(plain));
  EXPECT_FALSE(EKUri::isGzip(one));
  std::unique_ptr<std::istream> stream(EKUri::getGzipStream(gz));
  EXPECT_EQ(readAll(*stream), data);
}
