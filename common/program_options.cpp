#include "common/program_options.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/cp1251.h"
#include "common/number_scan.h"
#include "common/run_error.h"

namespace common {

namespace {

// The options of every program, after those of its table.
constexpr std::array<ProgramOption, 3> common_options{{
    {.short_name = 'q', .long_name = "quiet", .help = "no screen: nothing on standard output, reports on\nstandard error"},
    {.short_name = 'h', .long_name = "help", .help = "print this help and end"},
    {.long_name = "version", .help = "print the version and end"},
}};

// The exit codes, alike in every program; the manuals and the README carry
// the same table.
constexpr std::string_view exit_codes =
    "Exit status:\n"
    "  0      the run is done, or the user ended it (a stop key, an empty name)\n"
    "  2      the input is missing (other file errors: the system's error code)\n"
    "  22     an output that is the input; a drawing that is no ASCII DXF\n"
    "  64     an unknown option, a bad value or an argument too many\n"
    "  100    the piped keys ran out while a question waited\n"
    "  106    a token or an answer that is not a valid number\n"
    "  128+N  stopped by signal N (Ctrl-C: 130); 203 out of memory\n";

// "Asks:    " and the text, its further lines under the first.
void append_field(std::string& text, std::string_view label, std::string_view field, std::string_view indent) {
    text.append(label).append(indent.substr(label.size()));
    for (const char c : field) {
        text += c;
        if (c == '\n') text.append(indent);
    }
    text += '\n';
}

// "-t, --height=H" as the help lists it, "[-t H | --height=H]" in the usage.
std::string option_form(const ProgramOption& option) {
    std::string form = option.short_name != 0 ? std::string{'-', option.short_name, ','} : "   ";
    form.append(" --").append(option.long_name);
    if (option.value != OptionValue::none) form.append("=").append(option.value_name);
    return form;
}

std::string usage_form(const ProgramOption& option) {
    std::string form = "[";
    if (option.short_name != 0) {
        form.append({'-', option.short_name});
        if (option.value != OptionValue::none) form.append(" ").append(option.value_name);
        form.append(" | ");
    }
    form.append("--").append(option.long_name);
    if (option.value != OptionValue::none) form.append("=").append(option.value_name);
    form.append(option.repeats ? "]..." : "]");
    return form;
}

// The usage line, its pieces wrapped within 80 columns under the first.
std::string usage_line(const ProgramInfo& program) {
    std::vector<std::string> pieces{"[-q]"};
    for (const ProgramOption& option : program.options) pieces.push_back(usage_form(option));
    std::string operands;
    for (const ProgramOperand& operand : program.operands) operands.append(operands.empty() ? "[" : " [").append(operand.name);
    if (!operands.empty()) pieces.push_back(operands + std::string(program.operands.size(), ']'));
    const std::string start = "Usage: " + std::string(program.name);
    std::string text = start;
    std::size_t line_start = 0;
    for (const std::string& piece : pieces) {
        if (text.size() - line_start + 1 + piece.size() > 79) {
            line_start = text.size() + 1;
            text.append("\n").append(start.size(), ' ');
        }
        text.append(" ").append(piece);
    }
    return text + "\n";
}

void append_options(std::string& text, std::span<const ProgramOption> options) {
    constexpr std::string_view indent = "                        ";
    for (const ProgramOption& option : options) append_field(text, "  " + option_form(option), option.help, indent);
}

// A text that does not reach its reader is no answer: end with 1, as other
// tools do when their help cannot be written.
int print(std::string_view name, const std::string& text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (std::fflush(stdout) == 0 && written) return 0;
    std::fprintf(stderr, "%s: cannot write to standard output\n", std::string(name).c_str());
    return 1;
}

// A usage error: one line on standard error, whatever the arguments hold
// (control bytes show as \xHH, a long value is cut).
int usage_error(std::string_view name, const std::string& what) {
    const std::string line = std::string(name) + ": " + printable_token(what, 200) + " (" + std::string(name) +
                             " --help lists the options)\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    return exit_usage;
}

// A value as the keyboard would type it: UTF-8 becomes Windows-1251, as
// typed keys do ("?" for a character the code page lacks); other bytes stay.
std::string as_typed(std::string_view value) {
    return is_valid_utf8(value) ? utf8_to_cp1251(value) : std::string(value);
}

std::optional<std::string> refusal_by_kind(const ProgramOption& option, std::string_view value);

// Checks a value by its kind, then by the option's own test; the reason it
// is refused, or nothing.
std::optional<std::string> refusal(const ProgramOption& option, std::string_view value) {
    if (auto reason = refusal_by_kind(option, value)) return reason;
    if (option.accepts != nullptr && !option.accepts(value)) return std::string(option.refused);
    return std::nullopt;
}

std::optional<std::string> refusal_by_kind(const ProgramOption& option, std::string_view value) {
    switch (option.value) {
        case OptionValue::none: return std::nullopt;
        case OptionValue::text:
            // Typed, the name could hold neither, nor more than a line takes.
            if (std::any_of(value.begin(), value.end(),
                            [](char c) { return static_cast<unsigned char>(c) < 32 || c == 127; })) {
                return "a control character";
            }
            if (value.size() > 254) return "longer than 254 characters";
            return std::nullopt;
        case OptionValue::real: {
            double number = 0;
            if (parse_real(value, number)) return std::nullopt;
            return "not a number (\".\" is the decimal point)";
        }
        case OptionValue::whole:
        case OptionValue::menu_key: {
            std::int64_t number = 0;
            const std::size_t digits = value.size() - (!value.empty() && (value[0] == '-' || value[0] == '+'));
            const bool whole = parse_integer(value, number) && digits <= 18;
            if (option.value == OptionValue::menu_key ? value.size() == 1 && whole : whole) {
                if (number >= option.lowest && number <= option.highest) return std::nullopt;
            }
            std::string range = option.lowest == std::numeric_limits<std::int64_t>::min()
                                    ? "a whole number"
                                    : "a whole number from " + std::to_string(option.lowest);
            if (option.highest != std::numeric_limits<std::int64_t>::max()) {
                range += (option.lowest == std::numeric_limits<std::int64_t>::min() ? " up to " : " to ") +
                         std::to_string(option.highest);
            }
            return "not " + range;
        }
    }
    return std::nullopt;
}

// The keys that type a value at its question.
std::string keys_of(const ProgramOption& option, const std::string& value) {
    switch (option.value) {
        case OptionValue::none: return {};
        case OptionValue::menu_key: return value;
        default: return value + '\r';
    }
}

// Reads the command line in order; the first text asked for or the first
// fault decides.
class OptionReader {
public:
    OptionReader(int argc, char** argv, const ProgramInfo& program, ProgramArguments& arguments)
        : argc_(argc), argv_(argv), program_(program), arguments_(arguments) {}

    std::optional<int> read() {
        std::vector<std::string_view> operands;
        bool options_ended = false;
        for (index_ = 1; index_ < argc_; ++index_) {
            const std::string_view argument = argv_[index_];
            std::optional<int> code;
            if (options_ended || argument.size() < 2 || argument[0] != '-') {
                operands.push_back(argument);
            } else if (argument == "--") {
                options_ended = true;
            } else if (argument.starts_with("--")) {
                code = long_option(argument.substr(2));
            } else {
                code = short_options(argument.substr(1));
            }
            if (code) return code;
        }
        if (operands.size() > program_.operands.size()) {
            return usage_error(program_.name, "an argument too many: \"" +
                                                  std::string(operands[program_.operands.size()]) + "\"");
        }
        for (std::size_t i = 0; i < operands.size(); ++i) {
            const ProgramOperand& operand = program_.operands[i];
            const ProgramOption as_option{.long_name = operand.name, .value = OptionValue::text};
            if (const auto code = take(as_option, operand.question, std::string(operands[i]), operand.name)) {
                return code;
            }
        }
        return std::nullopt;
    }

private:
    const ProgramOption* find(auto matches) const {
        for (const ProgramOption& option : program_.options) {
            if (matches(option)) return &option;
        }
        for (const ProgramOption& option : common_options) {
            if (matches(option)) return &option;
        }
        return nullptr;
    }

    std::optional<int> long_option(std::string_view text) {
        const std::size_t equals = text.find('=');
        const std::string_view name = text.substr(0, equals);
        const ProgramOption* option = find([&](const ProgramOption& o) { return o.long_name == name; });
        const std::string shown = "--" + std::string(name);
        if (option == nullptr) return usage_error(program_.name, "unknown option " + shown);
        if (equals != std::string_view::npos) {
            if (option->value == OptionValue::none) return usage_error(program_.name, shown + " takes no value");
            return given(*option, text.substr(equals + 1), shown);
        }
        return given_or_next(*option, shown);
    }

    std::optional<int> short_options(std::string_view letters) {
        for (std::size_t i = 0; i < letters.size(); ++i) {
            const char letter = letters[i];
            const ProgramOption* option = find([&](const ProgramOption& o) { return o.short_name == letter; });
            const std::string shown{'-', letter};
            if (option == nullptr) return usage_error(program_.name, "unknown option " + shown);
            if (option->value == OptionValue::none) {
                if (const auto code = given(*option, {}, shown)) return code;
            } else if (i + 1 < letters.size()) {
                return given(*option, letters.substr(i + 1), shown);
            } else {
                return given_or_next(*option, shown);
            }
        }
        return std::nullopt;
    }

    // A flag, or an option whose value is the next argument.
    std::optional<int> given_or_next(const ProgramOption& option, const std::string& shown) {
        if (option.value == OptionValue::none) return given(option, {}, shown);
        if (index_ + 1 >= argc_) return usage_error(program_.name, shown + " needs a value");
        return given(option, argv_[++index_], shown);
    }

    std::optional<int> given(const ProgramOption& option, std::string_view value, const std::string& shown) {
        if (option.long_name == "help") return print(program_.name, help_text(program_));
        if (option.long_name == "version") {
            return print(program_.name,
                         std::string(program_.name) + " (surveykit) " + std::string(suite_version) + "\n");
        }
        if (option.long_name == "quiet") {
            arguments_.quiet = true;
            return std::nullopt;
        }
        return take(option, option.long_name, std::string(value), shown);
    }

    std::optional<int> take(const ProgramOption& option, std::string_view question, std::string value,
                            std::string_view shown) {
        if (const auto why = refusal(option, value)) {
            return usage_error(program_.name, std::string(shown) + " \"" + value + "\": " + *why);
        }
        value = as_typed(value);
        std::string keys = keys_of(option, value);
        arguments_.answers.add(std::string(question), std::move(value), std::move(keys), option.repeats);
        return std::nullopt;
    }

    int argc_;
    char** argv_;
    const ProgramInfo& program_;
    ProgramArguments& arguments_;
    int index_ = 1;
};

}  // namespace

std::string help_text(const ProgramInfo& program) {
    const std::string_view name = program.name;
    std::string text(name);
    if (!program.summary.empty()) text.append(" - ").append(program.summary);
    text.append("\n\n").append(usage_line(program)).append("\n");
    if (!program.does.empty()) {
        constexpr std::string_view indent = "         ";
        text.append(program.does).append("\n\n");
        append_field(text, "Asks:", program.asks, indent);
        append_field(text, "Reads:", program.reads, indent);
        append_field(text, "Writes:", program.writes, indent);
        text += '\n';
    }
    text.append("Options (a question answered by an argument is not asked; given every\n"
                "answer, the program waits for no key):\n");
    append_options(text, program.options);
    append_options(text, common_options);
    text.append("\n").append(exit_codes).append("\n");
    text.append("Start it in the folder that holds the data. It runs on an 80 x 25 terminal;\n"
                "with keys piped in, it prints its final screen at the end.\nSee \"man ");
    text.append(name).append("\" for the questions, the files and the messages.\n");
    return text;
}

std::optional<int> read_program_options(int argc, char** argv, const ProgramInfo& program,
                                        ProgramArguments& arguments) {
    return OptionReader(argc, argv, program, arguments).read();
}

}  // namespace common
