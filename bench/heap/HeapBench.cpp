// Heap benchmarks: allocate/free of mixed small sizes and of one size against
// glibc malloc, and collection time per MiB of live small objects. Each run
// verifies the heap afterwards, so a fast wrong heap does not pass unnoticed.
#include "Heap.h"
#include "PolicyFloorHeap.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kOps = 100000;
constexpr int kWindow = 512;   // objects alive at once

// One fixed sequence of sizes for both allocators: with range 0 mixed
// (4..160 bytes, biased small), otherwise every request that many bytes,
// as in a program making many objects of one class.
const std::vector<TUint32>& sizes(TInt64 fixed) {
  static std::map<TInt64, std::vector<TUint32>> tables;
  std::vector<TUint32>& v = tables[fixed];
  if (!v.empty()) return v;
  std::mt19937 rng(42);
  v.resize(kOps);
  for (TUint32& x : v) x = fixed ? TUint32(fixed) : 4 + (rng() % 4 == 0 ? rng() % 157 : rng() % 29);
  return v;
}

// Each step allocates one object and frees one chosen from the live window.
std::vector<int> victims() {
  std::mt19937 rng(7);
  std::vector<int> v(kOps);
  for (int& x : v) x = static_cast<int>(rng() % kWindow);
  return v;
}

Vec<Vec<int>> gRefFields, gVecFields;
Vec<Vec<char>> gVecFlags;

// The timed part of each allocator benchmark: step i replaces the object in
// a window slot chosen at random with a new one of the i-th size. Returns
// the window, whose objects the caller releases.
template <typename Slot, typename Replace>
std::vector<Slot> replaceInWindow(benchmark::State& state, Replace replace) {
  const std::vector<TUint32>& sz = sizes(state.range(0));
  const std::vector<int> vic = victims();
  std::vector<Slot> window(kWindow, Slot());
  for (auto _ : state)
    for (int i = 0; i < kOps; ++i) replace(window[vic[i]], sz[i]);
  state.SetItemsProcessed(state.iterations() * kOps);
  return window;
}

void BM_HeapAllocFree(benchmark::State& state) {
  VMHeap heap(nullptr, VMHeap::kDefaultPoolSize, gRefFields, gVecFields, gVecFlags);
  std::vector<VMAddr> window = replaceInWindow<VMAddr>(state, [&](VMAddr& slot, TUint32 size) {
    heap.freeObject(slot);
    slot = heap.allocate(size, 0, GC_CODE_LEAF);
  });
  for (VMAddr& a : window) heap.freeObject(a), a = 0;
  heap.verify();
  if (heap.nOfEntries() != 0) state.SkipWithError("heap lost entries");
}

void BM_MallocFree(benchmark::State& state) {
  std::vector<void*> window = replaceInWindow<void*>(state, [](void*& slot, TUint32 size) {
    std::free(slot);
    slot = std::malloc(size);
    benchmark::DoNotOptimize(slot);
    std::memset(slot, 0, size);   // the heap hands out zero-filled storage too
  });
  for (void*& p : window) std::free(p), p = nullptr;
}

// Where each object went: its pool and its offset in the pool.
template <typename H>
std::pair<TUint32, TUint32> placeOf(const H& heap, TUint32 object) {
  TUint32 pool = 0;
  while (pool + 1 < TUint32(heap.poolCount()) && heap.poolStart(pool + 1) <= object) ++pool;
  return {pool, object - heap.poolStart(pool)};
}

// Whether the floor model places every object where VMHeap does.
bool samePlaces(TInt64 fixed) {
  VMHeap heap(nullptr, VMHeap::kDefaultPoolSize, gRefFields, gVecFields, gVecFlags);
  PolicyFloorHeap floor(VMHeap::kDefaultPoolSize);
  const std::vector<TUint32>& sz = sizes(fixed);
  const std::vector<int> vic = victims();
  std::vector<VMAddr> a(kWindow, 0), b(kWindow, 0);
  bool same = true;
  for (int i = 0; i < kOps && same; ++i) {
    const int v = vic[i];
    heap.freeObject(a[v]);
    if (b[v]) floor.release(b[v]);
    a[v] = heap.allocate(sz[i], 0, GC_CODE_LEAF);
    b[v] = floor.allocate(sz[i]);
    same = placeOf(heap, a[v]) == placeOf(floor, b[v]);
  }
  for (VMAddr& x : a) heap.freeObject(x), x = 0;
  return same;
}

// The block-choice rules alone (PolicyFloorHeap), checked first to place
// every object where VMHeap does.
void BM_PolicyFloor(benchmark::State& state) {
  if (!samePlaces(state.range(0))) return state.SkipWithError("the floor model places objects elsewhere");
  PolicyFloorHeap heap(VMHeap::kDefaultPoolSize);
  replaceInWindow<TUint32>(state, [&](TUint32& slot, TUint32 size) {
    if (slot) heap.release(slot);
    slot = heap.allocate(size);
  });
}

// A live graph of small class objects (4 words: class id, two references,
// one datum), each linked to its predecessor and to a random earlier one.
void BM_CollectLive(benchmark::State& state) {
  Vec<Vec<int>> refFields;
  refFields.resize(1);
  refFields[0].append(1);
  refFields[0].append(2);
  VMHeap heap(nullptr, VMHeap::kDefaultPoolSize, refFields, gVecFields, gVecFlags);
  const TInt64 target = state.range(0) << 20;
  std::mt19937 rng(3);
  std::vector<VMAddr> objects;
  VMAddr previous = 0;
  TInt64 bytes = 0;
  while (bytes < target) {
    const VMAddr o = heap.allocateWords(4, GC_CODE_CLASS_OBJECT);
    heapWord(o + 4) = previous;
    heapWord(o + 8) = objects.empty() ? 0 : objects[rng() % objects.size()];
    objects.push_back(o);
    previous = o;
    bytes += 16 + kBlockOverhead;
  }
  heap.addRoot(previous);
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    heap.collect();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  heap.verify();
  if (heap.nOfEntries() != TInt32(objects.size())) state.SkipWithError("collector freed live objects");
  state.counters["objects"] = double(objects.size());
  state.counters["ms_per_MiB"] =
      benchmark::Counter(seconds * 1e3 / double(state.range(0)), benchmark::Counter::kAvgIterations);
}

BENCHMARK(BM_HeapAllocFree)->Arg(0)->Arg(24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MallocFree)->Arg(0)->Arg(24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PolicyFloor)->Arg(0)->Arg(24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CollectLive)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// Remembers real time per run so the allocator ratio can be printed.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) times[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const char* arg : {"0", "24"}) {
    const char* shape = arg[0] == '0' ? "mixed small sizes" : "24 bytes each";
    const auto time = [&](const char* name) {
      const auto t = reporter.times.find(std::string(name) + "/" + arg);
      return t == reporter.times.end() ? 0.0 : t->second;
    };
    const double heap = time("BM_HeapAllocFree"), libc = time("BM_MallocFree"), rules = time("BM_PolicyFloor");
    if (heap > 0 && libc > 0) std::printf("VMHeap / malloc time ratio (alloc+free, %s): %.2f\n", shape, heap / libc);
    if (rules > 0 && libc > 0) std::printf("rules alone / malloc (%s): %.2f\n", shape, rules / libc);
  }
  benchmark::Shutdown();
  return 0;
}
