// Time of one save of the settings: every key but MyTXT written through one
// settings file object and flushed, as the front-end saves after a change and
// once a second. Usage: ini_bench [FOLDER [ROUNDS]]; FOLDER (default: the
// working folder) should lie on the disk the programs are installed on.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "shared/sysconfig.h"

namespace {

constexpr int kDefaultRounds = 200;
constexpr int kWarmUp = 5;
constexpr double kTargetMilliseconds = 2.0;

// One save: values of a realistic length, changing from round to round so
// that every flush really rewrites the file.
void SaveOnce(const std::string& path, int round) {
  platform::IniFile ini(path);
  for (const std::string_view key : shared::SysConfig::AllKeys()) {
    if (key == shared::SysConfig::MyTXT) continue;
    ini.WriteString(shared::SysConfig::Section, key, std::to_string(round * 7 % 256));
  }
  ini.UpdateFile();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : ".";
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : kDefaultRounds;
  const std::string path = (folder / ("ini_bench." + std::to_string(getpid()) + ".ini")).string();
  for (int round = 0; round < kWarmUp; ++round) SaveOnce(path, round);
  std::vector<double> milliseconds;
  for (int round = 0; round < rounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    SaveOnce(path, round);
    const std::chrono::duration<double, std::milli> taken =
        std::chrono::steady_clock::now() - start;
    milliseconds.push_back(taken.count());
  }
  std::filesystem::remove(path);
  const double median = Median(milliseconds);
  std::printf("settings save of %zu keys: median %.3f ms over %d rounds (target %.1f ms)\n",
              shared::SysConfig::KeyCount - 1, median, rounds, kTargetMilliseconds);
  return median <= kTargetMilliseconds ? 0 : 1;
}
