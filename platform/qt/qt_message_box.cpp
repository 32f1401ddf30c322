#include "platform/qt/qt_message_box.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <map>
#include <memory>
#include <string_view>

#include "framework/message_box_buttons.h"
#include "framework/text_wrap.h"
#include "platform/qt/deliberate_keys.h"
#include "framework/win32_types.h"
#include "platform/qt/display_loss.h"
#include "platform/qt/window_room.h"

namespace morv::qt {
namespace {

QMessageBox::StandardButton StandardButtonFor(int result) {
  static const std::map<int, QMessageBox::StandardButton> kButtons = {
      {IDOK, QMessageBox::Ok},       {IDCANCEL, QMessageBox::Cancel}, {IDABORT, QMessageBox::Abort},
      {IDRETRY, QMessageBox::Retry}, {IDIGNORE, QMessageBox::Ignore}, {IDYES, QMessageBox::Yes},
      {IDNO, QMessageBox::No},
  };
  return kButtons.at(result);
}

QMessageBox::Icon IconFor(unsigned type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

/// Keeps a box without a way out (Yes/No, Abort/Retry/Ignore) open on Escape and
/// on its close box, so that only a button answers it.
class ButtonsOnly : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) return true;
    if (event->type() == QEvent::Close) {
      event->ignore();
      return true;
    }
    return false;
  }
};

/// Lifts the busy cursor while the operator answers a box, and puts it back after:
/// over a box the pointer is the ordinary one.
class OrdinaryCursorWhileOpen {
 public:
  OrdinaryCursorWhileOpen() {
    while (const QCursor* cursor = QGuiApplication::overrideCursor()) {
      m_lifted.push_back(cursor->shape());
      QGuiApplication::restoreOverrideCursor();
    }
  }
  ~OrdinaryCursorWhileOpen() {
    if (DisplayLost()) return;
    for (auto it = m_lifted.rbegin(); it != m_lifted.rend(); ++it) QGuiApplication::setOverrideCursor(*it);
  }

 private:
  std::vector<Qt::CursorShape> m_lifted;
};

/// Room the title bar takes besides the caption: the window icon and the title
/// buttons, measured in lines of text so that it follows the font.
constexpr int kTitleBarLines = 8;

/// The widest a box may be: the room on its screen, and never past Qt's own limit
/// for a box on a wide screen (beyond it Qt would break lines anywhere).
int WidestBox(const QMessageBox& box) {
  const int available = WindowRoom(box).width();
  return available > 1024 ? std::min(available - 480, 1000) : available;
}

/// Breaks the box's text at blanks, only where a line is wider than the box can be,
/// and keeps every line whole: Qt's own wrapping breaks lines at half the screen's
/// width, mid-sentence, and after a hyphen ("MX-" / "R4410.").
void FitText(QMessageBox& box, const std::string& text) {
  auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  if (!label) return;
  // What the box needs besides its text: the text's own width taken out of a
  // layout whose text is wider than any button row.
  constexpr int kProbe = 4000;
  label->setWordWrap(false);
  label->setMinimumWidth(kProbe);
  box.layout()->activate();
  const int besides = box.layout()->minimumSize().width() - kProbe;
  const QFontMetrics metrics(label->font());
  auto measure = [&](std::string_view piece) {
    return metrics.horizontalAdvance(QString::fromUtf8(piece.data(), static_cast<qsizetype>(piece.size())));
  };
  QStringList lines;
  int widest = 0;
  for (const std::string& line : WrapLines(text, WidestBox(box) - besides, measure)) {
    lines << QString::fromStdString(line);
    widest = std::max(widest, measure(line));
  }
  box.setText(lines.join(QLatin1Char('\n')));
  // Qt wraps again what its label cannot hold: the label holds the widest line.
  label->setMinimumWidth(widest + 2);
}

/// Makes the box wide enough for its whole caption. Qt sizes a box by its text and
/// buttons, and a window manager cuts a caption that does not fit ("HA Set Error"
/// became "..." on a short "Error!!"). Never wider than the screen allows.
void FitCaption(QMessageBox& box, const QString& caption) {
  QFontMetrics metrics(box.font());
  int width = std::min(metrics.horizontalAdvance(caption) + kTitleBarLines * metrics.height(), WidestBox(box));
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

}  // namespace

int ShowMessageBox(QWidget* parent, const std::string& text, const std::string& caption, unsigned type) {
  // Kept, never destroyed, when the display goes away while it is open: Qt's frames
  // of its modal loop are left behind then and still refer to it.
  auto owned = std::make_unique<QMessageBox>(IconFor(type), QString::fromUtf8(caption), QString(), QMessageBox::NoButton,
                                             parent);
  QMessageBox& box = *owned;
  box.setTextFormat(Qt::PlainText);

  std::map<QAbstractButton*, int> results;
  std::vector<int> buttons = MessageBoxButtons(type);
  for (int result : buttons) results[box.addButton(StandardButtonFor(result))] = result;
  box.setDefaultButton(StandardButtonFor(buttons.front()));

  int escape = MessageBoxEscapeResult(type);
  ButtonsOnly buttonsOnly;
  if (escape != 0) {
    box.setEscapeButton(StandardButtonFor(escape));
  } else {
    box.installEventFilter(&buttonsOnly);
  }

  // Last: setting the icon or text builds the layout anew.
  FitText(box, text);
  FitCaption(box, QString::fromUtf8(caption));
  OrdinaryCursorWhileOpen ordinaryCursor;
  // Shown and modal first, so that its owner takes no input meanwhile; then what
  // was typed before it could be seen is thrown away, and its loop runs.
  box.setWindowModality(Qt::ApplicationModal);
  if (!ProcessSurvivingDisplayLoss([&box] {
        box.show();
        ThrowAwayTypedAhead();
        box.exec();
      })) {
    (void)owned.release();
    return MessageBoxUnansweredResult(type);
  }
  auto it = results.find(box.clickedButton());
  if (it != results.end()) return it->second;
  return MessageBoxUnansweredResult(type);
}

void CloseUnanswered(QWidget* box) {
  // The dialog's own done(): the box's would pick a button for the result.
  if (auto* dialog = qobject_cast<QDialog*>(box)) dialog->QDialog::done(0);
}

}  // namespace morv::qt
