#include "frontend/listed_pictures.h"

#include <algorithm>
#include <random>

#include "frontend/memo_text.h"
#include "shared/helpers.h"

namespace quorvel {
namespace {

// Polynomial hashes modulo the prime 2^61 - 1, with a base drawn once per
// process: a peer that cannot know the base cannot make texts collide on
// purpose, and a collision by chance costs one comparison.
constexpr std::uint64_t kModulus = (std::uint64_t{1} << 61) - 1;

__extension__ typedef unsigned __int128 WideProduct;

std::uint64_t MultiplyModulo(std::uint64_t a, std::uint64_t b) {
  const WideProduct product = static_cast<WideProduct>(a) * b;
  const std::uint64_t folded =
      static_cast<std::uint64_t>(product & kModulus) + static_cast<std::uint64_t>(product >> 61);
  return folded >= kModulus ? folded - kModulus : folded;
}

std::uint64_t HashBase() {
  static const std::uint64_t base = [] {
    std::random_device device;
    return std::uniform_int_distribution<std::uint64_t>(256, kModulus - 1)(device);
  }();
  return base;
}

std::uint64_t Extend(std::uint64_t hash, char next, std::uint64_t base) {
  const std::uint64_t extended = MultiplyModulo(hash, base) + static_cast<unsigned char>(next);
  return extended >= kModulus ? extended - kModulus : extended;
}

std::uint64_t HashOf(std::string_view text) {
  const std::uint64_t base = HashBase();
  std::uint64_t hash = 0;
  for (const char c : text) hash = Extend(hash, c, base);
  return hash;
}

// What shared::Trim drops at either end.
bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

}  // namespace

ListedPictures::ListedPictures(std::string_view list_text) {
  for (const auto& line : SplitLines(list_text)) {
    longest_line_ = std::max(longest_line_, line.size());
    std::string picture = shared::Trim(line);
    if (picture.empty()) continue;
    if (picture.size() >= has_length_.size()) has_length_.resize(picture.size() + 1);
    has_length_[picture.size()] = true;
    const std::uint64_t hash = HashOf(picture);
    if (!Contains(picture, hash)) by_hash_.emplace(hash, std::move(picture));
  }
}

std::optional<std::size_t> ListedPictures::SourceEnd(std::string_view report) const {
  const std::size_t first_bar = report.find('|');
  if (first_bar == std::string_view::npos) return std::nullopt;
  const std::size_t start =
      std::find_if_not(report.begin(), report.end(), IsBlank) - report.begin();
  const std::vector<Candidate> candidates = CandidatesIn(report, start);
  for (auto candidate = candidates.rbegin(); candidate != candidates.rend(); ++candidate) {
    const auto left_part = report.substr(start, candidate->source_length);
    if (Contains(left_part, candidate->hash)) return candidate->bar;
  }
  return first_bar;
}

// One walk from `start`: the hash of each left part extends the one before by
// a character, and the walk ends once the left part, trimmed, is longer than
// any listed picture.
std::vector<ListedPictures::Candidate> ListedPictures::CandidatesIn(std::string_view report,
                                                                    std::size_t start) const {
  const std::uint64_t base = HashBase();
  std::vector<Candidate> candidates;
  std::uint64_t hash = 0;
  std::size_t trimmed_length = 0;
  std::uint64_t trimmed_hash = 0;
  for (std::size_t i = start; i < report.size() && trimmed_length < has_length_.size(); ++i) {
    if (report[i] == '|' && MayBeListed(trimmed_length, trimmed_hash)) {
      candidates.push_back({i, trimmed_length, trimmed_hash});
    }
    hash = Extend(hash, report[i], base);
    if (!IsBlank(report[i])) {
      trimmed_length = i + 1 - start;
      trimmed_hash = hash;
    }
  }
  return candidates;
}

bool ListedPictures::MayBeListed(std::size_t length, std::uint64_t hash) const {
  return length < has_length_.size() && has_length_[length] && by_hash_.contains(hash);
}

bool ListedPictures::Contains(std::string_view picture, std::uint64_t hash) const {
  const auto [first, last] = by_hash_.equal_range(hash);
  return std::any_of(first, last, [&](const auto& entry) { return entry.second == picture; });
}

void ListedPictures::Erase(const std::string& picture) {
  const auto [first, last] = by_hash_.equal_range(HashOf(picture));
  const auto found =
      std::find_if(first, last, [&](const auto& entry) { return entry.second == picture; });
  if (found != last) by_hash_.erase(found);
}

}  // namespace quorvel
