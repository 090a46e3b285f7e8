#include "common/screen_renderer.h"

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

}  // namespace common
