#pragma once
// A one-line label that keeps to the room it is given: a text too long for it
// is shown with its middle left out, and the whole text is its tooltip.

#include <QLabel>
#include <string>

namespace quorvel {

class ElidingLabel : public QLabel {
 public:
  using QLabel::QLabel;
  // The text as it is drawn in the label's present width.
  QString ShownText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// Sets the label's text and, so it can be read whole, its tooltip.
void ShowWholeText(QLabel* label, const std::string& text);

}  // namespace quorvel
