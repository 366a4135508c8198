#include "frontend/eliding_label.h"

#include <QPainter>
#include <QStyle>

#include "frontend/qt_convert.h"

namespace quorvel {

QString ElidingLabel::ShownText() const {
  return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

void ElidingLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  style()->drawItemText(&painter, contentsRect(), static_cast<int>(alignment()), palette(),
                        isEnabled(), ShownText(), foregroundRole());
}

void ShowWholeText(QLabel* label, const std::string& text) {
  const QString whole = ToQString(text);
  label->setText(whole);
  label->setToolTip(whole);
}

}  // namespace quorvel
