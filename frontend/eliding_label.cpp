#include "frontend/eliding_label.h"

#include <QPainter>
#include <QStyle>

namespace quorvel {

QString ElidingLabel::shownText() const {
  return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

void ElidingLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  style()->drawItemText(&painter, contentsRect(), static_cast<int>(alignment()), palette(),
                        isEnabled(), shownText(), foregroundRole());
}

void ShowWholeText(QLabel* label, const std::string& text) {
  const QString whole = QString::fromStdString(text);
  label->setText(whole);
  label->setToolTip(whole);
}

}  // namespace quorvel
