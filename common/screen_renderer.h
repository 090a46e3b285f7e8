// The part that the window backends (a terminal, the Windows console) share:
// what the window shows of the screen model, the runs of cells that changed
// since, and the pace of drawing and of looking at the keyboard. A backend
// only turns the runs into its own output calls.
//
// The model is presented at every wait (key, line input, delay), at most
// about every 15 ms while a program runs flat out, and at the end. A window
// smaller than the screen shows what fits, and its last row says so.
#pragma once

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>

#include "common/console.h"

namespace common {

class ScreenRenderer {
public:
    static constexpr std::chrono::milliseconds frame_interval{15};
    static constexpr std::chrono::milliseconds key_check_interval{1};

    // Cells of one row, from `first` to `last` (columns from 1).
    struct Run {
        int row;
        int first;
        int last;
    };

    // Starts a frame in a window of `width` x `height` cells (more are not
    // used). True when every cell is to be drawn anew: the first frame, a
    // window of another size, or a screen lost.
    bool start_frame(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }
    bool small() const { return width_ < Screen::columns || height_ < Screen::rows; }
    // The rows of the model that the window shows: a window too small keeps
    // its last row for the message.
    int model_rows() const { return small() ? height_ - 1 : height_; }
    // Calls `draw(run)` for each run of cells that changed, row by row, and
    // takes them as shown. Nothing when the model is as it was shown.
    template <typename Draw>
    void draw_changes(const Screen& model, Draw&& draw);
    // The cursor's cell in the window, from 1.
    int cursor_column(const Screen& model) const { return std::min(model.column(), width_); }
    int cursor_row(const Screen& model) const { return std::max(1, std::min(model.row(), model_rows())); }
    // The window no longer shows what it was given: draw it all anew.
    void lose() { valid_ = false; }
    // Ends the frame: the next one is due a frame interval from now.
    void end_frame() { last_frame_ = std::chrono::steady_clock::now(); }

    // After an output operation: whether a frame is due. Drawing must never
    // be what limits a replay: the clock is read only every few operations.
    bool frame_due_after_output() {
        return ++output_calls_ % 16 == 0 && frame_due(std::chrono::steady_clock::now());
    }
    bool frame_due(std::chrono::steady_clock::time_point now) const { return now - last_frame_ >= frame_interval; }
    // A look at the keyboard costs a system call; a replay asks once a line,
    // so a look that found nothing stands for a millisecond. False while it
    // stands.
    bool may_look_at_keys(std::chrono::steady_clock::time_point now) {
        if (now - last_key_check_ < key_check_interval) return false;
        last_key_check_ = now;
        return true;
    }
    // Input came: what it brought is looked at at once, not a millisecond
    // later.
    void input_came() { last_key_check_ = {}; }

private:
    std::array<Screen::Cell, Screen::columns * Screen::rows> shown_{};
    bool valid_ = false;
    std::uint64_t version_ = ~0ull;
    int width_ = 0;
    int height_ = 0;
    std::chrono::steady_clock::time_point last_frame_{};
    std::chrono::steady_clock::time_point last_key_check_{};
    unsigned output_calls_ = 0;
};

template <typename Draw>
void ScreenRenderer::draw_changes(const Screen& model, Draw&& draw) {
    if (valid_ && model.version() == version_) return;
    const int rows = model_rows();
    for (int row = 1; row <= rows; ++row) {
        Screen::Cell* const shown = &shown_[static_cast<std::size_t>((row - 1) * Screen::columns)];
        for (int column = 1; column <= width_; ++column) {
            if (valid_ && model.cell(column, row) == shown[column - 1]) continue;
            const int first = column;
            for (; column <= width_ && !(valid_ && model.cell(column, row) == shown[column - 1]); ++column) {
                shown[column - 1] = model.cell(column, row);
            }
            draw(Run{row, first, column - 1});
        }
    }
    valid_ = true;
    version_ = model.version();
}

// What the two window backends have in common beyond the renderer: the
// frames drawn at their pace, and the keys given back once.
class WindowConsole : public Console {
public:
    ~WindowConsole() override { give_back_keys(); }
    bool typed_by_hand() const override { return true; }

protected:
    void after_output() override {
        if (renderer_.frame_due_after_output()) present();
    }
    // For a look at the keyboard that does not wait: a replay looks once a
    // line, the place to keep the screen current without drawing more often
    // than once a frame. False while a look that found nothing stands.
    bool frame_and_look_at_keys();
    // The keys as they were before the program took them (platform.h).
    void give_back_keys();

    ScreenRenderer renderer_;

private:
    bool keys_given_back_ = false;
};

// The backend for a console window: the terminal, or the Windows console
// (whichever the system builds).
std::unique_ptr<Console> make_window_console();

}  // namespace common
