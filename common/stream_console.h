// The console for pipes and files: keys are the bytes of standard input in
// order, nothing is shown while the program runs, and the final screen is
// printed at the end as 25 lines of UTF-8 text, trailing blanks cut.
//     printf '0\n\n' | nmeadecode > screen.txt
#pragma once

#include "common/console.h"
#include "common/key_decoder.h"
#include "common/platform.h"

namespace common {

class StreamConsole : public Console {
public:
    // An output below 0 prints no final screen.
    StreamConsole(int input = 0, int output = 1);
    int finish() override;

protected:
    bool next_key(Key& key, bool wait) override;
    bool wait_for_input(std::chrono::microseconds length) override;
    void wait_for_input_or(platform::Link& link, std::chrono::microseconds length) override;

private:
    DescriptorKeys keys_;
    int output_;
};

}  // namespace common
