#include "scsi/identification_text.h"

namespace morv {

std::string IdentificationText(const uint8_t* field, size_t length) {
  std::string text(length, ' ');
  for (size_t i = 0; i < length && field[i] != 0; ++i)
    if (field[i] >= 0x20 && field[i] <= 0x7E) text[i] = static_cast<char>(field[i]);
  return text;
}

}  // namespace morv
