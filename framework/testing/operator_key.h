#pragma once
// The keys a test plays the operator with, named once for every toolkit.

namespace morv {

enum class OperatorKey { Tab, Escape, Enter, Up, Down };

}  // namespace morv
