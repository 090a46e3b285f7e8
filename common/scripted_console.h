// The console for unit tests: keys come from a queue, delays advance a
// virtual clock, and the test inspects the screen model.
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

    std::uint64_t clock() const { return clock_; }
    const std::vector<std::uint64_t>& pauses() const { return pauses_; }
    std::size_t keys_left() const { return keys_.size(); }

protected:
    bool next_key(Key& key, bool wait) override;
    void pause(std::uint64_t milliseconds) override;

private:
    std::deque<Key> keys_;
    std::uint64_t clock_ = 0;
    std::vector<std::uint64_t> pauses_;
};

}  // namespace common
