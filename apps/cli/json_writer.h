#pragma once
// The few JSON the command-line flasher prints: one object of named strings,
// numbers, booleans and nulls, on one line.

#include <optional>
#include <string>

namespace morv {

/// `text` as a JSON string, quotes included: the escapes JSON requires, control
/// characters as \u00XX, every other byte as it is.
std::string JsonString(const std::string& text);

class JsonObject {
 public:
  JsonObject& Add(const std::string& key, const std::string& value);
  JsonObject& Add(const std::string& key, const char* value) { return Add(key, std::string(value)); }
  /// null when there is no value.
  JsonObject& Add(const std::string& key, const std::optional<std::string>& value);
  JsonObject& Add(const std::string& key, double value);
  JsonObject& Add(const std::string& key, int value);
  JsonObject& Add(const std::string& key, bool value);
  /// `json` as it is: an array or object made elsewhere.
  JsonObject& AddJson(const std::string& key, const std::string& json);
  /// The object's text, "{...}".
  std::string Text() const { return "{" + m_members + "}"; }

 private:
  std::string m_members;
};

}  // namespace morv
