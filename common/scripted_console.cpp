#include "common/scripted_console.h"

namespace common {

void ScriptedConsole::type(std::string_view keys) {
    for (const char c : keys) keys_.push_back(Key{static_cast<unsigned char>(c == '\n' ? key_enter : c), false});
}

void ScriptedConsole::press(KeyCode code) {
    keys_.push_back(Key{code, true});
}

bool ScriptedConsole::next_key(Key& key, bool) {
    if (keys_.empty()) return false;
    key = keys_.front();
    keys_.pop_front();
    return true;
}

bool ScriptedConsole::wait_for_input(std::chrono::microseconds length) {
    if (!keys_.empty()) return true;
    clock_ += length;
    pauses_.push_back(length);
    return false;
}

}  // namespace common
