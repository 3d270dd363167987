#include "ResourceTestUtil.h"
#include "support/TestStrings.h"

#include <ekcommon/ekcommon.h>

#include <zlib.h>

using namespace EKCommonNS;

namespace {

struct Sample {
  std::string name; // UTF-8, as stored
  std::string bytes;
};

std::vector<Sample> samples() {
  return {{"plain.txt", sampleBytes(5000, 1)},
          {"d\xC3\xBCr/\xE5\x90\x8D\xE5\x89\x8D.xml", sampleBytes(70000, 2)},
          {"empty", ""},
          {"big.bin", sampleBytes(400000, 3)}};
}

// Writes the samples into dir/in under their names.
void writeSamples(const ScratchDir& dir) {
  shell("mkdir -p '" + (dir / "in/d\xC3\xBCr") + "'");
  for (const Sample& s : samples())
    writeFile(dir / ("in/" + s.name), s.bytes);
}

// Python's zipfile writes archive `out` from the samples: `mode` is stored, deflated, stream
// (written to a pipe, so with data descriptors) or comment (deflated, with a 1000-byte comment).
int pythonZip(const ScratchDir& dir, const std::string& mode, const std::string& out) {
  const std::string script = R"(
import sys, zipfile
mode, src, names = sys.argv[1], sys.argv[2], sys.argv[3:]
method = zipfile.ZIP_STORED if mode == 'stored' else zipfile.ZIP_DEFLATED
target = sys.stdout.buffer if mode == 'stream' else open(sys.argv[0] + '.zip', 'wb')
with zipfile.ZipFile(target, 'w', method) as z:
    for n in names:
        z.write(src + '/' + n, n)
    if mode == 'comment':
        z.comment = b'c' * 1000
)";
  writeFile(dir / "make.py", script);
  std::string names;
  for (const Sample& s : samples())
    names += " '" + s.name + "'";
  const std::string run = "python3 '" + (dir / "make.py") + "' " + mode + " '" + (dir / "in") + "'" + names;
  if (mode == "stream")
    return shell(run + " | cat > '" + out + "'");
  return shell(run) == 0 ? shell("mv '" + (dir / "make.py.zip") + "' '" + out + "'") : -1;
}

uint32_t crcOf(const std::string& bytes) {
  return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

std::string entryBytes(EKZipFileEntry& entry) {
  std::unique_ptr<std::istream> in(entry.getUncompressedStream(true));
  return readAll(*in);
}

// Every sample is in the archive, in order, with its bytes, sizes and CRC.
void expectSamples(EKZipFile& zip, const std::string& label) {
  const std::vector<Sample> expected = samples();
  ASSERT_EQ(zip.getFileEntryCount(), expected.size()) << label;
  for (unsigned i = 0; i < expected.size(); ++i) {
    EKPtr<EKZipFileEntry> entry = zip.getFileEntry(i);
    EXPECT_EQ(utf8(entry->getName()), expected[i].name) << label;
    EXPECT_EQ(entry.get(), zip.getFileEntry(u(expected[i].name.c_str())).get()) << label;
    EXPECT_EQ(entry->getUncompressedSize(), expected[i].bytes.size()) << label << " " << expected[i].name;
    EXPECT_EQ(entry->getCRC(), crcOf(expected[i].bytes)) << label << " " << expected[i].name;
    EXPECT_EQ(entryBytes(*entry), expected[i].bytes) << label << " " << expected[i].name;
    EXPECT_EQ(readAll(*entry->getUncompressedStream(false)), expected[i].bytes) << label << " cached";
    if (entry->getCompressionMethod() == EKZipFileEntry::CMETHOD_STORED) {
      EXPECT_EQ(readAll(*entry->getCompressedStream(false)), expected[i].bytes) << label;
    }
  }
}

void openArchive(EKZipFile& zip, const std::string& path) { ASSERT_TRUE(zip.open(path.c_str())) << path; }

} // namespace

TEST(Zip, ReadsArchivesMadeByPython) {
  ScratchDir dir;
  writeSamples(dir);
  for (const std::string mode : {"stored", "deflated", "stream", "comment"}) {
    const std::string archive = dir / (mode + ".zip");
    ASSERT_EQ(pythonZip(dir, mode, archive), 0) << mode;
    EXPECT_TRUE(EKZipFile::isZipFile(archive.c_str()));
    EKZipFile zip;
    openArchive(zip, archive);
    expectSamples(zip, mode);
    const uint16_t flags = zip.getFileEntry(0u)->getFlags();
    EXPECT_EQ((flags & EKZipFileEntry::FLAG_DATA_DESCRIPTOR) != 0, mode == "stream");
    EXPECT_EQ(zip.getFileEntry(3u)->getCompressionMethod(),
              mode == "stored" ? EKZipFileEntry::CMETHOD_STORED : EKZipFileEntry::CMETHOD_DEFLATED);
  }

  // Without its central directory the streamed archive is read by scanning the local headers,
  // each entry's end found through its data descriptor.
  const std::string streamed = readFile(dir / "stream.zip");
  std::istringstream* headersOnly = new std::istringstream(streamed.substr(0, streamed.find("PK\x01\x02")));
  EKZipFile scanned;
  ASSERT_TRUE(scanned.open(headersOnly, true));
  expectSamples(scanned, "scan");
}

TEST(Zip, ReadsArchivesMadeByZip) {
  ScratchDir dir;
  writeSamples(dir);
  std::string names;
  for (const Sample& s : samples())
    names += " '" + s.name + "'";
  const std::string in = "cd '" + (dir / "in") + "' && ";
  ASSERT_EQ(shell(in + "zip -q -X -D ../deflated.zip" + names), 0);
  ASSERT_EQ(shell(in + "zip -q -X -D -0 ../stored.zip" + names), 0);
  ASSERT_EQ(shell(in + "zip -q -X -D -" + names + " | cat > ../piped.zip"), 0);
  for (const std::string archive : {"deflated.zip", "stored.zip", "piped.zip"}) {
    EKZipFile zip;
    openArchive(zip, dir / archive);
    expectSamples(zip, archive);
  }
}

TEST(Zip, WritesArchivesOtherToolsRead) {
  ScratchDir dir;
  const std::vector<Sample> expected = samples();
  std::ofstream out(dir / "lib.zip", std::ios::binary);
  EKZipArchive archive;
  ASSERT_EQ(archive.open(out), 0);
  EXPECT_EQ(archive.open(out), -1) << "already open";
  for (const Sample& s : expected) {
    std::istringstream in(s.bytes);
    ASSERT_EQ(archive.append(in, u(s.name.c_str())), 0) << s.name;
  }
  std::istringstream unnamed("x");
  EXPECT_EQ(archive.append(unnamed, UnicodeString()), -1);
  ASSERT_EQ(archive.close(), 0);
  EXPECT_EQ(archive.close(), -1) << "closed already";
  out.close();

  EXPECT_EQ(shell("unzip -tq '" + (dir / "lib.zip") + "' > /dev/null"), 0);
  const std::string check = R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    assert z.testzip() is None
    for i, info in enumerate(z.infolist()):
        open(sys.argv[2] + '/' + str(i), 'wb').write(z.read(info))
        print(info.filename)
)";
  writeFile(dir / "check.py", check);
  ASSERT_EQ(shell("mkdir '" + (dir / "out") + "' && python3 '" + (dir / "check.py") + "' '" + (dir / "lib.zip") +
                  "' '" + (dir / "out") + "' > '" + (dir / "names") + "'"),
            0);
  std::string names;
  for (size_t i = 0; i < expected.size(); ++i) {
    names += expected[i].name + "\n";
    EXPECT_EQ(readFile(dir / ("out/" + std::to_string(i))), expected[i].bytes) << expected[i].name;
  }
  EXPECT_EQ(readFile(dir / "names"), names);

  EKZipFile zip;
  openArchive(zip, dir / "lib.zip");
  expectSamples(zip, "library");
}

TEST(Zip, FailurePathsLeaveNoTemporaryFile) {
  ScratchDir dir;
  const std::string tempDir = utf8(EKTempFile::getTempDirectory());
  const size_t tempsBefore = filesStartingWith(tempDir, "ekoox").size();
  std::istringstream in("data");
  EKZipArchive unopened;
  EXPECT_EQ(unopened.append(in, u"a"), -1);
  EXPECT_EQ(unopened.close(), -1);
  {
    std::ostringstream never;
    EKZipArchive abandoned;
    ASSERT_EQ(abandoned.open(never), 0);
    ASSERT_EQ(abandoned.append(in, u"a"), 0);
    EXPECT_EQ(filesStartingWith(tempDir, "ekoox").size(), tempsBefore + 1);
  }
  std::ofstream broken;
  broken.setstate(std::ios::badbit);
  EKZipArchive failing;
  ASSERT_EQ(failing.open(broken), 0);
  EXPECT_EQ(failing.close(), -1);
  EXPECT_EQ(filesStartingWith(tempDir, "ekoox").size(), tempsBefore);

  EKZipFile zip;
  EXPECT_FALSE(zip.open((dir / "missing.zip").c_str()));
  EXPECT_FALSE(zip.open(nullptr, false));
  EXPECT_EQ(zip.getFileEntryCount(), 0u);
  EXPECT_EQ(zip.getFileEntry(0u).get(), nullptr);
  writeFile(dir / "empty", "");
  writeFile(dir / "text", "just some text, no archive at all");
  EXPECT_FALSE(EKZipFile::isZipFile((dir / "empty").c_str()));
  EXPECT_FALSE(EKZipFile::isZipFile(u((dir / "text").c_str())));
  EXPECT_FALSE(EKZipFile::isZipFile((dir / "missing.zip").c_str()));
  ASSERT_TRUE(zip.open((dir / "text").c_str()));
  EXPECT_EQ(zip.getFileEntryCount(), 0u);
}

TEST(Zip, DamagedArchivesGiveShortOrEmptyEntries) {
  ScratchDir dir;
  writeSamples(dir);
  ASSERT_EQ(pythonZip(dir, "deflated", dir / "a.zip"), 0);
  const std::string archive = readFile(dir / "a.zip");
  for (size_t cut = 0; cut < archive.size(); cut += archive.size() / 97) {
    EKZipFile zip;
    ASSERT_TRUE(zip.open(new std::istringstream(archive.substr(0, cut)), true));
    for (unsigned i = 0; i < zip.getFileEntryCount(); ++i) {
      EKPtr<EKZipFileEntry> entry = zip.getFileEntry(i);
      EXPECT_LE(readAll(*entry->getCompressedStream(false)).size(), cut);
      const std::string bytes = entryBytes(*entry);
      EXPECT_LE(bytes.size(), entry->getUncompressedSize()) << "cut at " << cut;
    }
  }

  // Three directory records naming the same local header: the data is handed out once.
  ASSERT_EQ(pythonZip(dir, "stored", dir / "s.zip"), 0);
  const std::string stored = readFile(dir / "s.zip");
  const size_t end = stored.rfind("PK\x05\x06");
  const size_t first = stored.find("PK\x01\x02");
  const size_t second = stored.find("PK\x01\x02", first + 4);
  const std::string record = stored.substr(first, second - first);
  std::string looped = stored.substr(0, end) + record + record + stored.substr(end);
  looped[end + 2 * record.size() + 10] = static_cast<char>(stored[end + 10] + 2);
  EKZipFile zip;
  ASSERT_TRUE(zip.open(new std::istringstream(looped), true));
  ASSERT_EQ(zip.getFileEntryCount(), 6u);
  EXPECT_EQ(entryBytes(*zip.getFileEntry(0u)), samples()[0].bytes);
  EXPECT_EQ(zip.getFileEntry(4u)->getCompressedSize(), 0u);
  EXPECT_EQ(entryBytes(*zip.getFileEntry(5u)), "");

  // A directory offset beyond the end gives no entries.
  std::string offPointer = stored;
  offPointer[end + 19] = '\x7F';
  ASSERT_TRUE(zip.open(new std::istringstream(offPointer), true));
  EXPECT_EQ(zip.getFileEntryCount(), 0u);
}

TEST(Zip, EntriesOutlivingTheirArchiveKeepOnlyWhatTheyRead) {
  ScratchDir dir;
  writeSamples(dir);
  ASSERT_EQ(pythonZip(dir, "deflated", dir / "a.zip"), 0);
  EKPtr<EKZipFileEntry> read, unread;
  {
    EKZipFile zip;
    openArchive(zip, dir / "a.zip");
    read = zip.getFileEntry(0u);
    unread = zip.getFileEntry(1u);
    EXPECT_EQ(entryBytes(*read), samples()[0].bytes);
  }
  EXPECT_EQ(entryBytes(*read), samples()[0].bytes);
  EXPECT_EQ(entryBytes(*unread), "");
  EXPECT_TRUE(read->isA(EKZipEntry::getStaticTypeID()));
}
