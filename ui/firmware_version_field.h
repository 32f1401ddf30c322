#pragma once
// The Current Firmware Version field as both selection halves fill it: the version
// the addressed drive reports to INQUIRY, or what the field showed before when the
// drive does not answer. It keeps the text it shows, so the update reads the version
// as a value, never back out of the field.

#include <string>

#include "framework/controls.h"

namespace morv {

class CScsiDrive;

class FirmwareVersionField {
 public:
  /// Shows in `field` from now on; it must outlive this object.
  void Attach(CEdit& field) { m_field = &field; }
  /// Asks `drive` as addressed for its version and shows it; false, with the field
  /// unchanged, when the drive does not answer.
  bool ShowFrom(CScsiDrive& drive);
  /// Shows `version`.
  void Show(const std::string& version);
  /// The version shown.
  const std::string& Text() const { return m_text; }

 private:
  CEdit m_none;  ///< stands in for the field until Attach
  CEdit* m_field = &m_none;
  std::string m_text;
};

}  // namespace morv
