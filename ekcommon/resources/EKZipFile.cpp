#include "ekcommon/resources/EKZipFile.h"

#include "ekcommon/resources/EKMemStream.h"
#include "ekcommon/resources/internal/EKUtf8.h"

#include <algorithm>
#include <fstream>

namespace EKCommonNS {

namespace {
// The end record is searched for in steps of 32 bytes back from the end, at most 320 bytes.
constexpr int END_SEARCH_STEP = 32;
constexpr int END_SEARCH_STEPS = 10;
constexpr size_t ARCHIVE_BLOCK = 8192;
} // namespace

EKZipFile::EKZipFile() = default;

EKZipFile::~EKZipFile() {
  dropEntries();
  if (m_ownsInput)
    delete m_in;
}

void EKZipFile::dropEntries() {
  for (const EKPtr<EKZipFileEntry>& entry : m_entries)
    entry->detach();
  m_entries.clear();
  m_byName.clear();
}

bool EKZipFile::open(const UnicodeString& path) { return open(toUtf8(path).c_str()); }

bool EKZipFile::open(const char* utf8Path) {
  if (!utf8Path)
    return false;
  auto file = std::make_unique<std::ifstream>(utf8Path, std::ios::binary);
  if (!*file)
    return false;
  return open(file.release(), true);
}

bool EKZipFile::open(std::istream* in, bool owned) {
  dropEntries();
  m_memory.reset();
  if (m_ownsInput)
    delete m_in;
  m_in = in;
  m_ownsInput = owned && in;
  if (!in)
    return false;
  init();
  return true;
}

EKPtr<EKZipFileEntry> EKZipFile::getFileEntry(unsigned index) const {
  return index < m_entries.size() ? m_entries[index] : EKPtr<EKZipFileEntry>();
}

EKPtr<EKZipFileEntry> EKZipFile::getFileEntry(const UnicodeString& name) const {
  auto found = m_byName.find(name);
  return found == m_byName.end() ? EKPtr<EKZipFileEntry>() : found->second;
}

EKPtr<EKZipFileEntry> EKZipFile::createZipFileEntry() { return EKPtr<EKZipFileEntry>(new EKZipFileEntry()); }

bool EKZipFile::isZipFile(const UnicodeString& path) { return isZipFile(toUtf8(path).c_str()); }

bool EKZipFile::isZipFile(const char* utf8Path) {
  if (!utf8Path)
    return false;
  std::ifstream file(utf8Path, std::ios::binary);
  return file && isZipFile(&file);
}

bool EKZipFile::isZipFile(std::istream* in) {
  if (!in)
    return false;
  const uint32_t signature = EKZipEntry::getSignature(*in);
  return signature == EKZipEntry::LOCAL_HEADER_SIGNATURE || signature == EKZipEntry::DIRECTORY_SIGNATURE ||
         signature == EKZipEntry::END_DIRECTORY_SIGNATURE;
}

void EKZipFile::addEntry(const EKPtr<EKZipFileEntry>& entry) {
  m_entries.push_back(entry);
  m_byName.emplace(entry->getName(), entry);
}

void EKZipFile::init() {
  dropEntries();
  m_in->clear();
  m_in->seekg(0);
  m_in->clear();
  m_memory = std::make_unique<EKMemStream>(m_in, ARCHIVE_BLOCK, false);
  EKMemStream& archive = *m_memory;
  const int64_t length = static_cast<int64_t>(archive.length());
  bool found = false;
  for (int step = 1; step <= END_SEARCH_STEPS && !found; ++step) {
    const int64_t from = std::max<int64_t>(0, length - END_SEARCH_STEP * step);
    archive.clear();
    archive.seekg(from);
    found = archive.searchSeek("PK\x05\x06", 4);
    if (from == 0)
      break;
  }
  archive.clear();
  if (found)
    readDirectory();
  else
    scanLocalHeaders();
  clearOverlaps();
}

void EKZipFile::readDirectory() {
  EKMemStream& archive = *m_memory;
  const EKZipEndDirectoryEntry end(archive);
  archive.clear();
  if (!archive.seekg(end.directoryOffset))
    return;
  while (EKZipEntry::getSignature(archive) == EKZipEntry::DIRECTORY_SIGNATURE) {
    const EKZipDirectoryEntry directory(archive);
    const std::streampos next = archive.tellg();
    archive.clear();
    if (!archive.seekg(directory.localHeaderOffset)) {
      archive.clear();
      archive.seekg(next);
      continue;
    }
    EKPtr<EKZipFileEntry> entry = createZipFileEntry();
    entry->read(archive, false);
    entry->setDirectoryEntry(directory);
    addEntry(entry);
    archive.clear();
    if (!archive.seekg(next))
      break;
  }
}

void EKZipFile::scanLocalHeaders() {
  EKMemStream& archive = *m_memory;
  archive.clear();
  archive.seekg(0);
  for (;;) {
    const uint32_t signature = EKZipEntry::getSignature(archive);
    if (signature == EKZipEntry::LOCAL_HEADER_SIGNATURE) {
      EKPtr<EKZipFileEntry> entry = createZipFileEntry();
      entry->read(archive, true);
      addEntry(entry);
    } else if (signature == EKZipEntry::DESCRIPTOR_SIGNATURE) {
      const EKZipExtheaderEntry descriptor(archive);
      if (!m_entries.empty())
        m_entries.back()->setExtHeader(descriptor);
    } else if (signature == EKZipEntry::DIRECTORY_SIGNATURE || signature == EKZipEntry::END_DIRECTORY_SIGNATURE) {
      break;
    } else if (archive.get() == std::char_traits<char>::eof()) {
      break; // neither a record nor a byte left
    }
    if (!archive.good())
      break;
  }
}

void EKZipFile::clearOverlaps() {
  const uint64_t length = m_memory->length();
  std::vector<EKZipFileEntry*> byOffset;
  for (const EKPtr<EKZipFileEntry>& entry : m_entries)
    byOffset.push_back(entry.get());
  std::stable_sort(byOffset.begin(), byOffset.end(), [](const EKZipFileEntry* a, const EKZipFileEntry* b) {
    return a->getDataOffset() < b->getDataOffset();
  });
  uint64_t coveredUpTo = 0;
  for (EKZipFileEntry* entry : byOffset) {
    const uint64_t start = entry->getDataOffset();
    const uint64_t end = std::min<uint64_t>(start + entry->getCompressedSize(), length);
    if (start >= end)
      continue;
    if (start < coveredUpTo)
      entry->clearSizes();
    else
      coveredUpTo = end;
  }
}

} // namespace EKCommonNS
