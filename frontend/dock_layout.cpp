#include "frontend/dock_layout.h"

#include <QWidget>

namespace quorvel {

DockLayout::DockLayout(QWidget* parent) : QLayout(parent) {
  setContentsMargins(0, 0, 0, 0);
  setSpacing(0);
}

DockLayout::~DockLayout() {
  for (auto& entry : items_) delete entry.item;
}

void DockLayout::AddDocked(QWidget* widget, Dock dock) {
  addChildWidget(widget);
  items_.append({new QWidgetItem(widget), dock});
  invalidate();
}

void DockLayout::addItem(QLayoutItem* item) {
  items_.append({item, Dock::Rest});
}

QLayoutItem* DockLayout::itemAt(int index) const {
  return index >= 0 && index < items_.size() ? items_[index].item : nullptr;
}

QLayoutItem* DockLayout::takeAt(int index) {
  if (index < 0 || index >= items_.size()) return nullptr;
  return items_.takeAt(index).item;
}

QSize DockLayout::sizeHint() const {
  return parentWidget() ? parentWidget()->size() : QSize();
}

QSize DockLayout::minimumSize() const {
  return QSize(0, 0);
}

void DockLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  QRect rest = rect;
  for (const auto& [item, dock] : items_) {
    QWidget* widget = item->widget();
    if (!widget || widget->isHidden()) continue;
    const int width = widget->width();
    const int height = widget->height();
    switch (dock) {
      case Dock::Top:
        widget->setGeometry(rest.left(), rest.top(), rest.width(), height);
        rest.setTop(rest.top() + height);
        break;
      case Dock::Bottom:
        widget->setGeometry(rest.left(), rest.bottom() + 1 - height, rest.width(), height);
        rest.setBottom(rest.bottom() - height);
        break;
      case Dock::Left:
        widget->setGeometry(rest.left(), rest.top(), width, rest.height());
        rest.setLeft(rest.left() + width);
        break;
      case Dock::Rest:
      case Dock::None:
        widget->setGeometry(rest);
        break;
    }
  }
}

}  // namespace quorvel
