#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "frontend/artwork.h"
#include "frontend/control_events.h"
#include "frontend/eliding_label.h"
#include "frontend/main_window_layout.h"
#include "frontend/qt_convert.h"

namespace quorvel {

namespace {

constexpr int kListHeight = 21;

QFont NamedFont(const char* face, int pixels, bool bold) {
  QFont font(ToQString(face));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

void ApplyFont(QWidget* widget, FontKind kind) {
  switch (kind) {
    case FontKind::Window:
      return;
    case FontKind::Verdana:
      widget->setFont(NamedFont("Verdana", 11, false));
      return;
    case FontKind::VerdanaBold:
      widget->setFont(NamedFont("Verdana", 11, true));
      return;
    case FontKind::Memo:
      widget->setFont(NamedFont("MS Sans Serif", 13, false));
      return;
    case FontKind::Status:
    case FontKind::StyleBold:
      widget->setFont(NamedFont("MS Sans Serif", 11, true));
      return;
    case FontKind::StyleItalic:
    case FontKind::StyleUnderline:
    case FontKind::StyleStrikeOut: {
      QFont font = NamedFont("MS Sans Serif", 11, true);
      font.setItalic(kind == FontKind::StyleItalic);
      font.setUnderline(kind == FontKind::StyleUnderline);
      font.setStrikeOut(kind == FontKind::StyleStrikeOut);
      widget->setFont(font);
      return;
    }
  }
}

QWidget* MakePanel(const ControlRow& row, QWidget* parent) {
  auto* panel = new QFrame(parent);
  panel->setFrameStyle(row.flags & kBorder ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
  panel->setAutoFillBackground(true);
  if (row.colour != kNoColour) {
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, ToQColor(row.colour));
    panel->setPalette(palette);
  }
  return panel;
}

QWidget* MakeLabel(const ControlRow& row, QWidget* parent) {
  const QString caption = ToQString(row.caption);
  QLabel* label =
      row.flags & kElide ? new ElidingLabel(caption, parent) : new QLabel(caption, parent);
  if (row.colour != kNoColour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ToQColor(row.colour));
    label->setPalette(palette);
  }
  return label;
}

QWidget* MakeImage(const ControlRow& row, QWidget* parent) {
  auto* image = new QLabel(parent);
  if (!row.caption.empty()) image->setPixmap(QPixmap(ArtworkPath(row.caption)));
  image->setScaledContents(row.flags & kStretch);
  return image;
}

QWidget* MakeMemo(const ControlRow& row, QWidget* parent) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setReadOnly(row.flags & kReadOnly);
  if (row.flags & kReadOnly) memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  if (row.flags & kNoBorder) memo->setFrameStyle(QFrame::NoFrame);
  return memo;
}

QWidget* MakeRadio(const ControlRow& row, QWidget* parent) {
  auto* button = new QRadioButton(ToQString(row.caption), parent);
  auto* group = parent->findChild<QButtonGroup*>(QString(), Qt::FindDirectChildrenOnly);
  if (!group) group = new QButtonGroup(parent);
  group->setExclusive(true);
  group->addButton(button);
  button->setChecked(row.flags & kChecked);
  return button;
}

QWidget* MakeProgress(QWidget* parent) {
  auto* bar = new QProgressBar(parent);
  bar->setRange(0, 100);
  bar->setValue(0);
  bar->setTextVisible(false);
  return bar;
}

QWidget* MakeControl(const ControlRow& row, QWidget* parent) {
  const QString caption = ToQString(row.caption);
  switch (row.kind) {
    case ControlKind::Panel:
      return MakePanel(row, parent);
    case ControlKind::Label:
      return MakeLabel(row, parent);
    case ControlKind::Image:
      return MakeImage(row, parent);
    case ControlKind::GroupBox:
      return new QGroupBox(caption, parent);
    case ControlKind::Radio:
      return MakeRadio(row, parent);
    case ControlKind::Check: {
      auto* box = new QCheckBox(caption, parent);
      box->setChecked(row.flags & kChecked);
      return box;
    }
    case ControlKind::List:
      return new ListBox(parent);
    case ControlKind::Memo:
      return MakeMemo(row, parent);
    case ControlKind::Button:
      return new QPushButton(caption, parent);
    case ControlKind::Progress:
      return MakeProgress(parent);
  }
  return nullptr;
}

void Place(QWidget* widget, const ControlRow& row) {
  if (row.name == "font_preview") {
    widget->setGeometry(row.left, row.top, 0, 0);
    return;
  }
  QSize size(row.width, row.height);
  if (size.width() == 0 || size.height() == 0) {
    widget->adjustSize();
    if (size.width() == 0) size.setWidth(widget->width());
    if (size.height() == 0)
      size.setHeight(row.kind == ControlKind::List ? kListHeight : widget->height());
  }
  widget->setGeometry(row.left, row.top, size.width(), size.height());
}

void FillList(ListBox* list, const ListRow& row) {
  for (auto item : row.items) list->addItem(ToQString(item));
  list->setCurrentIndex(row.selected);
}

}  // namespace

void BuildMainWindowControls(QWidget* form) {
  QMap<QString, QWidget*> made;
  QMap<QWidget*, DockLayout*> layouts;
  for (const ControlRow& row : MainWindowControls()) {
    QWidget* parent = row.parent.empty() ? form : made.value(ToQString(row.parent));
    QWidget* widget = MakeControl(row, parent);
    widget->setObjectName(ToQString(row.name));
    ApplyFont(widget, row.font);
    if (!row.hint.empty()) widget->setToolTip(ToQString(row.hint));
    if (row.flags & kHandCursor) widget->setCursor(Qt::PointingHandCursor);
    Place(widget, row);
    if (row.flags & kHidden) widget->hide();
    if (row.dock != Dock::None) {
      DockLayout*& layout = layouts[parent];
      if (!layout) layout = new DockLayout(parent);
      layout->AddDocked(widget, row.dock);
    }
    made.insert(widget->objectName(), widget);
  }
  for (const ListRow& row : MainWindowLists())
    FillList(static_cast<ListBox*>(made.value(ToQString(row.name))), row);
}

}  // namespace quorvel
