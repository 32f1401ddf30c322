#include "ui/flash_dlg.h"

#include <initializer_list>

#include "ui/about_dlg.h"
#include "ui/file_list.h"
#include "ui/resource_ids.h"

namespace morv {

// Abort (IDC_ABORT) has no entry: the button is never shown and nothing handles it.
const CDialog::MessageMapEntry CFlashDlg::kMessageMap[] = {
    {ID_OPTION_RESCAN, 0, static_cast<Handler>(&CFlashDlg::OnRescan)},
    {IDC_HOST_ADAPTER, CBN_SELCHANGE, static_cast<Handler>(&CFlashDlg::OnSelchangeHostAdapter)},
    {IDC_DEVICE, CBN_SELCHANGE, static_cast<Handler>(&CFlashDlg::OnSelchangeDevice)},
    {IDC_LUN, CBN_SELCHANGE, static_cast<Handler>(&CFlashDlg::OnSelchangeLun)},
    {IDC_UPDATE_START, BN_CLICKED, static_cast<Handler>(&CFlashDlg::OnUpdateStart)},
    {ID_ABOUT, 0, static_cast<Handler>(&CFlashDlg::OnAbout)},
    {IDC_FILE_LIST, LBN_SELCHANGE, static_cast<Handler>(&CFlashDlg::OnSelchangeFileList)},
};

CFlashDlg::CFlashDlg(Toolkit& toolkit, Feedback& feedback, const ProgramResources& resources, Transport& transport,
                     const SelectionFactory& makeSelection)
    : CDialog(toolkit, resources.mainDialog, resources),
      m_drive(transport),
      m_feedback(feedback),
      m_selection(makeSelection(m_drive, feedback)) {}

CFlashDlg::~CFlashDlg() = default;

std::span<const CDialog::MessageMapEntry> CFlashDlg::GetMessageMap() const { return kMessageMap; }

void CFlashDlg::DoDataExchange(CDataExchange& exchange) {
  DDX_Control(exchange, IDOK, m_exit);
  DDX_Control(exchange, IDC_FILE_LIST, m_fileList);
  DDX_Control(exchange, IDC_SELECTED_FILE, m_selectedFile);
  DDX_Control(exchange, IDC_FIRMWARE_VERSION, m_firmwareVersion);
  DDX_Control(exchange, IDC_ABORT, m_abort);
  DDX_Control(exchange, IDC_UPDATE_START, m_updateStart);
  DDX_Control(exchange, IDC_LUN, m_lun);
  DDX_Control(exchange, IDC_DEVICE, m_device);
  DDX_Control(exchange, IDC_HOST_ADAPTER, m_hostAdapter);
  DDX_Control(exchange, IDC_PROGRESS, m_progress);
}

bool CFlashDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  DialogWindow& window = *GetWindow();
  m_feedback.SetMainWindow(&window);
  m_selection->Attach({m_hostAdapter, m_device, m_lun, m_firmwareVersion});

  if (window.HasSystemMenu()) {
    std::string about = m_resources.LoadString(IDS_ABOUTBOX);
    if (!about.empty()) {
      window.AppendSystemMenuSeparator();
      window.AppendSystemMenuItem(IDM_ABOUTBOX, about);
    }
  }
  window.SetIcon(IDR_MAINFRAME, true);
  window.SetIcon(IDR_MAINFRAME, false);

  // Discovery and the remembered selection: each program's own steps.
  m_selection->InitDevices();

  m_abort.EnableWindow(false);
  FillFileList();
  ChooseStartFile();
  m_fileList.SetFocus();
  m_initialised = true;
  return false;
}

void CFlashDlg::OnWindowClosing() {
  for (CWnd* control : std::initializer_list<CWnd*>{&m_exit, &m_fileList, &m_selectedFile,
                                                   &m_firmwareVersion, &m_abort, &m_updateStart, &m_lun, &m_device,
                                                   &m_hostAdapter, &m_progress})
    control->Detach();
  m_feedback.SetMainWindow(nullptr);
  // Only a selection that was loaded is written back: a dialog that never opened
  // must not overwrite what the operator chose last time.
  if (m_initialised) m_selection->OnDestroy();
  m_initialised = false;
}

bool CFlashDlg::OnSysCommand(unsigned id, long param) {
  if ((id & ~0xFu) == IDM_ABOUTBOX) {
    OnAbout();
    return true;
  }
  return CDialog::OnSysCommand(id, param);
}

void CFlashDlg::OnRescan() { m_selection->OnRescan(); }
void CFlashDlg::OnSelchangeHostAdapter() { m_selection->OnSelchangeHostAdapter(); }
void CFlashDlg::OnSelchangeDevice() { m_selection->OnSelchangeDevice(); }
void CFlashDlg::OnSelchangeLun() { m_selection->OnSelchangeLun(); }

void CFlashDlg::OnAbout() {
  CAboutDlg about(m_toolkit, m_resources);
  about.DoModal();
}

void CFlashDlg::FillFileList() {
  // Relative to the current directory, which the update opens the chosen name in.
  for (const std::string& name : ParameterFileNames("."))
    m_fileList.AddString(name);
}

void CFlashDlg::ChooseStartFile() {
  if (m_startFile.empty()) return;
  for (int index = 0; index < m_fileList.GetCount(); ++index) {
    if (m_fileList.GetText(index) != m_startFile) continue;
    m_fileList.SetCurSel(index);
    OnSelchangeFileList();
    return;
  }
}

void CFlashDlg::OnSelchangeFileList() {
  int index = m_fileList.GetCurSel();
  if (index < 0) return;
  m_chosenFile = m_fileList.GetText(index);
  m_selectedFile.SetWindowText(m_chosenFile);
}

}  // namespace morv
