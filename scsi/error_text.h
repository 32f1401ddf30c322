#pragma once
// Morvantide4's "Aspi Error" box. CScsiDrive::ComposeErrorText (error_text.cpp)
// builds the error texts of both programs from the same message tables.

#include <cstdint>

namespace morv {

class Feedback;

/// Exclamation beep, then a modal box "Aspi Error : <request status text>".
void ShowAspiError(uint8_t code, Feedback& feedback);

}  // namespace morv
