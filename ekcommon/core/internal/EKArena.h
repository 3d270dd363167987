// Fast memory for the many small objects of a document tree (nodes, attribute maps, the texts of
// string values). A document makes its arena current while it loads; objects allocated then are
// cut from 64 KiB chunks instead of taken from the heap one by one. Each chunk counts the objects
// that live in it and goes back to the heap when the last one dies, so objects may outlive the
// document and be freed on any thread. Objects allocated with no arena current come from the
// heap. Either way every object carries one word before it that says where it came from.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace EKCommonNS {

class EKArena {
public:
  EKArena() = default;
  // Gives up the chunk being filled; it is freed once its objects are gone.
  ~EKArena();
  EKArena(const EKArena&) = delete;
  EKArena& operator=(const EKArena&) = delete;

  // Memory for an object of `size` bytes, aligned to 8 bytes: from the calling thread's current
  // arena, or from the heap. Throws std::bad_alloc like operator new.
  static void* allocate(size_t size);
  // Frees memory from allocate for an object of `size` bytes (null does nothing).
  static void deallocate(void* memory, size_t size) noexcept;

  // Makes an arena current on this thread for its lifetime (null: none), restoring the previous.
  class Scope {
  public:
    explicit Scope(EKArena* arena);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

  private:
    EKArena* m_previous;
  };

private:
  struct Chunk {
    // The objects alive in the chunk, plus one while the arena still fills it.
    std::atomic<int64_t> references;
  };
  static constexpr size_t CHUNK_SIZE = 64 * 1024;
  // Larger objects come from the heap: they would waste the end of a chunk.
  static constexpr size_t LARGEST = 512;

  void* take(size_t bytes);
  static void releaseChunk(Chunk* chunk) noexcept;

  Chunk* m_chunk = nullptr;
  char* m_next = nullptr;
  char* m_end = nullptr;
};

} // namespace EKCommonNS
