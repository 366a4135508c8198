#pragma once
// The pictures of the list as reports name them, and the search for the one a
// report starts with. A report is "source|result" where either part may hold
// "|", so every "|" is a place the source may end; the search looks at all of
// them in one walk over the report, so that a report made of nothing but "|"
// costs no more than any other of its length.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quorvel {

class ListedPictures {
 public:
  // Each line of `list_text`, trimmed: a path with blanks at an end sits
  // untrimmed in the middle of the list but trimmed at its start or end.
  explicit ListedPictures(std::string_view list_text);

  // Where the source of `report` ends: at the last "|" whose left part,
  // trimmed, is a listed picture, else at the first "|"; nothing when the
  // report holds no "|".
  std::optional<std::size_t> SourceEnd(std::string_view report) const;

  void Erase(const std::string& picture);

  // The length of the longest line of the list, blanks included: no report of
  // a listed picture has a longer source.
  std::size_t LongestLine() const { return longest_line_; }

 private:
  // A bar whose trimmed left part has the hash and length of a listed picture.
  struct Candidate {
    std::size_t bar;
    std::size_t source_length;
    std::uint64_t hash;
  };

  std::vector<Candidate> CandidatesIn(std::string_view report, std::size_t start) const;
  bool MayBeListed(std::size_t length, std::uint64_t hash) const;
  bool Contains(std::string_view picture, std::uint64_t hash) const;

  std::unordered_multimap<std::uint64_t, std::string> by_hash_;
  // Indexed by length: most bars of a long report are ruled out by this alone.
  std::vector<bool> has_length_;
  std::size_t longest_line_ = 0;
};

}  // namespace quorvel
