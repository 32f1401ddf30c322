#include "platform/qt/dialog_style.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

namespace morv::qt {

namespace {

/// The focus mark: a dotted rectangle in the text colour, as the desktop draws it.
void DrawFocusMark(QPainter* painter, const QRect& rect, const QPalette& palette) {
  painter->save();
  painter->setPen(QPen(palette.color(QPalette::WindowText), 1, Qt::DotLine));
  painter->setBrush(Qt::NoBrush);
  painter->drawRect(rect.adjusted(0, 0, -1, -1));
  painter->restore();
}

}  // namespace

void DialogStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const {
  // Drawn whether the focus came by keyboard or by code: the dialogs place it
  // themselves (the file list at start-up), and the operator must see where it is.
  if (element == PE_FrameFocusRect) return DrawFocusMark(painter, option->rect, option->palette);
  QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void DialogStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const {
  const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
  if (element == CE_MenuBarItem && item && (item->state & State_Selected)) {
    // Some styles highlight a menu-bar item only while its pop-up is open; an item
    // armed by the keyboard is drawn the same way, so Enter's effect can be seen.
    QStyleOptionMenuItem armed = *item;
    armed.state |= State_Sunken;
    return QProxyStyle::drawControl(element, &armed, painter, widget);
  }
  QProxyStyle::drawControl(element, option, painter, widget);
  // A push button's default look stays the same with and without the focus.
  if (element == CE_PushButton && (option->state & State_HasFocus))
    DrawFocusMark(painter, subElementRect(SE_PushButtonFocusRect, option, widget), option->palette);
}

void DialogStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                     const QWidget* widget) const {
  QProxyStyle::drawComplexControl(control, option, painter, widget);
  if (control == CC_ComboBox && (option->state & State_HasFocus))
    DrawFocusMark(painter, subControlRect(CC_ComboBox, option, SC_ComboBoxEditField, widget), option->palette);
}

int DialogStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                           QStyleHintReturn* returnData) const {
  if (hint == SH_DrawMenuBarSeparator) return 1;
  if (hint == SH_MenuBar_AltKeyNavigation) return 1;
  return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void UseDialogStyle() {
  if (dynamic_cast<DialogStyle*>(QApplication::style())) return;
  auto* style = new DialogStyle;
  style->setBaseStyle(QStyleFactory::create(QApplication::style()->name()));
  QApplication::setStyle(style);
}

}  // namespace morv::qt
