// libxml2's tree dump (xmlDocDumpMemory), the baseline that the benchmarks of saving compare the
// library's writing against, timed the same way in each of them.
#pragma once

#include <benchmark/benchmark.h>
#include <libxml/tree.h>

#include <cstdint>

// Dumps `doc` into a new buffer, freed each time, as often as the benchmark runs; bytes_per_second
// and the output_bytes counter count the output.
inline void timeXmlDocDumpMemory(benchmark::State& state, xmlDocPtr doc) {
  int size = 0;
  for (auto _ : state) {
    xmlChar* memory = nullptr;
    xmlDocDumpMemory(doc, &memory, &size);
    benchmark::DoNotOptimize(memory);
    xmlFree(memory);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
  state.counters["output_bytes"] = size;
}
