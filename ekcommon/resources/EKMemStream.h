// A growable, seekable in-memory byte stream: what the library writes into and reads back from
// wherever data is buffered. It can pull its content lazily from source streams queued behind
// it, hand out its blocks without copying, and move its content into a temporary file.
//
//   EKMemStream buffer;
//   buffer << "<doc/>";                  // writes append at the put position
//   buffer.begin();                      // rewind for reading
//   std::string all;
//   buffer.appendToString(all);
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/resources/EKMemStreamBuf.h"
#include "ekcommon/resources/EKTempFile.h"

#include <iostream>
#include <string>

namespace EKCommonNS {

class EKCOMMON_API EKMemStream : public std::iostream {
public:
  // Empty content, with `source` (when not null) queued to be read as needed; with ownsSource
  // the stream deletes it once it is read.
  explicit EKMemStream(std::istream* source = nullptr, size_t growBytes = EKMemStreamBuf::DEFAULT_GROW_BYTES,
                       bool ownsSource = false);
  // Reads `source` lazily (8192-byte blocks); the source must outlive the reading.
  explicit EKMemStream(std::istream& source);
  // A copy holds the same content (the other's queued sources are read first) and positions.
  EKMemStream(const EKMemStream& other);
  EKMemStream& operator=(const EKMemStream& other);
  ~EKMemStream() override;

  EKMemStream& writeStr(const char* s);
  EKMemStream& operator+=(const std::string& s);
  // Clears a failed state and moves the get position to 0.
  void begin();
  // Discard the whole content and clear a failed state.
  void erase();
  void remove() { erase(); }
  uint64_t size() { return m_buf.length(); }
  uint64_t length() { return m_buf.length(); }
  bool empty() { return m_buf.length() == 0; }

  void setSource(std::istream* source, bool owns) { m_buf.setSource(source, owns); }
  void setGrowBytes(size_t growBytes) { m_buf.setGrowBytes(growBytes); }
  void setKeepMemory(bool keep) { m_buf.setKeepMemory(keep); }
  void abandonBuffer() { m_buf.abandonBuffer(); }
  void appendToString(std::string& s) { m_buf.appendToString(s); }
  size_t getBuffer(const char*& p) { return m_buf.getBuffer(p); }
  size_t copyStream(std::istream& in, size_t n) { return m_buf.copyStream(in, n); }
  bool searchSeek(const char* pattern, size_t n) { return m_buf.searchSeek(pattern, n); }
  bool skipSeek(const char* pattern, size_t n) { return m_buf.skipSeek(pattern, n); }
  void seekEOL() { m_buf.seekEOL(); }
  void trim(size_t n) { m_buf.trim(n); }
  uint32_t calcOTFTableChecksum() { return m_buf.calcOTFTableChecksum(); }
  std::string getMD5() { return m_buf.getMD5(); }
  EKMemStreamBuf& getStreamBuf() { return m_buf; }

  // Moves the content into a new temporary file (prefix "EKMem", extension ".tmp") that the
  // stream then reads through its buffer and removes when it goes; both positions return to 0.
  // Does nothing when a temporary file is in use already. On a write failure the content stays
  // in memory, the file is removed, the stream's failbit is set and false is returned.
  bool changeTempBuffer();
  // When the stream was switched to another buffer and no temporary file is in use: puts the
  // memory buffer back and rewinds both positions.
  void resetBuffer();

private:
  EKMemStreamBuf m_buf;
  EKTempFile m_tempFile;
};

} // namespace EKCommonNS
