#pragma once
// Places the children of a panel along its edges in the order they were added,
// the way the window's design aligns them: each takes a strip of its own
// height (top, bottom) or width (left) from what is left, a "rest" child takes
// all that remains. Hidden children take no room.

#include <QLayout>
#include <QList>

namespace quorvel {

enum class Dock { None, Top, Bottom, Left, Rest };

class DockLayout : public QLayout {
 public:
  explicit DockLayout(QWidget* parent);
  ~DockLayout() override;

  void AddDocked(QWidget* widget, Dock dock);

  void addItem(QLayoutItem* item) override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  int count() const override { return static_cast<int>(items_.size()); }
  QSize sizeHint() const override;
  QSize minimumSize() const override;
  void setGeometry(const QRect& rect) override;

 private:
  struct Entry {
    QLayoutItem* item;
    Dock dock;
  };
  QList<Entry> items_;
};

}  // namespace quorvel
