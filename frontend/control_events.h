#pragma once
// Which Qt signal stands for a control's click, change and close-up, in one
// place. A check box's click runs on every change of its state, also from
// code; a radio button's when it becomes checked, by the user or by code; a
// list's change only when the user really changes the selection (selecting
// from code runs nothing); a list's close-up whenever the user closes its open
// list; an image, label or panel's click on a press and release over it while
// it is enabled (a double-click is one click). Every handler runs guarded: an
// error no handler caught is reported and the window goes on.

#include <QComboBox>
#include <QObject>
#include <functional>
#include <string>

class QCheckBox;
class QRadioButton;
class QTimer;
class QWidget;

namespace quorvel {

// A drop-down list that tells a change made by the user apart from one made by
// code, and tells when the user closes its open list.
class ListBox : public QComboBox {
  Q_OBJECT
 public:
  explicit ListBox(QWidget* parent = nullptr);
  void showPopup() override;
  void hidePopup() override;

 signals:
  void userChanged();
  void closedUp();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void OnActivated(int index);
  int index_before_user_action_ = -1;
  bool popup_open_ = false;
};

class ControlEvents {
 public:
  using Handler = std::function<void()>;
  using ErrorReport = std::function<void(const std::string&)>;

  explicit ControlEvents(ErrorReport report_error);

  void OnClick(QCheckBox* box, Handler handler);
  void OnClick(QRadioButton* button, Handler handler);
  // Images, labels, panels, memos.
  void OnClick(QWidget* widget, Handler handler);
  void OnChange(ListBox* list, Handler handler);
  void OnCloseUp(ListBox* list, Handler handler);
  void OnTimer(QTimer* timer, Handler handler);

  // Runs `handler`; an error it lets out is reported, never passed on.
  void Guarded(const Handler& handler) const;

 private:
  ErrorReport report_error_;
};

// Selects entry `index` from code, running no handler; an index that is no
// entry of the list leaves it without a selection.
void SelectIndex(QComboBox* list, int index);

// Thrown by a step whose failure was already reported: ends the handler quietly.
struct AlreadyReported {};

}  // namespace quorvel
