#include "frontend/listed_pictures.h"

#include <algorithm>
#include <functional>
#include <random>
#include <utility>

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

ListedPictures::ListedPictures(std::string_view list_text)
    : lines_(SplitLines(list_text)), taken_(lines_.size(), false), rows_(lines_.size()) {
  for (std::size_t row = 0; row < lines_.size(); ++row) {
    lengths_.insert(lines_[row].size());
    std::string picture = shared::Trim(lines_[row]);
    if (picture.empty()) {
      blank_rows_.push_back(row);
      continue;
    }
    rows_of_picture_[picture].push_back(row);
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
  ForgetPicture(picture);
  std::vector<std::size_t> rows = std::exchange(blank_rows_, {});
  if (const auto found = rows_of_picture_.find(picture); found != rows_of_picture_.end()) {
    rows.insert(rows.end(), found->second.begin(), found->second.end());
    rows_of_picture_.erase(found);
  }
  TakeRows(std::move(rows));
  TrimEnds();
}

std::string ListedPictures::FirstLine() const {
  const std::optional<std::size_t> first = FirstRow();
  return first ? lines_[*first] : std::string();
}

std::vector<std::string> ListedPictures::Lines() const {
  std::vector<std::string> left;
  for (std::size_t row = 0; row < lines_.size(); ++row) {
    if (!taken_[row]) left.push_back(lines_[row]);
  }
  return left;
}

std::string ListedPictures::Text() const {
  return JoinLines(Lines());
}

std::vector<ListChange> ListedPictures::TakeChanges() {
  return std::exchange(changes_, {});
}

void ListedPictures::ForgetPicture(const std::string& picture) {
  const auto [first, last] = by_hash_.equal_range(HashOf(picture));
  const auto found =
      std::find_if(first, last, [&](const auto& entry) { return entry.second == picture; });
  if (found != last) by_hash_.erase(found);
}

// From the last row up, so that each change's row still counts the rows above
// it as they stand.
void ListedPictures::TakeRows(std::vector<std::size_t> rows) {
  std::sort(rows.begin(), rows.end(), std::greater<>());
  for (const std::size_t row : rows) {
    changes_.push_back({rows_.PlaceOf(row), std::nullopt});
    lengths_.erase(lengths_.find(lines_[row].size()));
    rows_.Take(row);
    taken_[row] = true;
    std::string().swap(lines_[row]);
  }
}

void ListedPictures::TrimEnds() {
  if (const std::optional<std::size_t> first = FirstRow()) {
    const std::string& line = lines_[*first];
    if (!line.empty() && IsBlank(line.front())) {
      Rewrite(*first, std::string(std::find_if_not(line.begin(), line.end(), IsBlank), line.end()));
    }
  }
  if (const std::optional<std::size_t> last = LastRow()) {
    const std::string& line = lines_[*last];
    if (!line.empty() && IsBlank(line.back())) {
      Rewrite(*last, std::string(line.begin(),
                                 std::find_if_not(line.rbegin(), line.rend(), IsBlank).base()));
    }
  }
}

void ListedPictures::Rewrite(std::size_t row, std::string text) {
  lengths_.erase(lengths_.find(lines_[row].size()));
  lengths_.insert(text.size());
  changes_.push_back({rows_.PlaceOf(row), text});
  lines_[row] = std::move(text);
}

std::optional<std::size_t> ListedPictures::LastRow() const {
  if (rows_.Left() == 0) return std::nullopt;
  return rows_.RowAt(rows_.Left() - 1);
}

}  // namespace quorvel
