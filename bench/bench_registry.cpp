// Costs of the registry store: single writes (each its own transaction), the
// settings save (~80 values in one batch), reads and key opening.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "platform/registry.h"

using namespace trawler::platform;

namespace {

class Scratch {
 public:
  Scratch() {
    std::string pattern = "/tmp/trawler-bench-XXXXXX";
    if (::mkdtemp(pattern.data())) Path = pattern;
  }
  ~Scratch() {
    std::error_code ec;
    std::filesystem::remove_all(Path, ec);
  }
  std::filesystem::path Path;
};

const char *const DefaultsKey = "\\Software\\Oxbow\\Trawler\\Defaults";

void SingleWrite(benchmark::State &state) {
  Scratch dir;
  RegistryStore store(dir.Path);
  RegKey key(store);
  key.OpenKey(DefaultsKey, true);
  int i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(key.WriteInteger("FontSize", i++));
}
BENCHMARK(SingleWrite);

void SettingsSaveBatch(benchmark::State &state) {
  Scratch dir;
  RegistryStore store(dir.Path);
  RegKey key(store);
  const int values = static_cast<int>(state.range(0));
  for (auto _ : state) {
    RegistryBatch batch(store);
    key.OpenKey(DefaultsKey, true);
    for (int v = 0; v < values; ++v) key.WriteString("Value" + std::to_string(v), "some text");
    benchmark::DoNotOptimize(batch.Commit());
  }
}
BENCHMARK(SettingsSaveBatch)->Arg(80)->Unit(benchmark::kMillisecond);

void SettingsSaveUnbatched(benchmark::State &state) {
  Scratch dir;
  RegistryStore store(dir.Path);
  RegKey key(store);
  const int values = static_cast<int>(state.range(0));
  for (auto _ : state) {
    key.OpenKey(DefaultsKey, true);
    for (int v = 0; v < values; ++v) key.WriteString("Value" + std::to_string(v), "some text");
  }
}
BENCHMARK(SettingsSaveUnbatched)->Arg(80)->Unit(benchmark::kMillisecond);

void ReadValue(benchmark::State &state) {
  Scratch dir;
  RegistryStore store(dir.Path);
  RegKey key(store);
  key.OpenKey(DefaultsKey, true);
  for (int v = 0; v < 80; ++v) key.WriteString("Value" + std::to_string(v), "some text");
  for (auto _ : state) benchmark::DoNotOptimize(key.ReadString("value42"));
}
BENCHMARK(ReadValue);

void OpenExistingKey(benchmark::State &state) {
  Scratch dir;
  RegistryStore store(dir.Path);
  RegKey key(store);
  key.OpenKey(DefaultsKey, true);
  for (auto _ : state) benchmark::DoNotOptimize(key.OpenKey(DefaultsKey, true));
}
BENCHMARK(OpenExistingKey);

}  // namespace

BENCHMARK_MAIN();
