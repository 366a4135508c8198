#pragma once
// The picture list of a run as the window holds it: its lines byte for byte,
// the pictures as reports name them, and the search for the one a report
// starts with. A report is "source|result" where either part may hold "|", so
// every "|" is a place the source may end; the search looks at all of them in
// one walk over the report, so that a report made of nothing but "|" costs no
// more than any other of its length. Taking a picture off costs time in its
// own lines, not in the list's length, and every change is kept for the view
// of the list to replay.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "frontend/row_ranks.h"

namespace quorvel {

// One change to the list's shown lines: `row` counts the lines left when it
// was made. Without a text the row went; with one, it reads so now.
struct ListChange {
  std::size_t row = 0;
  std::optional<std::string> text;
  bool operator==(const ListChange&) const = default;
};

class ListedPictures {
 public:
  // Each line of `list_text` as it stands (see SplitLines); as a picture,
  // trimmed: a path with blanks at an end sits untrimmed in the middle of the
  // list but trimmed at its start or end.
  explicit ListedPictures(std::string_view list_text = {});

  // Where the source of `report` ends: at the last "|" whose left part,
  // trimmed, is a listed picture, else at the first "|"; nothing when the
  // report holds no "|".
  std::optional<std::size_t> SourceEnd(std::string_view report) const;

  // Takes every line that, trimmed, is `picture` off the list, and every blank
  // line with them, then trims the list's ends, as a text box whose text is
  // rebuilt without those lines would hold it.
  void Erase(const std::string& picture);

  // The length of the longest line of the list, blanks included: no report of
  // a listed picture has a longer source.
  std::size_t LongestLine() const { return lengths_.empty() ? 0 : *lengths_.rbegin(); }

  std::size_t Count() const { return rows_.Left(); }
  std::string FirstLine() const;  // the empty text when no line is left
  std::vector<std::string> Lines() const;
  std::string Text() const;  // the lines left, joined by CR LF

  // The changes since the last call, in the order they were made.
  std::vector<ListChange> TakeChanges();

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
  void ForgetPicture(const std::string& picture);
  void TakeRows(std::vector<std::size_t> rows);
  void TrimEnds();
  void Rewrite(std::size_t row, std::string text);
  std::optional<std::size_t> FirstRow() const { return rows_.RowAt(0); }
  std::optional<std::size_t> LastRow() const;

  std::vector<std::string> lines_;
  std::vector<bool> taken_;
  RowRanks rows_;
  std::unordered_map<std::string, std::vector<std::size_t>> rows_of_picture_;
  std::vector<std::size_t> blank_rows_;
  std::multiset<std::size_t> lengths_;
  std::vector<ListChange> changes_;

  std::unordered_multimap<std::uint64_t, std::string> by_hash_;
  // Indexed by length: most bars of a long report are ruled out by this alone.
  std::vector<bool> has_length_;
};

}  // namespace quorvel
