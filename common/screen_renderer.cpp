#include "common/screen_renderer.h"

#include "common/platform.h"
#include "common/stop_request.h"

namespace common {

bool ScreenRenderer::start_frame(int width, int height) {
    if (take_screen_lost()) valid_ = false;
    if (width != width_ || height != height_) {
        valid_ = false;
        width_ = width;
        height_ = height;
    }
    return !valid_;
}

bool WindowConsole::frame_and_look_at_keys() {
    const auto now = std::chrono::steady_clock::now();
    if (renderer_.frame_due(now)) present();
    return renderer_.may_look_at_keys(now);
}

void WindowConsole::give_back_keys() {
    if (keys_given_back_) return;
    keys_given_back_ = true;
    platform::give_back_keys();
}

}  // namespace common
