// kaleth-bench: what a frame of each slot costs, drawn through the program's own frame path
// (the timeline's Dispatch, the scene, CopyCanvas and PresentFrame) after the real start-up on
// the headless backend, beside the cost of copying one canvas: the memory floor; and how fast the
// whole production plays through that path when nothing waits for a screen.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "kaleth_build.h"
#include "platform/data_folder.h"
#include "platform/direct3d/pipeline/span_shading.h"
#include "platform/backends/machine_profile.h"
#include "platform/threads/worker_pool.h"
#include "platform/backends/headless/headless_backend.h"
#include "core/canvas.h"
#include "runtime/entry.h"
#include "runtime/timeline.h"
#include "scenes/soft/pixel_bytes.h"
#include "apps/bench/bench_options.h"
#include "apps/bench/pipeline_cases.h"
#include "apps/bench/slot_cases.h"

namespace {

struct Measured {
  std::string slot;  // "-" for the memory floor, "all" for the whole production
  std::string label;
  int threads;       // the drawing threads it was measured with
  double medianMs;
  double minimumMs;
  double framesPerSecond;  // 1000 / median; for the whole production, frames over the time they took
};

constexpr std::uint32_t kSixtyHertzMicroseconds = 16667;

std::vector<Measured> Results;
double FloorMedianMs = 0;
std::vector<std::string> ProductionSummaries;  // each whole-production pass in a sentence

std::string Threads(int count) { return std::to_string(count) + (count == 1 ? " thread" : " threads"); }

std::string Fixed(double value, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Runs `frame` once per iteration, timing each call, and reports the median and the minimum
// under the slot and label given.
template <typename Frame>
Measured TimeEach(benchmark::State& state, std::string slot, std::string label, Frame frame) {
  std::vector<double> ms;
  ms.reserve(static_cast<std::size_t>(state.max_iterations));
  std::int64_t k = 0;
  for (auto _ : state) {
    const auto begin = std::chrono::steady_clock::now();
    frame(k++);
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
  }
  const double median = Median(ms);
  Measured result{std::move(slot), std::move(label), WorkerThreads(), median, *std::min_element(ms.begin(), ms.end()),
                  median > 0 ? 1000.0 / median : 0.0};
  state.counters["threads"] = result.threads;
  state.counters["median_ms"] = result.medianMs;
  state.counters["min_ms"] = result.minimumMs;
  state.counters["fps"] = result.framesPerSecond;
  if (FloorMedianMs > 0) state.counters["floor_ratio"] = result.medianMs / FloorMedianMs;
  return result;
}

void MeasureFloor(benchmark::State& state) {
  std::vector<std::uint32_t> copy(kCanvasBytes / 4);
  Measured result = TimeEach(state, "-", "canvas copy, 573,440 bytes", [&](std::int64_t) {
    std::memcpy(copy.data(), Canvas, kCanvasBytes);
    benchmark::ClobberMemory();
  });
  result.threads = 1;  // a copy on the calling thread, whatever the pool
  FloorMedianMs = result.medianMs;
  Results.push_back(result);
}

void MeasureSlot(benchmark::State& state, Session& session, const SlotCase& slotCase, int frames) {
  const std::uint32_t start = timeGetTime();
  session.EnterSlot(slotCase.slot, start);
  if (slotCase.prepare) slotCase.prepare();
  const std::uint64_t duration = Schedule()[slotCase.slot].durationMs;
  Measured result = TimeEach(state, std::to_string(slotCase.slot), slotCase.label, [&](std::int64_t k) {
    // The middles of `frames` equal parts of the slot, so every frame stays inside it.
    const auto at = static_cast<std::uint32_t>(duration * static_cast<std::uint64_t>(2 * (k % frames) + 1) /
                                               (2 * static_cast<std::uint64_t>(frames)));
    session.DrawFrame(start + at);
  });
  Results.push_back(result);
}

// Plays the timeline from slot 0's start to endMs in 60 Hz steps, as a capture that keeps
// nothing does: every presented frame moves the virtual clock on and the music keeps up with it,
// so the beat flags flip where they would on a screen and the slots change at their times.
void MeasureProduction(benchmark::State& state, Session& session, HeadlessBackend& backend) {
  const std::uint32_t start = timeGetTime();
  session.EnterSlot(0, start);
  backend.frameStepMicroseconds = kSixtyHertzMicroseconds;
  const auto begin = std::chrono::steady_clock::now();
  Measured result = TimeEach(state, "all", "whole production, 60 fps steps",
                             [&session](std::int64_t) { session.DrawFrame(timeGetTime()); });
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  const double played = static_cast<double>(timeGetTime() - start) / 1000.0;
  backend.frameStepMicroseconds = 0;
  result.framesPerSecond = static_cast<double>(state.iterations()) / seconds;
  state.counters["fps"] = result.framesPerSecond;
  state.counters["x_real_time"] = played / seconds;
  Results.push_back(result);
  ProductionSummaries.push_back(Threads(result.threads) + ": " + std::to_string(state.iterations()) + " frames, " +
                                Fixed(played, 1) + " s of timeline in " + Fixed(seconds, 1) + " s: " +
                                Fixed(result.framesPerSecond, 0) + " frames per second, " + Fixed(played / seconds, 1) +
                                "x real time");
}

void MeasurePipeline(benchmark::State& state, const PipelineCase& pipelineCase) {
  std::string error;
  const std::function<int(std::int64_t)> frame = pipelineCase.prepare(&error);
  if (!error.empty()) {
    state.SkipWithError(error.c_str());
    return;
  }
  int triangles = 0;
  Measured result = TimeEach(state, "3D", pipelineCase.label, [&](std::int64_t k) { triangles = frame(k); });
  if (triangles > 0) state.counters["triangles_per_s"] = triangles / (result.medianMs / 1000.0);
  Results.push_back(result);
}

// Registers `measure` once for every thread count, one after the other, so that the counts are
// compared in the same conditions; each sets the drawing threads before it measures.
void RegisterAtEachSize(const std::string& name, const std::vector<int>& sizes, std::int64_t iterations,
                        const std::function<void(benchmark::State&)>& measure) {
  for (const int threads : sizes) {
    benchmark::RegisterBenchmark((name + " [" + Threads(threads) + "]").c_str(), [threads, measure](benchmark::State& state) {
      SetWorkerThreads(threads);
      measure(state);
    })->Iterations(iterations)->Unit(benchmark::kMillisecond);
  }
}

void RunBenchmarks(const BenchOptions& options, const std::vector<int>& sizes, Session& session,
                   HeadlessBackend& backend) {
  const int frames = options.frames;
  benchmark::RegisterBenchmark("memory floor", MeasureFloor)->Iterations(frames)->Unit(benchmark::kMillisecond);
  for (const SlotCase& slotCase : SlotCases()) {
    if (slotCase.slot >= kSlotCount) {
      std::fprintf(stderr, "kaleth-bench: no slot %u for \"%s\"\n", slotCase.slot, slotCase.label.c_str());
      continue;
    }
    RegisterAtEachSize("slot " + std::to_string(slotCase.slot) + ": " + slotCase.label, sizes, frames,
                       [&session, slotCase, frames](benchmark::State& state) {
                         MeasureSlot(state, session, slotCase, frames);
                       });
  }
  for (const PipelineCase& pipelineCase : PipelineCases()) {
    RegisterAtEachSize("3D pipeline: " + pipelineCase.label, sizes, frames,
                       [&pipelineCase](benchmark::State& state) { MeasurePipeline(state, pipelineCase); });
  }
  // Last, because it plays on from slot 0 through the schedule and leaves the music and the beat
  // flags where the pass ended. Its frames are those with a timeline time before the end.
  const std::int64_t productionFrames =
      (options.productionEndMs * 1000 + kSixtyHertzMicroseconds - 1) / kSixtyHertzMicroseconds;
  RegisterAtEachSize("whole production", sizes, productionFrames,
                     [&session, &backend](benchmark::State& state) { MeasureProduction(state, session, backend); });
  benchmark::RunSpecifiedBenchmarks();
}

// The same measurement at the other thread count, when there is one.
const Measured* AtOtherSize(const Measured& m) {
  for (const Measured& other : Results) {
    if (&other != &m && other.slot == m.slot && other.label == m.label && other.threads != m.threads) return &other;
  }
  return nullptr;
}

void PrintSummary(const BenchOptions& options, const std::vector<int>& sizes) {
  std::printf("\nkaleth-bench: %d frames per slot at times spread over the slot, %s paths%s; milliseconds per frame\n",
              options.frames, options.scalar ? "scalar" : "packed", options.packedSpans ? ", 3D spans packed" : "");
  const bool compared = sizes.size() > 1;
  std::printf("%5s  %-32s %8s %10s %10s %8s %9s", "slot", "scene", "threads", "median", "minimum", "fps", "x floor");
  if (compared) std::printf("  %s", ("ratio to " + Threads(sizes.front())).c_str());
  std::printf("\n");
  for (const Measured& m : Results) {
    std::printf("%5s  %-32s %8d %10.3f %10.3f %8.0f", m.slot.c_str(), m.label.c_str(), m.threads, m.medianMs,
                m.minimumMs, m.framesPerSecond);
    if (FloorMedianMs > 0) std::printf(" %9.1f", m.medianMs / FloorMedianMs);
    else std::printf(" %9s", "");
    const Measured* alone = AtOtherSize(m);
    if (compared && alone != nullptr && m.threads != sizes.front()) {
      // For the whole production the ratio is of frames per second; for the rest, of time.
      const bool production = m.slot == "all";
      std::printf("  %.2f%s", production ? m.framesPerSecond / alone->framesPerSecond : m.medianMs / alone->medianMs,
                  production ? "x the frames per second" : "");
    }
    std::printf("\n");
  }
  for (const std::string& summary : ProductionSummaries) std::printf("whole production at %s\n", summary.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  BenchOptions options;
  std::string error;
  if (!ParseBenchOptions(argc, argv, &options, &error)) {
    if (!error.empty()) std::fprintf(stderr, "kaleth-bench: %s\n", error.c_str());
    std::fputs(BenchUsage().c_str(), error.empty() ? stdout : stderr);
    return error.empty() ? 0 : 2;
  }
  if (options.version) {
    std::printf("kaleth-bench %s\n", KALETH_VERSION);
    return 0;
  }
  const MachineProfile profile = LoadMachineProfile();
  // The run moves to the folder of its package; a report goes where it was asked for from here.
  if (!options.jsonPath.empty()) options.jsonPath = std::filesystem::absolute(options.jsonPath).string();
  for (std::string& flag : options.benchmarkFlags) {
    const std::string out = "--benchmark_out=";
    if (flag.rfind(out, 0) == 0 && flag.size() > out.size())
      flag = out + std::filesystem::absolute(flag.substr(out.size())).string();
  }
  EnterDataFolder("kaleth-bench", KALETH_DATA_FROM_PROGRAMS, profile.dataFolder);
  std::vector<std::string> flags{argv[0]};
  if (!options.jsonPath.empty()) {
    flags.push_back("--benchmark_out=" + options.jsonPath);
    flags.push_back("--benchmark_out_format=json");
  }
  flags.insert(flags.end(), options.benchmarkFlags.begin(), options.benchmarkFlags.end());
  std::vector<char*> flagPointers;
  for (std::string& flag : flags) flagPointers.push_back(flag.data());
  int flagCount = static_cast<int>(flagPointers.size());
  benchmark::Initialize(&flagCount, flagPointers.data());
  if (benchmark::ReportUnrecognizedArguments(flagCount, flagPointers.data())) return 2;

  if (options.scalar) RenderPixelPath = PixelPath::kScalar;
  if (options.packedSpans) LimitSpanPath(SpanPath::kPacked);
  // One thread, then the pool at its full size (KALETH_THREADS or the processor count), or only
  // the count asked for.
  std::vector<int> sizes{1};
  if (options.threads != 0) sizes = {options.threads};
  else if (WorkerThreads() > 1) sizes.push_back(WorkerThreads());
  // After the real start-up the measurements drive the frame path themselves, slot by slot; the
  // virtual clock stands still meanwhile, so that a presented frame costs what it costs on a
  // screen, without the music being rendered up to a later time on the same thread. The run then
  // ends as the close box ends it.
  HeadlessBackend backend;
  bool measured = false;
  {
    Session session(backend, backend);
    if (session.StartUp("")) {
      backend.frameStepMicroseconds = 0;
      RunBenchmarks(options, sizes, session, backend);
      measured = true;
    }
    session.Finish();
  }
  benchmark::Shutdown();
  if (!measured) {
    std::fprintf(stderr, "kaleth-bench: the production did not start, so nothing was measured\n");
    return 1;
  }
  PrintSummary(options, sizes);
  return 0;
}
