#include "frontend/control_events.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QEvent>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTimer>
#include <exception>
#include <utility>

namespace quorvel {

namespace {

// A click is a press and a release of the left button over the widget, both
// while it takes input; a release over one of its children belongs to that
// child. Qt shows events to filters before a disabled widget drops them, so a
// greyed control (or one in a greyed window) is checked here. Qt sends a
// double-click's second press as a double-click event: its release is no new
// click. A window blocked by a modal dialog gets no mouse events at all.
class ClickFilter : public QObject {
 public:
  ClickFilter(QWidget* widget, std::function<void()> on_click)
      : QObject(widget), widget_(widget), on_click_(std::move(on_click)) {}

  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
        pressed_ = IsClickPart(*static_cast<QMouseEvent*>(event));
        break;
      case QEvent::MouseButtonDblClick:
        pressed_ = false;
        break;
      case QEvent::MouseButtonRelease:
        if (std::exchange(pressed_, false) && IsClickPart(*static_cast<QMouseEvent*>(event)))
          on_click_();
        break;
      default:
        break;
    }
    return false;
  }

 private:
  bool IsClickPart(const QMouseEvent& mouse) const {
    const QPoint position = mouse.position().toPoint();
    return mouse.button() == Qt::LeftButton && widget_->isEnabled() &&
           widget_->rect().contains(position) && widget_->childAt(position) == nullptr;
  }

  QWidget* widget_;
  std::function<void()> on_click_;
  bool pressed_ = false;
};

}  // namespace

ListBox::ListBox(QWidget* parent) : QComboBox(parent) {
  connect(this, &QComboBox::activated, this, &ListBox::OnActivated);
}

void ListBox::showPopup() {
  index_before_user_action_ = currentIndex();
  popup_open_ = true;
  QComboBox::showPopup();
}

// Qt closes the list before it makes the choice current; the close-up is told
// once the choice has been made. Qt also closes a list that is not open (when
// the box is hidden or disabled): that is no close-up.
void ListBox::hidePopup() {
  QComboBox::hidePopup();
  if (!popup_open_) return;
  popup_open_ = false;
  QMetaObject::invokeMethod(this, &ListBox::closedUp, Qt::QueuedConnection);
}

void ListBox::keyPressEvent(QKeyEvent* event) {
  index_before_user_action_ = currentIndex();
  QComboBox::keyPressEvent(event);
}

void ListBox::wheelEvent(QWheelEvent* event) {
  index_before_user_action_ = currentIndex();
  QComboBox::wheelEvent(event);
}

void ListBox::OnActivated(int index) {
  if (index == index_before_user_action_) return;
  index_before_user_action_ = index;
  emit userChanged();
}

void SelectIndex(QComboBox* list, int index) {
  list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

ControlEvents::ControlEvents(ErrorReport report_error) : report_error_(std::move(report_error)) {}

void ControlEvents::Guarded(const Handler& handler) const {
  try {
    handler();
  } catch (const AlreadyReported&) {
  } catch (const std::exception& error) {
    report_error_(error.what());
  }
}

void ControlEvents::OnClick(QCheckBox* box, Handler handler) {
  QObject::connect(box, &QCheckBox::toggled, box,
                   [this, handler = std::move(handler)](bool) { Guarded(handler); });
}

void ControlEvents::OnClick(QRadioButton* button, Handler handler) {
  QObject::connect(button, &QRadioButton::toggled, button,
                   [this, handler = std::move(handler)](bool checked) {
                     if (checked) Guarded(handler);
                   });
}

void ControlEvents::OnClick(QWidget* widget, Handler handler) {
  auto guarded = [this, handler = std::move(handler)] { Guarded(handler); };
  if (auto* scroll_area = qobject_cast<QAbstractScrollArea*>(widget))
    widget = scroll_area->viewport();
  widget->installEventFilter(new ClickFilter(widget, std::move(guarded)));
}

void ControlEvents::OnChange(ListBox* list, Handler handler) {
  QObject::connect(list, &ListBox::userChanged, list,
                   [this, handler = std::move(handler)] { Guarded(handler); });
}

void ControlEvents::OnCloseUp(ListBox* list, Handler handler) {
  QObject::connect(list, &ListBox::closedUp, list,
                   [this, handler = std::move(handler)] { Guarded(handler); });
}

void ControlEvents::OnTimer(QTimer* timer, Handler handler) {
  QObject::connect(timer, &QTimer::timeout, timer,
                   [this, handler = std::move(handler)] { Guarded(handler); });
}

}  // namespace quorvel
