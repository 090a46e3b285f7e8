// The answers given as arguments on the command line: each one is the
// answer to one question of the dialogue (a file name, a number, a menu
// key) or a setting that no question asks (a flag). The program shell
// fills them from the arguments; the console types an answer as the keys
// of its question when the question comes (Console::type_given), so that
// the dialogue runs one way for typed and given answers alike.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace common {

class GivenAnswers {
public:
    // `keys` are what typing the answer takes: the value and Enter for a
    // line, the key alone for a menu, nothing for a flag. An answer given
    // once answers its question every time it is asked, and one given again
    // takes its place (the last one counts); answers that
    // `repeat` (one station after another) are taken one per asking, in the
    // order given.
    void add(std::string question, std::string value, std::string keys, bool repeats = false);

    bool empty() const { return answers_.empty(); }
    // How many answers the question has (left).
    std::size_t count(std::string_view question) const;
    bool has(std::string_view question) const { return count(question) != 0; }
    // The first answer's value (Windows-1251, as if typed).
    std::optional<std::string_view> value(std::string_view question) const;
    // The keys of the first answer, which is then gone when it repeats.
    std::optional<std::string> take_keys(std::string_view question);

private:
    struct Answer {
        std::string question;
        std::string value;
        std::string keys;
        bool repeats = false;
    };
    const Answer* first(std::string_view question) const;

    std::vector<Answer> answers_;
};

}  // namespace common
