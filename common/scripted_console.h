// The console for unit tests: keys come from a queue, delays advance a
// virtual clock (a delay ends at once when a key is queued), and the test
// inspects the screen model.
#pragma once

#include <cstdint>
#include <deque>
#include <string_view>
#include <vector>

#include "common/console.h"

namespace common {

class ScriptedConsole : public Console {
public:
    // Typed characters: "\n" is Enter; other bytes are taken as they are.
    explicit ScriptedConsole(std::string_view keys = {}) { type(keys); }

    void type(std::string_view keys);
    // A key without a character (key_left, key_f1 ...).
    void press(KeyCode code);

    std::chrono::microseconds clock() const { return clock_; }
    // The delays that ran their whole length.
    const std::vector<std::chrono::microseconds>& pauses() const { return pauses_; }
    std::size_t keys_left() const { return keys_.size(); }
    // Keys typed by a person at a terminal, not piped.
    bool by_hand = false;
    bool typed_by_hand() const override { return by_hand; }

protected:
    bool next_key(Key& key, bool wait) override;
    bool wait_for_input(std::chrono::microseconds length) override;

private:
    std::deque<Key> keys_;
    std::chrono::microseconds clock_{0};
    std::vector<std::chrono::microseconds> pauses_;
};

}  // namespace common
