#include "support/TestStrings.h"

#include <ekcommon/resources/EKICUIStream.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace EKCommonNS;

namespace {

std::string encode(const UnicodeString& text, const char* codepage) {
  std::string bytes(static_cast<size_t>(text.extract(0, text.length(), nullptr, 0, codepage)), '\0');
  text.extract(0, text.length(), &bytes[0], static_cast<uint32_t>(bytes.size()), codepage);
  return bytes;
}

std::string utf16le(const UnicodeString& text) {
  std::string bytes;
  for (int32_t i = 0; i < text.length(); ++i) {
    bytes += static_cast<char>(text.charAt(i) & 0xFF);
    bytes += static_cast<char>(text.charAt(i) >> 8);
  }
  return bytes;
}

// Decodes everything with read() calls whose sizes cycle through `sizes`.
std::string decode(const std::string& bytes, const char* encoding, const std::vector<size_t>& sizes = {1000}) {
  std::istringstream source(bytes);
  EKICUIStream stream(&source, encoding);
  std::string out;
  std::vector<char> buffer(65536);
  for (size_t i = 0; stream.read(buffer.data(), static_cast<std::streamsize>(sizes[i % sizes.size()])) || stream.gcount() > 0; ++i)
    out.append(buffer.data(), static_cast<size_t>(stream.gcount()));
  return out;
}

std::string detect(const std::string& bytes) {
  std::istringstream in(bytes);
  return EKICUIStream::detectEncoding(&in);
}

} // namespace

TEST(ICUIStream, DecodesLongTextWhoseCharactersStraddleEveryReadBoundary) {
  const struct {
    const char* encoding;
    const char* sample;
  } rows[] = {
      {"Shift_JIS", "日本語のテキスト、ｶﾀｶﾅ and ASCII; "},
      {"EUC-JP", "漢字とかな、ｶﾀｶﾅ, 髙 ASCII; "},
      {"windows-1252", "Café “quoted” – €5 œuvre; "},
      {"ISO-8859-7", "Ελληνικά κείμενα, ASCII; "},
      {"GB18030", "中文文本，𠀀𪚥 and € ASCII; "},
      {"UTF-8", "mixed ü 中 😀 text; "},
      // Each byte can stand for a supplementary character, so the output outgrows the input.
      {"SCSU", "𐐀𐐁𐐂𐐃𐐄𐐅𐐆𐐇"},
  };
  const std::vector<std::vector<size_t>> readSizes = {{1001}, {65536}, {3, 65536}};
  for (const auto& row : rows) {
    for (int shift = 0; shift < 3; ++shift) {
      UnicodeString text(shift, u'x', shift);
      while (encode(text, row.encoding).size() < 20000)
        text += u(row.sample);
      const std::string bytes = encode(text, row.encoding);
      for (const auto& sizes : readSizes)
        EXPECT_EQ(decode(bytes, row.encoding, sizes), utf16le(text)) << row.encoding << " shift " << shift << " read " << sizes.back();
    }
  }
}

TEST(ICUIStream, ShortAndMalformedInput) {
  std::string continuations; // HZ line continuations convert to nothing
  while (continuations.size() < 9001)
    continuations += "~\n";
  const struct {
    const char* encoding;
    std::string bytes;
    UnicodeString text;
  } rows[] = {
      {"ISO-8859-1", "ab", u("ab")},
      {"HZ", continuations + "x", u("x")}, // no output for more than a whole read is not the end
      {"UTF-16", "\xFF\xFE", u("")},
      // Malformed bytes become substitution characters and the text goes on after them.
      {"UTF-8", "a\xFF" "b", u("a\uFFFDb")},
      {"UTF-8", "ab\xE3\x81", u("ab\uFFFD")}, // truncated at the end
      {"UTF-8", std::string(4095, 'x') + "\xE3", UnicodeString(4095, u'x', 4095) + u'\uFFFD'},
      {"UTF-8", std::string(10000, '\xFF') + "end", UnicodeString(10000, 0xFFFD, 10000) + u("end")},
      {"Shift_JIS", "a\xA0\xFD" "b", u("a\x1A\x1A" "b")},
      {"EUC-JP", "a\xA4" "b", u("a\x1A" "b")},
      {"GB18030", "a\x81\x30" "b", u("a\uFFFD" "0b")},
      {"ISO-8859-7", "a\xAE" "b", u("a\uFFFD" "b")},
  };
  for (const auto& row : rows)
    EXPECT_EQ(decode(row.bytes, row.encoding), utf16le(row.text)) << row.encoding << " " << row.text.length();
}

TEST(ICUIStream, OpenStateAndPutBack) {
  for (const char* encoding : {"x-bogus", "", static_cast<const char*>(nullptr)}) {
    std::istringstream source("abc");
    EKICUIStream stream(&source, encoding);
    EXPECT_FALSE(stream.is_open());
    EXPECT_EQ(stream.get(), EOF);
    EXPECT_TRUE(stream.eof());
    EXPECT_EQ(source.tellg(), 0); // a closed stream never reads its source
  }
  std::istringstream empty("");
  EKICUIStream atEnd(&empty, "UTF-8");
  EXPECT_TRUE(atEnd.is_open());
  EXPECT_EQ(atEnd.get(), EOF);
  EXPECT_FALSE(atEnd.is_open()); // the converter is closed at the end

  // Eight bytes delivered before a refill can still be put back after it.
  std::string digits;
  for (int i = 0; digits.size() < 20000; ++i)
    digits += std::to_string(i);
  std::istringstream source(digits);
  EKICUIStream stream(&source, "US-ASCII");
  std::string bytes(8193, '\0'), again(9, '\0');
  ASSERT_TRUE(stream.read(&bytes[0], 8192));
  bytes[8192] = static_cast<char>(stream.get());
  for (int i = 0; i < 9; ++i)
    EXPECT_TRUE(stream.unget()) << i;
  stream.read(&again[0], 9);
  EXPECT_EQ(again, bytes.substr(8184));
}

TEST(ICUIStream, DetectEncoding) {
  const UnicodeString japanese = u("日本語のテキストです。これは文字コードの判定のための文章です。ひらがなとカタカナと漢字が混ざっています。");
  const struct {
    std::string bytes;
    std::string encoding;
  } rows[] = {
      {"<?xml version=\"1.0\" encoding=\"EUC-JP\"?><a/>", "EUC-JP"},
      {"<?xml version=\"1.0\" encoding=\"" + std::string(150, 'A') + "\"?>", std::string(99, 'A')},
      {"<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>" + encode(japanese, "Shift_JIS"), ""},
      {"<?xml version=\"1.0\" encoding='UTF-8'?><a/>", ""},
      {"<?xml version=\"1.0\"?>" + encode(japanese, "EUC-JP"), ""},
      {"", ""},
      {encode(japanese, "Shift_JIS"), "Shift_JIS"},
      {encode(japanese, "EUC-JP"), "EUC-JP"},
      {encode(japanese, "UTF-8"), "UTF-8"},
      // Only the bytes before the first zero byte are searched for a declaration.
      {encode(u("<?xml version=\"1.0\" encoding=\"EUC-JP\"?><a/>"), "UTF-16LE"), "UTF-16LE"},
      {std::string("<?xml \0 encoding=\"EUC-JP\"?>", 27), "ISO-8859-1"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(detect(row.bytes), row.encoding) << row.bytes.substr(0, 60);
  // Only the first 1024 bytes are looked at.
  std::string late(1024, ' ');
  while (late.size() < 8000)
    late += encode(japanese, "EUC-JP");
  EXPECT_EQ(detect(late), detect(late.substr(0, 1024)));
  EXPECT_NE(detect(late), "EUC-JP");

  // The stream is left at its start with its state cleared, whatever it was.
  std::istringstream consumed("<?xml version=\"1.0\" encoding=\"EUC-JP\"?><a/>");
  consumed.ignore(1000);
  EXPECT_STREQ(EKICUIStream::detectEncoding(&consumed), "EUC-JP");
  EXPECT_TRUE(consumed.good());
  EXPECT_EQ(consumed.get(), '<');

  // A transcoding stream cannot seek: nothing is read from it.
  std::istringstream latin1("<?xml version=\"1.0\" encoding=\"EUC-JP\"?>");
  EKICUIStream unseekable(&latin1, "ISO-8859-1");
  EXPECT_STREQ(EKICUIStream::detectEncoding(&unseekable), "");
  EXPECT_TRUE(unseekable.good());
  EXPECT_EQ(unseekable.get(), '<');
  EXPECT_STREQ(EKICUIStream::detectEncoding(nullptr), "");
}

TEST(ICUIStream, DetectEncodingResultsDoNotCrossThreads) {
  int mismatches[2] = {0, 0};
  auto run = [&mismatches](int t, const char* name) {
    for (int i = 0; i < 300; ++i) {
      std::istringstream in(std::string("<?xml version=\"1.0\" encoding=\"") + name + "\"?>");
      const char* result = EKICUIStream::detectEncoding(&in);
      std::this_thread::yield();
      mismatches[t] += std::string(result) != name;
    }
  };
  std::thread other(run, 1, "UTF-16");
  run(0, "EUC-JP");
  other.join();
  EXPECT_EQ(mismatches[0] + mismatches[1], 0);
}
