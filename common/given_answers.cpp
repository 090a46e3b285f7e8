#include "common/given_answers.h"

#include <algorithm>
#include <utility>

namespace common {

void GivenAnswers::add(std::string question, std::string value, std::string keys, bool repeats) {
    if (!repeats) std::erase_if(answers_, [&](const Answer& a) { return a.question == question; });
    answers_.push_back(Answer{std::move(question), std::move(value), std::move(keys), repeats});
}

std::size_t GivenAnswers::count(std::string_view question) const {
    return static_cast<std::size_t>(
        std::count_if(answers_.begin(), answers_.end(), [&](const Answer& a) { return a.question == question; }));
}

const GivenAnswers::Answer* GivenAnswers::first(std::string_view question) const {
    const auto found =
        std::find_if(answers_.begin(), answers_.end(), [&](const Answer& a) { return a.question == question; });
    return found == answers_.end() ? nullptr : &*found;
}

std::optional<std::string_view> GivenAnswers::value(std::string_view question) const {
    const Answer* answer = first(question);
    if (answer == nullptr) return std::nullopt;
    return std::string_view(answer->value);
}

std::optional<std::string> GivenAnswers::take_keys(std::string_view question) {
    const Answer* answer = first(question);
    if (answer == nullptr) return std::nullopt;
    std::string keys = answer->keys;
    if (answer->repeats) answers_.erase(answers_.begin() + (answer - answers_.data()));
    return keys;
}

}  // namespace common
