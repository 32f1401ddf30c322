#include "platform/qt/qt_dialog_window.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>

#include <algorithm>

#include "platform/qt/display_loss.h"
#include "platform/qt/distinct_names_delegate.h"
#include "platform/qt/elided_field.h"
#include "platform/qt/qt_icons.h"
#include "platform/qt/window_room.h"
#include "framework/list_order.h"
#include "framework/menu_mnemonic.h"

namespace morv::qt {
namespace {

/// What an SS_ICON static shows at the template's font and 96 DPI, whatever its
/// template size; it grows and shrinks with the font's size in pixels (a font DPI of
/// 144 gives 48).
constexpr int kIconSize = 32;
/// The smallest dialog font a small screen gets before the window may overflow it.
constexpr double kSmallestPointSize = 6;
constexpr const char* kControlIdProperty = "morvControlId";

QString Text(const std::string& bytes) { return QString::fromUtf8(bytes); }

/// A menu item's text with its mnemonic marked for Qt: an item written without a
/// marker gets one before its first letter, the key the desktop's menus give it.
QString MenuText(const std::string& text) {
  size_t at = MnemonicPosition(text);
  if (at == std::string::npos || MnemonicMarked(text)) return Text(text);
  return Text(text.substr(0, at) + "&" + text.substr(at));
}

Qt::WindowFlags WindowFlagsFor(uint32_t style) {
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
  if (style & WS_CAPTION) flags |= Qt::WindowTitleHint;
  if (style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if ((style & WS_SYSMENU) && (style & WS_MINIMIZEBOX)) flags |= Qt::WindowMinimizeButtonHint;
  return flags;
}

Qt::Alignment StaticAlignment(uint32_t style) {
  Qt::Alignment vertical = (style & SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop;
  switch (style & SS_TYPEMASK) {
    case SS_RIGHT: return Qt::AlignRight | vertical;
    case 0x1: return Qt::AlignHCenter | vertical;  // SS_CENTER
    default: return Qt::AlignLeft | vertical;
  }
}

Qt::FocusPolicy FocusPolicyFor(uint32_t style) { return (style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus; }

/// Whether every label and button caption of `dialog` fits its control in the font
/// of `metrics` (a button keeps half a character's room on either side). Text widths
/// do not shrink exactly with the font's average width, so a smaller font is checked.
bool TextsFit(const DialogTemplate& dialog, const QFontMetrics& metrics, BaseUnits units) {
  for (const ControlTemplate& c : dialog.controls) {
    const bool button = c.cls == ControlClass::Button;
    if (!(c.style & WS_VISIBLE) || c.text.empty() || (!button && c.cls != ControlClass::Static)) continue;
    QString shown = Text(c.text);
    shown.remove(QLatin1Char('&'));
    const int room = ToPixels(c.x, c.y, c.cx, c.cy, units).width - (button ? metrics.averageCharWidth() : 0);
    if (metrics.horizontalAdvance(shown) > room) return false;
  }
  return true;
}

/// A sorted insertion position, or the end for unsorted controls.
int InsertPosition(const std::vector<std::string>& entries, const std::string& text, bool sorted) {
  return sorted ? InsertionIndex(entries, text) : static_cast<int>(entries.size());
}

}  // namespace

QString ControlObjectName(int id) { return QStringLiteral("control-%1").arg(id); }

QtDialogWindow::QtDialogWindow(const DialogTemplate& dialog, const ProgramResources& resources,
                               DialogHandler& handler, QWidget* parent)
    : QDialog(parent, WindowFlagsFor(dialog.style)), m_resources(resources), m_handler(handler) {
  setWindowTitle(Text(dialog.caption));
  setModal(true);

  QFont font(Text(dialog.fontName));
  if (dialog.pointSize > 0) font.setPointSize(dialog.pointSize);
  font.setStyleHint(QFont::SansSerif);
  setFont(font);
  if (const MenuTemplate* menu = resources.FindMenu(dialog.menuId)) BuildMenu(*menu);
  FitFontToScreen(dialog);

  const int menuHeight = m_menuBar ? m_menuBar->sizeHint().height() : 0;
  PixelRect client = ToPixels(0, 0, dialog.cx, dialog.cy, m_units);
  auto* clientArea = new QWidget(this);
  clientArea->setGeometry(0, menuHeight, client.width, client.height);
  if (m_menuBar) m_menuBar->setGeometry(0, 0, client.width, menuHeight);
  setFixedSize(client.width, client.height + menuHeight);

  // Template order is creation order, and so the tab order.
  m_controls.reserve(dialog.controls.size());
  for (const auto& t : dialog.controls) {
    QWidget* widget = BuildControl(t, clientArea);
    if (t.id == -1) continue;
    widget->setObjectName(ControlObjectName(t.id));
    widget->setProperty(kControlIdProperty, t.id);
    m_controls.push_back({t.id, t.cls, t.style, widget, t.text, {}});
  }
  for (auto& control : m_controls) Connect(control);
}

void QtDialogWindow::FitFontToScreen(const DialogTemplate& dialog) {
  const QSize room = WindowRoom(*this);
  QFont font = this->font();
  for (;;) {
    QFontMetrics metrics(font);
    m_units = BaseUnitsFromFont(
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")),
        metrics.height());
    const PixelRect client = ToPixels(0, 0, dialog.cx, dialog.cy, m_units);
    const int menuHeight = m_menuBar ? m_menuBar->sizeHint().height() : 0;
    const bool fits = client.width <= room.width() && client.height + menuHeight <= room.height() &&
                      TextsFit(dialog, metrics, m_units);
    if (fits || font.pointSizeF() <= kSmallestPointSize) break;
    font.setPointSizeF(font.pointSizeF() - 0.5);
    setFont(font);
  }
  const double templatePoints = dialog.pointSize > 0 ? dialog.pointSize : font.pointSizeF();
  m_iconSize = qRound(kIconSize * font.pointSizeF() * logicalDpiY() / (templatePoints * 96));
}

void QtDialogWindow::BuildMenu(const MenuTemplate& menu) {
  // One bar for every item, so that Alt, F10 and the arrows reach them all; the
  // help-justified ones follow a separator, which puts them at its right end.
  m_menuBar = new QMenuBar(this);
  m_menuBar->setNativeMenuBar(false);
  auto command = [this](QAction* action, int id) {
    connect(action, &QAction::triggered, this, [this, id] { Deliver([&] { m_handler.OnCommand(id, 0); }); });
  };
  bool rightSide = false;
  for (const auto& item : menu.items) {
    if (item.separator) continue;  // a separator in the bar would move the rest to the right
    if (item.helpJustified && !rightSide) {
      rightSide = true;
      m_menuBar->addSeparator();
    }
    if (item.items.empty()) {
      command(m_menuBar->addAction(MenuText(item.text)), item.id);
      continue;
    }
    QMenu* popup = m_menuBar->addMenu(MenuText(item.text));
    for (const auto& sub : item.items) {
      if (sub.separator) {
        popup->addSeparator();
      } else {
        command(popup->addAction(MenuText(sub.text)), sub.id);
      }
    }
  }
  // F10 arms the bar as Alt alone does: its first item marked, the arrows, the
  // items' letters and Enter work from there.
  auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
  connect(f10, &QShortcut::activated, this, [this] {
    // What the bar watches for in its window to arm on a lone Alt: the press (its
    // shortcut query first) and the release.
    QKeyEvent query(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::AltModifier);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    query.ignore();
    for (QKeyEvent* event : {&query, &press, &release}) QCoreApplication::sendEvent(this, event);
  });
}

QWidget* QtDialogWindow::BuildControl(const ControlTemplate& t, QWidget* client) {
  PixelRect r = ToPixels(t.x, t.y, t.cx, t.cy, m_units);
  QWidget* widget = nullptr;
  switch (t.cls) {
    case ControlClass::Button: {
      auto* button = new QPushButton(Text(t.text), client);
      button->setAutoDefault(true);
      button->setDefault((t.style & 0xF) == BS_DEFPUSHBUTTON);
      widget = button;
      break;
    }
    case ControlClass::Static: {
      auto* label = new QLabel(client);
      if ((t.style & SS_TYPEMASK) == SS_ICON) {
        const int size = m_iconSize;
        if (const IconResource* icon = m_resources.FindIcon(t.iconId)) {
          // Drawn for the screen's pixels, so a scaled screen shows it sharp.
          const qreal ratio = devicePixelRatioF();
          QPixmap pixmap = QPixmap::fromImage(IconImage(*icon, qRound(size * ratio)));
          pixmap.setDevicePixelRatio(ratio);
          label->setPixmap(pixmap);
        }
        r.width = r.height = size;
      } else {
        label->setTextFormat(Qt::PlainText);
        label->setText(Text(t.text));
        label->setAlignment(StaticAlignment(t.style));
        label->setWordWrap(true);
      }
      if (t.style & SS_SUNKEN) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      widget = label;
      break;
    }
    case ControlClass::Edit: {
      // A read-only field keeps its whole text reachable however long it is.
      QLineEdit* edit = (t.style & ES_READONLY) ? new ElidedField(client) : new QLineEdit(client);
      edit->setReadOnly(t.style & ES_READONLY);
      edit->setFrame(t.style & WS_BORDER);
      edit->setAlignment((t.style & ES_CENTER) ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter));
      if (t.style & ES_READONLY) {
        // Read-only edits look like the dialog behind them, as on the desktop.
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        edit->setPalette(palette);
      }
      widget = edit;
      break;
    }
    case ControlClass::ListBox: {
      auto* list = new QListWidget(client);
      // Long names keep what tells them apart, then both ends.
      list->setTextElideMode(Qt::ElideMiddle);
      list->setItemDelegate(new DistinctNamesDelegate(list));
      list->installEventFilter(this);
      list->setSelectionMode(QAbstractItemView::SingleSelection);
      list->setVerticalScrollBarPolicy((t.style & WS_VSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
      list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      list->setFrameShape((t.style & WS_BORDER) ? QFrame::StyledPanel : QFrame::NoFrame);
      widget = list;
      break;
    }
    case ControlClass::Progress: {
      auto* bar = new QProgressBar(client);
      bar->setTextVisible(false);
      widget = bar;
      break;
    }
    case ControlClass::ComboBox: {
      auto* combo = new QComboBox(client);
      combo->setEditable((t.style & 0x3) == CBS_DROPDOWN);
      // The template height includes the drop-down list; the box itself is one line.
      int closed = combo->sizeHint().height();
      int itemHeight = std::max(1, QFontMetrics(font()).height() + 2);
      combo->setMaxVisibleItems(std::max(1, (r.height - closed) / itemHeight));
      r.height = closed;
      widget = combo;
      break;
    }
  }
  widget->setGeometry(r.x, r.y, r.width, r.height);
  if (auto* field = dynamic_cast<ElidedField*>(widget)) {
    field->SetWholeText(Text(t.text));
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    edit->setText(Text(t.text));
  }
  // Pictures, labels and progress bars never take the focus.
  if (t.cls != ControlClass::Static && t.cls != ControlClass::Progress) widget->setFocusPolicy(FocusPolicyFor(t.style));
  if (t.style & WS_DISABLED) widget->setEnabled(false);
  if (!(t.style & WS_VISIBLE)) widget->hide();
  return widget;
}

void QtDialogWindow::Connect(Control& control) {
  int id = control.id;
  switch (control.cls) {
    case ControlClass::Button:
      connect(static_cast<QPushButton*>(control.widget), &QPushButton::clicked, this,
              [this, id] { Deliver([&] { m_handler.OnCommand(id, BN_CLICKED); }); });
      break;
    case ControlClass::ListBox:
      // Selections made through this class block signals, so only the operator's
      // own selection changes notify.
      if (control.style & LBS_NOTIFY)
        connect(static_cast<QListWidget*>(control.widget), &QListWidget::itemSelectionChanged, this,
                [this, id] { Deliver([&] { m_handler.OnCommand(id, LBN_SELCHANGE); }); });
      break;
    case ControlClass::ComboBox:
      // `activated` comes from the operator only, never from code.
      connect(static_cast<QComboBox*>(control.widget), &QComboBox::activated, this,
              [this, id] { Deliver([&] { m_handler.OnCommand(id, CBN_SELCHANGE); }); });
      break;
    default:
      break;
  }
}

template <typename F>
void QtDialogWindow::Deliver(F&& handlerCall) {
  ++m_depth;
  handlerCall();
  --m_depth;
  // Called by Qt's event processing: once the display is lost, never back into it.
  if (m_inExec) LeaveEventProcessingIfDisplayLost();
  CloseIfEnded();
  DeliverPendingClose();
}

void QtDialogWindow::CloseWhenIdle() {
  m_closePending = true;
  DeliverPendingClose();
}

void QtDialogWindow::DeliverPendingClose() {
  if (!m_closePending || m_depth != 0 || !m_running) return;
  m_closePending = false;
  Deliver([&] { m_handler.OnCommand(IDCANCEL, BN_CLICKED); });
}

void QtDialogWindow::CloseIfEnded() {
  if (m_depth == 0 && m_endRequested && m_running) {
    m_running = false;
    done(m_result);
  }
}

int QtDialogWindow::Run() {
  ++m_depth;
  bool focusFirst = m_handler.OnInitDialog(*this);
  --m_depth;
  if (m_endRequested) return m_result;
  if (focusFirst) {
    for (const auto& c : m_controls)
      if (!c.widget->isHidden() && c.widget->isEnabled() && (c.style & WS_TABSTOP)) {
        c.widget->setFocus(Qt::TabFocusReason);
        break;
      }
  }
  m_running = true;
  // A close asked for before the dialog opened: delivered before it waits.
  DeliverPendingClose();
  if (!m_running) return m_result;
  m_inExec = true;
  const bool shown = ProcessSurvivingDisplayLoss([this] { exec(); });
  m_inExec = false;
  m_running = false;
  if (!shown && !m_endRequested) {
    // The display went away: nobody can close the dialog any more, so it closes as
    // its close box would (the handler ends it, keeping what it keeps then).
    ++m_depth;
    m_handler.OnCommand(IDCANCEL, BN_CLICKED);
    --m_depth;
    if (!m_endRequested) m_result = IDCANCEL;
  }
  return m_result;
}

void QtDialogWindow::EndDialog(int result) {
  if (m_endRequested) return;
  m_endRequested = true;
  m_result = result;
  CloseIfEnded();
}

namespace {

/// Sends what has been painted to the display now: asking the display server for
/// the pointer's position is a round trip, which delivers every drawing request
/// queued before it. Nothing queued for this program is processed.
void SendPaintingNow() { (void)QCursor::pos(); }

}  // namespace

void QtDialogWindow::PaintNowInHandler() {
  if (m_depth == 0 || !isVisible() || DisplayLost()) return;
  repaint();
  // Every widget, scroll-area viewports included: a repaint of the window alone
  // left the list box's inside showing the box that had covered it.
  for (QWidget* widget : findChildren<QWidget*>())
    if (widget->isVisible()) widget->repaint();
  SendPaintingNow();
}

void QtDialogWindow::PaintControlNow(QWidget* widget) {
  if (m_depth == 0 || !widget->isVisible() || DisplayLost()) return;
  widget->repaint();
  SendPaintingNow();
}

bool QtDialogWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->modifiers() & ~Qt::KeypadModifier) return false;
  for (auto& c : m_controls)
    if (c.widget == watched) return MoveListSelection(c, key->key());
  return false;
}

bool QtDialogWindow::MoveListSelection(Control& control, int key) {
  static const std::pair<int, ListMove> kMoves[] = {
      {Qt::Key_Up, ListMove::Up},         {Qt::Key_Down, ListMove::Down},         {Qt::Key_Home, ListMove::Home},
      {Qt::Key_End, ListMove::End},       {Qt::Key_PageUp, ListMove::PageUp},     {Qt::Key_PageDown, ListMove::PageDown},
  };
  auto move = std::find_if(std::begin(kMoves), std::end(kMoves), [&](const auto& m) { return m.first == key; });
  if (move == std::end(kMoves)) return false;
  auto* list = static_cast<QListWidget*>(control.widget);
  int count = list->count();
  int rowHeight = count > 0 ? std::max(1, list->sizeHintForRow(0)) : 1;
  int page = std::max(1, list->viewport()->height() / rowHeight);
  int current = GetCurSel(control.id);
  int moved = MovedSelection(move->second, current, count, page);
  // Qt's own handling would only move the focus mark from an unselected list; the
  // desktop list box chooses the entry the key lands on, and says so.
  if (moved >= 0 && moved != current) list->setCurrentRow(moved, QItemSelectionModel::ClearAndSelect);
  return true;
}

void QtDialogWindow::reject() {
  Deliver([&] { m_handler.OnCommand(IDCANCEL, BN_CLICKED); });
}

QtDialogWindow::Control* QtDialogWindow::Find(int id) {
  for (auto& c : m_controls)
    if (c.id == id) return &c;
  return nullptr;
}

const QtDialogWindow::Control* QtDialogWindow::Find(int id) const {
  return const_cast<QtDialogWindow*>(this)->Find(id);
}

void QtDialogWindow::SetWindowText(int id, const std::string& text) {
  Control* c = Find(id);
  if (!c) return;
  c->text = text;
  if (auto* field = dynamic_cast<ElidedField*>(c->widget)) {
    field->SetWholeText(Text(text));
  } else if (auto* edit = qobject_cast<QLineEdit*>(c->widget)) {
    edit->setText(Text(text));
    edit->setCursorPosition(0);
  } else if (auto* button = qobject_cast<QPushButton*>(c->widget)) {
    button->setText(Text(text));
  } else if (auto* label = qobject_cast<QLabel*>(c->widget)) {
    label->setText(Text(text));
  } else if (auto* combo = qobject_cast<QComboBox*>(c->widget); combo && combo->isEditable()) {
    QSignalBlocker blocker(combo);
    combo->setEditText(Text(text));
  }
  PaintControlNow(c->widget);
}

std::string QtDialogWindow::GetWindowText(int id) const {
  const Control* c = Find(id);
  if (!c) return {};
  QString shown;
  if (dynamic_cast<const ElidedField*>(c->widget)) {
    return c->text;  // read-only: the bytes given, whatever part of them shows
  } else if (auto* edit = qobject_cast<QLineEdit*>(c->widget)) {
    shown = edit->text();
  } else if (auto* combo = qobject_cast<QComboBox*>(c->widget)) {
    int index = combo->currentIndex();
    if (!combo->isEditable()) return index >= 0 ? c->entries[index] : std::string();
    shown = combo->currentText();
  } else if (auto* button = qobject_cast<QPushButton*>(c->widget)) {
    shown = button->text();
  } else {
    return c->text;
  }
  // The bytes given are returned as they were, unless the operator changed the text.
  return shown == Text(c->text) ? c->text : shown.toStdString();
}

void QtDialogWindow::EnableWindow(int id, bool enable) {
  Control* c = Find(id);
  if (!c) return;
  QWidget* widget = c->widget;
  if (!enable && widget->hasFocus()) {
    // Qt would hand the focus to the next control (the version field, say); the
    // desktop leaves it with no other control. The dialog itself holds it meanwhile.
    m_heldFocus = id;
    widget->setEnabled(false);
    setFocus(Qt::OtherFocusReason);
  } else {
    widget->setEnabled(enable);
    bool nobodyTookIt = !focusWidget() || focusWidget() == this;
    if (enable && id == m_heldFocus && nobodyTookIt) widget->setFocus(Qt::OtherFocusReason);
    if (enable && id == m_heldFocus) m_heldFocus = 0;
  }
  PaintControlNow(widget);
}

bool QtDialogWindow::IsWindowEnabled(int id) const {
  const Control* c = Find(id);
  return c && c->widget->isEnabled();
}

bool QtDialogWindow::IsWindowVisible(int id) const {
  const Control* c = Find(id);
  return c && !c->widget->isHidden();
}

void QtDialogWindow::SetFocus(int id) {
  if (Control* c = Find(id)) {
    m_heldFocus = 0;
    c->widget->setFocus(Qt::OtherFocusReason);
  }
}

int QtDialogWindow::GetFocus() const {
  if (m_heldFocus != 0 && (!focusWidget() || focusWidget() == this)) return m_heldFocus;
  for (QWidget* w = focusWidget(); w && w != this; w = w->parentWidget()) {
    QVariant id = w->property(kControlIdProperty);
    if (id.isValid()) return id.toInt();
  }
  return 0;
}

void QtDialogWindow::SetIcon(int iconId, bool) {
  // One window icon serves both sizes here.
  setWindowIcon(ResourceIcon(m_resources, iconId));
}

void QtDialogWindow::SetProgress(int id, int done, int total) {
  Control* c = Find(id);
  auto* bar = c ? qobject_cast<QProgressBar*>(c->widget) : nullptr;
  if (!bar) return;
  if (total <= 0) {
    bar->hide();
    // What it covered is painted now too, not when the handler returns.
    PaintControlNow(bar->parentWidget());
    return;
  }
  bar->setRange(0, total);
  bar->setValue(done);
  bar->show();
  PaintControlNow(bar);
}

void QtDialogWindow::ResetContent(int id) {
  Control* c = Find(id);
  if (!c) return;
  c->entries.clear();
  QSignalBlocker blocker(c->widget);
  if (auto* list = qobject_cast<QListWidget*>(c->widget)) list->clear();
  if (auto* combo = qobject_cast<QComboBox*>(c->widget)) combo->clear();
}

int QtDialogWindow::AddString(int id, const std::string& text) {
  Control* c = Find(id);
  if (!c) return LB_ERR;
  QSignalBlocker blocker(c->widget);
  if (auto* list = qobject_cast<QListWidget*>(c->widget)) {
    int index = InsertPosition(c->entries, text, c->style & LBS_SORT);
    c->entries.insert(c->entries.begin() + index, text);
    list->insertItem(index, Text(text));
    list->item(index)->setToolTip(Text(text));  // the whole name, where the list shortens it
    return index;
  }
  if (auto* combo = qobject_cast<QComboBox*>(c->widget)) {
    int index = InsertPosition(c->entries, text, c->style & CBS_SORT);
    int selected = combo->currentIndex();
    c->entries.insert(c->entries.begin() + index, text);
    combo->insertItem(index, Text(text));
    // Adding never selects: the first entry of an empty combo box stays unselected.
    combo->setCurrentIndex(selected < 0 ? -1 : (selected >= index ? selected + 1 : selected));
    return index;
  }
  return LB_ERR;
}

int QtDialogWindow::SetCurSel(int id, int index) {
  Control* c = Find(id);
  if (!c) return CB_ERR;
  bool valid = index >= 0 && index < static_cast<int>(c->entries.size());
  QSignalBlocker blocker(c->widget);
  if (auto* list = qobject_cast<QListWidget*>(c->widget)) {
    list->clearSelection();
    if (valid) {
      list->setCurrentRow(index);
      list->item(index)->setSelected(true);
    }
  } else if (auto* combo = qobject_cast<QComboBox*>(c->widget)) {
    combo->setCurrentIndex(valid ? index : -1);
  } else {
    return CB_ERR;
  }
  return valid ? index : CB_ERR;
}

int QtDialogWindow::GetCurSel(int id) const {
  const Control* c = Find(id);
  if (!c) return CB_ERR;
  if (auto* list = qobject_cast<QListWidget*>(c->widget)) {
    QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? LB_ERR : list->row(selected.front());
  }
  if (auto* combo = qobject_cast<QComboBox*>(c->widget)) return combo->currentIndex() < 0 ? CB_ERR : combo->currentIndex();
  return CB_ERR;
}

int QtDialogWindow::GetCount(int id) const {
  const Control* c = Find(id);
  return c ? static_cast<int>(c->entries.size()) : 0;
}

std::string QtDialogWindow::GetLBText(int id, int index) const {
  const Control* c = Find(id);
  if (!c || index < 0 || index >= static_cast<int>(c->entries.size())) return {};
  return c->entries[index];
}

}  // namespace morv::qt
