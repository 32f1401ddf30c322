#pragma once
// Feedback for tests: records every beep, box, cursor change and status text as a
// line of text, in order, and answers boxes from a queue (IDOK when it is empty).

#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/feedback.h"

namespace morv {

class RecordingFeedback : public Feedback {
 public:
  /// Every event in order: "beep FFFFFFFF", "box 00000000 Set File Name",
  /// "window-box 00000010 HA Set Error: Error!!", "status ...", "cursor begin",
  /// "cursor restore", "cursor end", "pump", "paint".
  std::vector<std::string> events;
  /// Answers for the next boxes; IDOK when empty.
  std::deque<int> answers;
  /// Run on every PumpMessages pass (tests deliver nested work here).
  std::function<void()> onPump;
  std::map<unsigned, std::string> strings{{kStringNoMemory, "Insufficient memory to perform operation."}};
  std::string statusLine;
  int waitCount = 0;
  bool recordPumps = false;
  /// Whether PaintExposed passes are recorded (as "paint").
  bool recordPaints = false;

  void PumpMessages() override {
    if (recordPumps) events.push_back("pump");
    if (onPump) onPump();
  }
  void PaintExposed() override {
    if (recordPaints) events.push_back("paint");
  }
  void MessageBeep(unsigned type) override { events.push_back("beep " + Hex(type)); }
  int AfxMessageBox(const std::string& text, unsigned type, unsigned) override {
    events.push_back("box " + Hex(type) + " " + text);
    return Answer();
  }
  int WindowMessageBox(const std::string& text, const std::string& caption, unsigned type) override {
    events.push_back("window-box " + Hex(type) + " " + caption + ": " + text);
    return Answer();
  }
  std::string LoadString(unsigned id) const override {
    auto it = strings.find(id);
    return it == strings.end() ? std::string() : it->second;
  }
  void BeginWaitCursor() override { ++waitCount; events.push_back("cursor begin"); }
  void RestoreWaitCursor() override { events.push_back("cursor restore"); }
  void EndWaitCursor() override {
    if (waitCount > 0) --waitCount;
    events.push_back("cursor end");
  }
  void SetStatusLine(const std::string& text) override {
    statusLine = text;
    events.push_back("status " + text);
  }

  /// The events that start with `prefix`, in order.
  std::vector<std::string> EventsStartingWith(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& e : events)
      if (e.rfind(prefix, 0) == 0) out.push_back(e);
    return out;
  }

 private:
  static std::string Hex(unsigned v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", v);
    return buf;
  }
  int Answer() {
    if (answers.empty()) return IDOK;
    int a = answers.front();
    answers.pop_front();
    return a;
  }
};

}  // namespace morv
