#pragma once
// Rows of which some have been taken away: the place of a row among those
// left, and the row at a place, each in time logarithmic in the rows' number,
// so that taking rows off a long list one by one costs no walk over it.

#include <cstddef>
#include <optional>
#include <vector>

namespace quorvel {

class RowRanks {
 public:
  explicit RowRanks(std::size_t rows = 0) : counts_(rows + 1, 0), left_(rows) {
    for (std::size_t i = 1; i <= rows; ++i) {
      counts_[i] += 1;
      const std::size_t parent = i + (i & (~i + 1));
      if (parent <= rows) counts_[parent] += counts_[i];
    }
  }

  std::size_t Left() const { return left_; }

  // The rows left before `row`.
  std::size_t PlaceOf(std::size_t row) const {
    std::size_t place = 0;
    for (std::size_t i = row; i > 0; i -= i & (~i + 1)) place += counts_[i];
    return place;
  }

  // The row left at `place` (counted from 0), if so many are left.
  std::optional<std::size_t> RowAt(std::size_t place) const {
    if (place >= left_) return std::nullopt;
    std::size_t row = 0;
    std::size_t step = 1;
    while (step * 2 < counts_.size()) step *= 2;
    for (; step > 0; step /= 2) {
      if (row + step < counts_.size() && counts_[row + step] <= place) {
        row += step;
        place -= counts_[row];
      }
    }
    return row;
  }

  // Only for a row that is still left.
  void Take(std::size_t row) {
    for (std::size_t i = row + 1; i < counts_.size(); i += i & (~i + 1)) counts_[i] -= 1;
    --left_;
  }

 private:
  std::vector<std::size_t> counts_;  // a Fenwick tree over "left" marks
  std::size_t left_;
};

}  // namespace quorvel
