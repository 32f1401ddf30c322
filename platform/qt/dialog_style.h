#pragma once
// What the dialogs need from whatever style the desktop gives Qt, as the desktop's
// own dialogs show it: every control with the keyboard focus carries a focus mark
// (a dotted rectangle, also on the default button, whose look alone stays the
// same with and without the focus); the menu-bar item that the keyboard armed
// (Alt, F10) is highlighted as an open one is; and menu-bar items after a
// separator sit at the right end of the bar, where help-justified items go.

#include <QProxyStyle>

namespace morv::qt {

class DialogStyle : public QProxyStyle {
 public:
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override;
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                          const QWidget* widget) const override;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override;
};

/// Makes DialogStyle the application's style (over the one it had), once.
void UseDialogStyle();

}  // namespace morv::qt
