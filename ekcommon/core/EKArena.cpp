#include "ekcommon/core/internal/EKArena.h"

#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define EKCOMMON_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define EKCOMMON_ASAN 1
#endif
#endif

#ifdef EKCOMMON_ASAN
#include <sanitizer/asan_interface.h>
// Free parts of chunks are poisoned, so that the address sanitizer still sees a use after free
// or an overflow into a neighbour.
#define EK_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define EK_UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#else
#define EK_POISON(address, size) ((void)(address), (void)(size))
#define EK_UNPOISON(address, size) ((void)(address), (void)(size))
#endif

namespace EKCommonNS {

namespace {

thread_local EKArena* t_current = nullptr;

// The word before each object: the chunk it was cut from, or null for heap memory.
constexpr size_t HEADER = sizeof(void*);

size_t rounded(size_t size) { return (size + HEADER + 7) & ~size_t(7); }

} // namespace

EKArena::~EKArena() {
  if (m_chunk)
    releaseChunk(m_chunk);
}

EKArena::Scope::Scope(EKArena* arena) : m_previous(t_current) { t_current = arena; }

EKArena::Scope::~Scope() { t_current = m_previous; }

void* EKArena::allocate(size_t size) {
  const size_t bytes = rounded(size);
  if (EKArena* arena = t_current; arena && bytes <= LARGEST)
    return arena->take(bytes);
  void** block = static_cast<void**>(::operator new(bytes));
  block[0] = nullptr;
  return block + 1;
}

void* EKArena::take(size_t bytes) {
  if (static_cast<size_t>(m_end - m_next) < bytes) {
    Chunk* chunk = static_cast<Chunk*>(::operator new(CHUNK_SIZE));
    new (&chunk->references) std::atomic<int64_t>(1);
    if (m_chunk)
      releaseChunk(m_chunk);
    m_chunk = chunk;
    m_next = reinterpret_cast<char*>(chunk) + ((sizeof(Chunk) + 7) & ~size_t(7));
    m_end = reinterpret_cast<char*>(chunk) + CHUNK_SIZE;
    EK_POISON(m_next, static_cast<size_t>(m_end - m_next));
  }
  EK_UNPOISON(m_next, bytes);
  void** block = reinterpret_cast<void**>(m_next);
  m_next += bytes;
  m_chunk->references.fetch_add(1, std::memory_order_relaxed);
  block[0] = m_chunk;
  return block + 1;
}

void EKArena::deallocate(void* memory, size_t size) noexcept {
  if (!memory)
    return;
  void** block = static_cast<void**>(memory) - 1;
  Chunk* chunk = static_cast<Chunk*>(block[0]);
  if (!chunk) {
    ::operator delete(block);
    return;
  }
  EK_POISON(block, rounded(size));
  releaseChunk(chunk);
}

void EKArena::releaseChunk(Chunk* chunk) noexcept {
  if (chunk->references.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    EK_UNPOISON(chunk, CHUNK_SIZE);
    chunk->references.~atomic();
    ::operator delete(chunk);
  }
}

} // namespace EKCommonNS
