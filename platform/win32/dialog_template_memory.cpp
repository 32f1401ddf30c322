#include "platform/win32/dialog_template_memory.h"

#include <cstring>

#include "framework/win32_types.h"

namespace morv::win32 {
namespace {

// LBS_OWNERDRAWFIXED | LBS_HASSTRINGS: entries of one height, drawn by the dialog,
// their texts kept by the list.
constexpr uint32_t kListDrawnByDialog = 0x10u | 0x40u;

/// Appends 16-bit words; the byte stream becomes the template.
class WordWriter {
 public:
  void Word(uint16_t value) { m_words.push_back(value); }
  void Dword(uint32_t value) {
    Word(static_cast<uint16_t>(value & 0xFFFF));
    Word(static_cast<uint16_t>(value >> 16));
  }
  void Short(int value) { Word(static_cast<uint16_t>(static_cast<int16_t>(value))); }
  void String(const std::string& text) {
    for (char16_t unit : Widen(text)) Word(static_cast<uint16_t>(unit));
    Word(0);
  }
  /// Items start on a 32-bit boundary.
  void AlignDword() {
    if (m_words.size() % 2) Word(0);
  }
  std::vector<uint32_t> Take() {
    AlignDword();
    std::vector<uint32_t> out(m_words.size() / 2);
    std::memcpy(out.data(), m_words.data(), m_words.size() * sizeof(uint16_t));
    return out;
  }

 private:
  std::vector<uint16_t> m_words;
};

constexpr uint32_t kSetFont = 0x40;   // DS_SETFONT
constexpr uint32_t kCenter = 0x800;   // DS_CENTER

}  // namespace

std::u16string Widen(const std::string& text) {
  // The texts are ASCII and Latin-1; their code points are the UTF-16 units.
  std::u16string out;
  out.reserve(text.size());
  for (unsigned char c : text) out.push_back(static_cast<char16_t>(c));
  return out;
}

uint16_t ControlClassAtom(ControlClass cls) {
  switch (cls) {
    case ControlClass::Button: return 0x0080;
    case ControlClass::Edit: return 0x0081;
    case ControlClass::Static: return 0x0082;
    case ControlClass::ListBox: return 0x0083;
    case ControlClass::ComboBox: return 0x0085;
    case ControlClass::Progress: break;  // no atom: a common control, named by its class
  }
  return 0x0082;
}

std::vector<uint32_t> BuildDialogTemplate(const DialogTemplate& dialog) {
  WordWriter w;
  const bool font = !dialog.fontName.empty();
  // Centred on the work area of the owner's monitor, as the system places its own
  // dialogs (the template's x and y would otherwise put it at the top-left corner).
  w.Dword((font ? dialog.style | kSetFont : dialog.style & ~kSetFont) | kCenter);
  w.Dword(dialog.exStyle);
  w.Word(static_cast<uint16_t>(dialog.controls.size()));
  w.Short(0);  // x, y: unused, DS_CENTER places the dialog
  w.Short(0);
  w.Short(dialog.cx);
  w.Short(dialog.cy);
  w.Word(0);  // no menu in the template
  w.Word(0);  // the standard dialog class
  w.String(dialog.caption);
  if (font) {
    w.Word(static_cast<uint16_t>(dialog.pointSize));
    w.String(dialog.fontName);
  }
  for (const ControlTemplate& c : dialog.controls) {
    w.AlignDword();
    // List boxes draw their own entries (list_entry_drawing.h), shortened so that
    // long names stay apart.
    w.Dword(c.cls == ControlClass::ListBox ? c.style | kListDrawnByDialog : c.style);
    w.Dword(0);
    w.Short(c.x);
    w.Short(c.y);
    w.Short(c.cx);
    w.Short(c.cy);
    w.Word(static_cast<uint16_t>(c.id));  // -1 becomes 0xFFFF, the ID of labels
    if (c.cls == ControlClass::Progress) {
      w.String("msctls_progress32");  // a common control: by its class name
    } else {
      w.Word(0xFFFF);
      w.Word(ControlClassAtom(c.cls));
    }
    w.String(c.text);
    w.Word(0);  // no creation data
  }
  return w.Take();
}

}  // namespace morv::win32
