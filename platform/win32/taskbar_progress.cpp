#include "platform/win32/taskbar_progress.h"

#include <shobjidl.h>

namespace morv::win32 {

TaskbarProgress::~TaskbarProgress() {
  if (m_list) {
    m_list->SetProgressState(m_window, TBPF_NOPROGRESS);
    m_list->Release();
  }
  if (m_comOpened) CoUninitialize();
}

void TaskbarProgress::Show(int done, int total) {
  if (!m_asked) {
    if (total <= 0) return;  // nothing shown yet, nothing to take off
    m_asked = true;
    m_comOpened = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    void* list = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3, &list))) {
      m_list = static_cast<ITaskbarList3*>(list);
      if (FAILED(m_list->HrInit())) {
        m_list->Release();
        m_list = nullptr;
      }
    }
  }
  if (!m_list) return;
  if (total <= 0) {
    m_list->SetProgressState(m_window, TBPF_NOPROGRESS);
    return;
  }
  m_list->SetProgressState(m_window, TBPF_NORMAL);
  m_list->SetProgressValue(m_window, static_cast<ULONGLONG>(done), static_cast<ULONGLONG>(total));
}

}  // namespace morv::win32
