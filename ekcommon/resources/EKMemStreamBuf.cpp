#include "ekcommon/resources/EKMemStreamBuf.h"

#include "ekcommon/crypto/EKMD5.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace EKCommonNS {

namespace {
size_t effectiveGrowBytes(size_t growBytes) {
  if (growBytes == 0)
    return EKMemStreamBuf::DEFAULT_GROW_BYTES;
  return std::min(growBytes, EKMemStreamBuf::MAX_GROW_BYTES);
}

// A pattern's length: n, or up to its terminating zero when n is 0; 0 for no pattern.
size_t patternLength(const char* pattern, size_t n) { return !pattern ? 0 : n != 0 ? n : std::strlen(pattern); }
} // namespace

EKMemStreamBuf::EKMemStreamBuf(size_t growBytes) : m_growBytes(effectiveGrowBytes(growBytes)) {}

EKMemStreamBuf::EKMemStreamBuf(const EKMemStreamBuf& other) : std::streambuf(), m_growBytes(other.m_growBytes) {
  // Reading the other's sources changes where its bytes are held, not what its content is.
  copyFrom(const_cast<EKMemStreamBuf&>(other));
}

EKMemStreamBuf& EKMemStreamBuf::operator=(const EKMemStreamBuf& other) {
  if (this != &other) {
    remove();
    copyFrom(const_cast<EKMemStreamBuf&>(other));
  }
  return *this;
}

EKMemStreamBuf::~EKMemStreamBuf() { remove(); }

void EKMemStreamBuf::copyFrom(EKMemStreamBuf& other) {
  other.readAllSources();
  other.syncPut();
  m_growBytes = other.m_growBytes;
  m_keepMemory = other.m_keepMemory;
  m_droppedBlocks = other.m_droppedBlocks;
  m_lastLength = other.m_lastLength;
  for (const Block& block : other.m_blocks) {
    Block copy(new char[m_growBytes]);
    std::memcpy(copy.get(), block.get(), m_growBytes);
    m_blocks.push_back(std::move(copy));
  }
  size_t index = 0, offset = 0;
  if (!m_blocks.empty() && locate(other.getPosition(), index, offset))
    setGetBlock(index, offset);
  if (other.pbase() && locate(other.putPosition(), index, offset))
    setPutBlock(index, offset);
}

void EKMemStreamBuf::setGrowBytes(size_t growBytes) {
  if (m_blocks.empty())
    m_growBytes = effectiveGrowBytes(growBytes);
}

void EKMemStreamBuf::setSource(std::istream* source, bool owns) {
  if (source)
    m_sources.push_back({source, owns});
}

uint64_t EKMemStreamBuf::heldLength() const {
  return m_blocks.empty() ? m_droppedBlocks * m_growBytes : blockStart(m_blocks.size() - 1) + m_lastLength;
}

uint64_t EKMemStreamBuf::getPosition() const {
  return eback() ? blockStart(m_getBlock) + static_cast<uint64_t>(gptr() - eback()) : 0;
}

uint64_t EKMemStreamBuf::putPosition() const {
  return pbase() ? blockStart(m_putBlock) + static_cast<uint64_t>(pptr() - pbase()) : 0;
}

void EKMemStreamBuf::syncPut() {
  if (!pbase() || m_putBlock + 1 != m_blocks.size())
    return;
  const size_t written = static_cast<size_t>(pptr() - pbase());
  if (written > m_lastLength) {
    m_lastLength = written;
    if (eback() && m_getBlock == m_putBlock)
      setg(eback(), gptr(), eback() + m_lastLength);
  }
}

void EKMemStreamBuf::setGetBlock(size_t index, size_t offset) {
  char* block = m_blocks[index].get();
  setg(block, block + offset, block + blockLength(index));
  m_getBlock = index;
}

void EKMemStreamBuf::setPutBlock(size_t index, size_t offset) {
  char* block = m_blocks[index].get();
  setp(block, block + m_growBytes);
  pbump(static_cast<int>(offset));
  m_putBlock = index;
}

bool EKMemStreamBuf::locate(uint64_t pos, size_t& index, size_t& offset) const {
  const uint64_t first = m_droppedBlocks * m_growBytes;
  if (pos < first || m_blocks.empty())
    return false;
  uint64_t blockIndex = (pos - first) / m_growBytes;
  uint64_t blockOffset = (pos - first) % m_growBytes;
  // The end of a full last block belongs to that block, not to one that does not exist.
  if (blockIndex == m_blocks.size() && blockOffset == 0) {
    --blockIndex;
    blockOffset = m_growBytes;
  }
  if (blockIndex >= m_blocks.size() || blockOffset > blockLength(static_cast<size_t>(blockIndex)))
    return false;
  index = static_cast<size_t>(blockIndex);
  offset = static_cast<size_t>(blockOffset);
  return true;
}

void EKMemStreamBuf::appendBlock() {
  syncPut();
  Block block;
  if (!m_keepMemory && m_blocks.size() >= 2) {
    // Blocks before both positions can no longer be read back or written.
    size_t unused = pbase() ? std::min(m_getBlock, m_putBlock) : m_getBlock;
    auto dropFront = [this, &unused]() {
      m_blocks.pop_front();
      ++m_droppedBlocks;
      --m_getBlock;
      if (pbase())
        --m_putBlock;
      --unused;
    };
    while (m_blocks.size() > 2 && unused > 1)
      dropFront();
    if (unused > 0) {
      block = std::move(m_blocks.front());
      dropFront();
      std::memset(block.get(), 0, m_growBytes);
    }
  }
  if (!block)
    block.reset(new char[m_growBytes]());
  const bool first = m_blocks.empty();
  m_blocks.push_back(std::move(block));
  m_lastLength = 0;
  if (first)
    setGetBlock(0, 0);
  else if (eback() && m_getBlock + 2 == m_blocks.size())
    setGetBlock(m_getBlock, static_cast<size_t>(gptr() - eback())); // that block is full now
  fillFromSources();
}

void EKMemStreamBuf::dropSource() {
  Source source = m_sources.front();
  m_sources.pop_front();
  if (source.owned)
    delete source.stream;
}

bool EKMemStreamBuf::fillFromSources() {
  if (m_sources.empty() || m_blocks.empty())
    return false;
  while (!m_sources.empty() && m_lastLength < m_growBytes) {
    std::istream* in = m_sources.front().stream;
    const size_t want = m_growBytes - m_lastLength;
    size_t got = 0;
    try {
      in->read(m_blocks.back().get() + m_lastLength, static_cast<std::streamsize>(want));
      got = static_cast<size_t>(in->gcount());
    } catch (...) {
      // A source that throws counts as exhausted, like one that fails.
      got = 0;
    }
    m_lastLength += got;
    if (got < want)
      dropSource();
  }
  if (eback() && m_getBlock + 1 == m_blocks.size())
    setGetBlock(m_getBlock, static_cast<size_t>(gptr() - eback()));
  return true;
}

bool EKMemStreamBuf::ensureLength(uint64_t pos) {
  syncPut();
  while (heldLength() <= pos && !m_sources.empty()) {
    if (m_blocks.empty() || m_lastLength == m_growBytes)
      appendBlock();
    else
      fillFromSources();
  }
  return heldLength() > pos;
}

void EKMemStreamBuf::readAllSources() { ensureLength(std::numeric_limits<uint64_t>::max()); }

uint64_t EKMemStreamBuf::length() {
  readAllSources();
  return heldLength();
}

EKMemStreamBuf::int_type EKMemStreamBuf::underflow() {
  syncPut();
  for (;;) {
    if (gptr() < egptr())
      return traits_type::to_int_type(*gptr());
    if (m_blocks.empty()) {
      if (m_sources.empty())
        return traits_type::eof();
      appendBlock();
      continue;
    }
    const size_t offset = static_cast<size_t>(gptr() - eback());
    if (offset < blockLength(m_getBlock)) {
      setGetBlock(m_getBlock, offset);
    } else if (m_getBlock + 1 < m_blocks.size()) {
      setGetBlock(m_getBlock + 1, 0);
    } else if (m_sources.empty()) {
      return traits_type::eof();
    } else if (m_lastLength < m_growBytes) {
      fillFromSources();
    } else {
      appendBlock();
    }
  }
}

std::streamsize EKMemStreamBuf::xsgetn(char* s, std::streamsize n) {
  std::streamsize done = 0;
  while (done < n) {
    if (gptr() == egptr() && traits_type::eq_int_type(underflow(), traits_type::eof()))
      break;
    const std::streamsize chunk = std::min<std::streamsize>(n - done, egptr() - gptr());
    std::memcpy(s + done, gptr(), static_cast<size_t>(chunk));
    gbump(static_cast<int>(chunk));
    done += chunk;
  }
  return done;
}

EKMemStreamBuf::int_type EKMemStreamBuf::pbackfail(int_type c) {
  syncPut();
  if (!eback())
    return traits_type::eof();
  if (gptr() > eback())
    gbump(-1);
  else if (m_getBlock > 0)
    setGetBlock(m_getBlock - 1, m_growBytes - 1);
  else
    return traits_type::eof();
  if (!traits_type::eq_int_type(c, traits_type::eof()))
    *gptr() = traits_type::to_char_type(c);
  return traits_type::not_eof(c);
}

void EKMemStreamBuf::advancePutBlock() {
  syncPut();
  const size_t next = m_putBlock + 1;
  if (next >= m_blocks.size())
    appendBlock();
  setPutBlock(std::min(next, m_blocks.size() - 1), 0);
}

EKMemStreamBuf::int_type EKMemStreamBuf::overflow(int_type c) {
  // Writing sees the whole content, so that queued input never lands after newer output.
  readAllSources();
  if (!pbase()) {
    if (m_droppedBlocks > 0)
      return traits_type::eof();
    if (m_blocks.empty())
      appendBlock();
    setPutBlock(0, 0);
  }
  if (pptr() == epptr())
    advancePutBlock();
  if (traits_type::eq_int_type(c, traits_type::eof()))
    return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

std::streamsize EKMemStreamBuf::xsputn(const char* s, std::streamsize n) {
  std::streamsize done = 0;
  while (done < n) {
    if ((!pbase() || pptr() == epptr()) && traits_type::eq_int_type(overflow(traits_type::eof()), traits_type::eof()))
      break;
    const std::streamsize chunk = std::min<std::streamsize>(n - done, epptr() - pptr());
    std::memcpy(pptr(), s + done, static_cast<size_t>(chunk));
    pbump(static_cast<int>(chunk));
    done += chunk;
  }
  return done;
}

EKMemStreamBuf::pos_type EKMemStreamBuf::seekoff(off_type off, std::ios_base::seekdir dir,
                                                 std::ios_base::openmode which) {
  syncPut();
  const bool in = (which & std::ios_base::in) != 0;
  const bool out = (which & std::ios_base::out) != 0;
  int64_t base = 0;
  if (dir == std::ios_base::cur) {
    if (in == out)
      return pos_type(off_type(-1));
    base = static_cast<int64_t>(in ? getPosition() : putPosition());
  } else if (dir == std::ios_base::end) {
    base = static_cast<int64_t>(length());
  }
  if ((off > 0 && base > std::numeric_limits<int64_t>::max() - off))
    return pos_type(off_type(-1));
  return seekpos(pos_type(off_type(base + off)), which);
}

EKMemStreamBuf::pos_type EKMemStreamBuf::seekpos(pos_type pos, std::ios_base::openmode which) {
  const off_type target = off_type(pos);
  const bool in = (which & std::ios_base::in) != 0;
  const bool out = (which & std::ios_base::out) != 0;
  if (target < 0 || (!in && !out))
    return pos_type(off_type(-1));
  const uint64_t at = static_cast<uint64_t>(target);
  if (at > 0)
    ensureLength(at - 1);
  syncPut();
  if (at > heldLength() && !out)
    return pos_type(off_type(-1));
  if (at < m_droppedBlocks * m_growBytes)
    return pos_type(off_type(-1));
  if (out) {
    readAllSources();
    // Writing may go on beyond the end: the blocks up to the target are made.
    while (at / m_growBytes >= m_droppedBlocks + m_blocks.size())
      appendBlock();
    if (at < m_droppedBlocks * m_growBytes)
      return pos_type(off_type(-1));
    const uint64_t rel = at - m_droppedBlocks * m_growBytes;
    setPutBlock(static_cast<size_t>(rel / m_growBytes), static_cast<size_t>(rel % m_growBytes));
  }
  if (in) {
    size_t index = 0, offset = 0;
    if (locate(at, index, offset))
      setGetBlock(index, offset);
    else if (at != 0 || !m_blocks.empty())
      return pos_type(off_type(-1));
  }
  return pos;
}

size_t EKMemStreamBuf::getBuffer(const char*& p, size_t max) {
  syncPut();
  p = nullptr;
  if (gptr() == egptr() && traits_type::eq_int_type(underflow(), traits_type::eof()))
    return 0;
  p = gptr();
  const size_t n = std::min(max, static_cast<size_t>(egptr() - gptr()));
  setg(eback(), gptr() + n, egptr());
  return n;
}

bool EKMemStreamBuf::matchesAt(uint64_t pos, const char* pattern, size_t n) {
  if (!ensureLength(pos + n - 1))
    return false;
  for (size_t i = 0; i < n; ++i) {
    size_t index = 0, offset = 0;
    if (!locate(pos + i, index, offset) || offset >= blockLength(index) || m_blocks[index][offset] != pattern[i])
      return false;
  }
  return true;
}

bool EKMemStreamBuf::searchSeek(const char* pattern, size_t n) {
  n = patternLength(pattern, n);
  if (n == 0)
    return false;
  for (;;) {
    if (gptr() == egptr() && traits_type::eq_int_type(underflow(), traits_type::eof()))
      return false;
    char* hit = static_cast<char*>(std::memchr(gptr(), pattern[0], static_cast<size_t>(egptr() - gptr())));
    if (!hit) {
      setg(eback(), egptr(), egptr());
      continue;
    }
    setg(eback(), hit, egptr());
    if (matchesAt(getPosition(), pattern, n))
      return true;
    gbump(1);
  }
}

bool EKMemStreamBuf::skipSeek(const char* pattern, size_t n) {
  n = patternLength(pattern, n);
  if (n == 0)
    return false;
  syncPut();
  const uint64_t pos = getPosition();
  if (!matchesAt(pos, pattern, n))
    return false;
  return seekpos(pos_type(off_type(pos + n)), std::ios_base::in) != pos_type(off_type(-1));
}

void EKMemStreamBuf::seekEOL() {
  const int_type eof = traits_type::eof();
  int_type c = sgetc();
  while (c != eof && c != '\r' && c != '\n')
    c = snextc();
  while (c == '\r' || c == '\n')
    c = snextc();
}

void EKMemStreamBuf::trim(size_t n) {
  readAllSources();
  syncPut();
  uint64_t cut = std::max<uint64_t>(n, m_droppedBlocks * m_growBytes);
  if (cut >= heldLength())
    return;
  const uint64_t getPos = getPosition(), putPos = putPosition();
  const bool hadPut = pbase() != nullptr;
  if (cut == 0) {
    remove();
    return;
  }
  const uint64_t rel = cut - m_droppedBlocks * m_growBytes;
  const size_t keep = static_cast<size_t>((rel + m_growBytes - 1) / m_growBytes);
  m_blocks.resize(keep);
  m_lastLength = rel % m_growBytes == 0 ? (keep > 0 ? m_growBytes : 0) : static_cast<size_t>(rel % m_growBytes);
  setg(nullptr, nullptr, nullptr);
  setp(nullptr, nullptr);
  m_getBlock = m_putBlock = 0;
  size_t index = 0, offset = 0;
  if (locate(std::min(getPos, cut), index, offset))
    setGetBlock(index, offset);
  if (hadPut && locate(std::min(putPos, cut), index, offset))
    setPutBlock(index, offset);
}

void EKMemStreamBuf::remove() {
  m_blocks.clear();
  while (!m_sources.empty())
    dropSource();
  m_droppedBlocks = 0;
  m_lastLength = 0;
  m_getBlock = m_putBlock = 0;
  setg(nullptr, nullptr, nullptr);
  setp(nullptr, nullptr);
}

void EKMemStreamBuf::abandonBuffer() {
  syncPut();
  if (m_blocks.empty())
    return;
  const size_t unused = pbase() ? std::min(m_getBlock, m_putBlock) : m_getBlock;
  for (size_t i = 0; i < unused; ++i)
    m_blocks.pop_front();
  m_droppedBlocks += unused;
  m_getBlock -= unused;
  if (pbase())
    m_putBlock -= unused;
}

void EKMemStreamBuf::appendToString(std::string& s) {
  readAllSources();
  for (size_t i = 0; i < m_blocks.size(); ++i)
    s.append(m_blocks[i].get(), blockLength(i));
}

size_t EKMemStreamBuf::copyStream(std::istream& in, size_t n) {
  size_t copied = 0;
  while (copied < n) {
    if ((!pbase() || pptr() == epptr()) && traits_type::eq_int_type(overflow(traits_type::eof()), traits_type::eof()))
      break;
    const size_t want = std::min(n - copied, static_cast<size_t>(epptr() - pptr()));
    in.read(pptr(), static_cast<std::streamsize>(want));
    const size_t got = static_cast<size_t>(in.gcount());
    pbump(static_cast<int>(got));
    copied += got;
    if (got < want)
      break;
  }
  syncPut();
  return copied;
}

uint32_t EKMemStreamBuf::calcOTFTableChecksum() {
  readAllSources();
  uint32_t sum = 0, word = 0;
  unsigned filled = 0;
  for (size_t i = 0; i < m_blocks.size(); ++i) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(m_blocks[i].get());
    for (size_t k = 0, len = blockLength(i); k < len; ++k) {
      word = word << 8 | p[k];
      if (++filled == 4) {
        sum += word;
        word = 0;
        filled = 0;
      }
    }
  }
  if (filled > 0)
    sum += word << (8 * (4 - filled));
  return sum;
}

std::string EKMemStreamBuf::getMD5() {
  readAllSources();
  MD5_CTX md5;
  for (size_t i = 0; i < m_blocks.size(); ++i)
    md5.Update(reinterpret_cast<const unsigned char*>(m_blocks[i].get()), blockLength(i));
  unsigned char digest[MD5_CTX::DIGEST_LENGTH];
  md5.Final(digest);
  return std::string(reinterpret_cast<const char*>(digest), sizeof digest);
}

} // namespace EKCommonNS
