// The console on a real terminal: raw keys through termios, and the screen
// model shown by sending only the cells that changed (ANSI cursor moves,
// 16 foreground colours on black, UTF-8 text).
//
// No alternate screen: the final screen stays and the shell prompt comes
// below it. The terminal is restored on every way out, and while the job is
// stopped (Ctrl-Z); a signal handler that must end the process at once
// restores it itself (platform.h).
#pragma once

#include <string>

#include "common/console.h"
#include "common/key_decoder.h"
#include "common/screen_renderer.h"

namespace common {

class TerminalConsole : public WindowConsole {
public:
    TerminalConsole(int input = 0, int output = 1);

    void present() override;
    int finish() override;

protected:
    bool next_key(Key& key, bool wait) override;
    bool wait_for_input(std::chrono::microseconds length) override;
    void wait_for_input_or(platform::Link& link, std::chrono::microseconds length) override;

private:
    DescriptorKeys keys_;
    int output_;
    std::string frame_;
};

}  // namespace common
