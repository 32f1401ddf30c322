#include "framework/dialog.h"

namespace morv {

/// What the toolkit calls while the dialog runs; forwards to the dialog.
class CDialog::Procedure : public DialogHandler {
 public:
  explicit Procedure(CDialog& dialog) : m_dialog(dialog) {}
  bool OnInitDialog(DialogWindow& window) override {
    m_dialog.m_window = &window;
    return m_dialog.OnInitDialog();
  }
  void OnCommand(int id, int code) override { m_dialog.OnCommand(id, code); }
  bool OnSysCommand(unsigned id, long param) override { return m_dialog.OnSysCommand(id, param); }

 private:
  CDialog& m_dialog;
};

CDialog::CDialog(Toolkit& toolkit, const DialogTemplate& dialogTemplate, const ProgramResources& resources)
    : m_toolkit(toolkit), m_resources(resources), m_template(dialogTemplate) {}

CDialog::~CDialog() = default;

int CDialog::DoModal() {
  Procedure procedure(*this);
  int result = m_toolkit.DoModal(m_template, m_resources, procedure);
  OnWindowClosing();
  m_window = nullptr;
  return result;
}

void CDialog::EndDialog(int result) {
  if (m_window) m_window->EndDialog(result);
}

bool CDialog::OnInitDialog() {
  CDataExchange exchange{*m_window};
  DoDataExchange(exchange);
  return true;
}

bool CDialog::OnSysCommand(unsigned, long) { return false; }

void CDialog::OnCommand(int id, int code) {
  for (const auto& entry : GetMessageMap()) {
    if (entry.id == id && entry.code == code) {
      (this->*entry.handler)();
      return;
    }
  }
  if (code != BN_CLICKED) return;
  if (id == IDOK) {
    OnOK();
  } else if (id == IDCANCEL) {
    OnCancel();
  }
}

}  // namespace morv
