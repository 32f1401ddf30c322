#include "apps/cli/json_writer.h"

#include <cstdio>

namespace morv {

std::string JsonString(const std::string& text) {
  std::string json = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': json += "\\\""; break;
      case '\\': json += "\\\\"; break;
      case '\n': json += "\\n"; break;
      case '\r': json += "\\r"; break;
      case '\t': json += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          json += escaped;
        } else {
          json += static_cast<char>(c);
        }
    }
  }
  return json + "\"";
}

JsonObject& JsonObject::AddJson(const std::string& key, const std::string& json) {
  if (!m_members.empty()) m_members += ",";
  m_members += JsonString(key) + ":" + json;
  return *this;
}

JsonObject& JsonObject::Add(const std::string& key, const std::string& value) { return AddJson(key, JsonString(value)); }

JsonObject& JsonObject::Add(const std::string& key, const std::optional<std::string>& value) {
  return AddJson(key, value ? JsonString(*value) : "null");
}

JsonObject& JsonObject::Add(const std::string& key, double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", value);
  return AddJson(key, text);
}

JsonObject& JsonObject::Add(const std::string& key, int value) { return AddJson(key, std::to_string(value)); }

JsonObject& JsonObject::Add(const std::string& key, bool value) { return AddJson(key, value ? "true" : "false"); }

}  // namespace morv
