// The buffer behind EKMemStream: content in fixed-size blocks that never move once stored, with
// input streams queued behind them that are read lazily, block by block, as reading or seeking
// needs more. Separate get and put positions, both absolute byte offsets in the content.
#pragma once

#include "ekcommon/core/EKExport.h"

#include <cstdint>
#include <cstddef>
#include <deque>
#include <istream>
#include <memory>
#include <streambuf>
#include <string>

namespace EKCommonNS {

class EKCOMMON_API EKMemStreamBuf : public std::streambuf {
public:
  static constexpr size_t DEFAULT_GROW_BYTES = 8192;
  // Blocks larger than this are not useful and would overflow the buffer pointers' offsets.
  static constexpr size_t MAX_GROW_BYTES = size_t(1) << 30;

  explicit EKMemStreamBuf(size_t growBytes = DEFAULT_GROW_BYTES);
  // Copies the content held and the two positions; the other's queued sources are read first.
  EKMemStreamBuf(const EKMemStreamBuf& other);
  EKMemStreamBuf& operator=(const EKMemStreamBuf& other);
  // Deletes the sources it owns.
  ~EKMemStreamBuf() override;

  // Block size (0 means the default, larger values are capped); takes effect only while the
  // buffer holds no block.
  void setGrowBytes(size_t growBytes);
  size_t getGrowBytes() const { return m_growBytes; }
  // With keep memory off, blocks already read past are recycled when reading needs a new one,
  // so a stream read once from front to back holds about three blocks; seeking back before
  // them then fails.
  void setKeepMemory(bool keep) { m_keepMemory = keep; }
  // Queues a further source whose bytes follow the content; with owns, it is deleted once read.
  void setSource(std::istream* source, bool owns);
  // The source being read, or null.
  std::istream* getSource() const { return m_sources.empty() ? nullptr : m_sources.front().stream; }
  // Bytes left in the current get area.
  size_t getRemains() const { return static_cast<size_t>(egptr() - gptr()); }

  // Sets p to the get position and returns the number of bytes from there to the end of its
  // block, moving the get position past them; 0 at the end of the content.
  size_t getBuffer(const char*& p) { return getBuffer(p, SIZE_MAX); }
  // The same, taking at most max bytes.
  size_t getBuffer(const char*& p, size_t max);
  // Moves the get position to the next occurrence of the n bytes of pattern at or after it
  // (n = 0: pattern is zero-terminated). False, with the get position at the end, when there is
  // none; false at once for an empty pattern.
  bool searchSeek(const char* pattern, size_t n);
  // When the next n bytes equal pattern (n = 0: zero-terminated), moves past them and returns true.
  bool skipSeek(const char* pattern, size_t n);
  // Moves past the next line end: up to the first CR or LF, then over the whole run of them.
  void seekEOL();
  // Reads every source, then cuts the content to n bytes (nothing when n >= length); positions
  // beyond n move back to n.
  void trim(size_t n);
  // Discards the whole content, the queued sources included, and rewinds.
  void remove();
  void clear() { remove(); }
  // Frees the blocks before the ones holding the get and put positions.
  void abandonBuffer();
  // Appends the whole content to s.
  void appendToString(std::string& s);
  // Reads up to n bytes of in straight into the content at the put position; returns the count.
  size_t copyStream(std::istream& in, size_t n);
  // The OpenType table checksum of the whole content: the sum modulo 2^32 of its big-endian
  // 32-bit words, the last one padded with zero bytes.
  uint32_t calcOTFTableChecksum();
  // The 16 raw bytes of the MD5 digest of the whole content.
  std::string getMD5();
  // Content length; reads every source.
  uint64_t length();
  // Reads every queued source into blocks.
  void readAllSources();

protected:
  int_type underflow() override;
  int_type overflow(int_type c) override;
  int_type pbackfail(int_type c) override;
  std::streamsize xsgetn(char* s, std::streamsize n) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
  pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;

private:
  struct Source {
    std::istream* stream;
    bool owned;
  };
  using Block = std::unique_ptr<char[]>;

  size_t blockCount() const { return m_blocks.size(); }
  size_t blockLength(size_t index) const { return index + 1 < m_blocks.size() ? m_growBytes : m_lastLength; }
  uint64_t blockStart(size_t index) const { return (m_droppedBlocks + index) * m_growBytes; }
  uint64_t heldLength() const;
  uint64_t getPosition() const;
  uint64_t putPosition() const;
  // Brings the last-block length up to the furthest byte written in it.
  void syncPut();
  void setGetBlock(size_t index, size_t offset);
  void setPutBlock(size_t index, size_t offset);
  // Appends an empty block (recycling an old one when keep memory is off) and fills it from the
  // sources.
  void appendBlock();
  // Reads sources into the free part of the last block; false when no source is left.
  bool fillFromSources();
  void dropSource();
  // Reads sources until the content holds more than pos bytes; false when it cannot.
  bool ensureLength(uint64_t pos);
  // Moves the put area to the next block, appending one past the end.
  void advancePutBlock();
  bool matchesAt(uint64_t pos, const char* pattern, size_t n);
  bool locate(uint64_t pos, size_t& index, size_t& offset) const;
  void copyFrom(EKMemStreamBuf& other);

  std::deque<Block> m_blocks;
  size_t m_getBlock = 0;
  size_t m_putBlock = 0;
  size_t m_lastLength = 0;
  // Blocks freed from the front; positions stay absolute.
  uint64_t m_droppedBlocks = 0;
  std::deque<Source> m_sources;
  size_t m_growBytes;
  bool m_keepMemory = true;
};

} // namespace EKCommonNS
