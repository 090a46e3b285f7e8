// The field operations of the sentence handlers. A handler is entered with
// `line_text` beginning with its tag; it reads fields from the front and
// consumes them. `LineText` is a view of the line: consuming a field moves
// its start, and no field is ever copied. The view ends before the "*" of
// the checksum (which is never verified), or at the line end when a sentence
// carries none.
//
// The text after the last "," is the last field, and the read that takes it
// consumes it: every field after it reads empty. A sentence cut short (a
// recording cut mid-line) thus never reads one value into two fields, and
// a field that a newer receiver adds after the last one read is left alone.
//
// A fixed piece never reaches past the end of its field, because real
// receivers write fields of other widths than hhmmss.ss and ddmm.mmmm: it is
// cut at the first ",". "123519" gives 19 seconds, "4807.038" gives 7.038
// minutes. Well-formed fields read exactly as the plain positions give them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/text_reader.h"

namespace nmea {

class LineText {
public:
    LineText() = default;
    // The sentence from its tag on, without the "*" and the checksum.
    explicit LineText(std::string_view sentence) : text_(sentence.substr(0, sentence.find('*'))) {}

    std::string_view text() const { return text_; }
    bool starts_with(std::string_view tag) const { return text_.substr(0, tag.size()) == tag; }

    // Deletes up to and including the first ","; the whole last field when
    // there is none.
    void drop_through_comma() { next_field(); }

    // The characters before the first "," (all that is left when there is
    // none: the last field); then deletes through it.
    std::string_view next_field() {
        const std::size_t at = comma_at();
        const std::string_view field = text_.substr(0, at);
        text_.remove_prefix(at == std::string_view::npos ? text_.size() : at + 1);
        return field;
    }

    // No "," is left: what remains is the last field.
    bool at_last_field() const { return comma_at() == std::string_view::npos; }

    // The text of the last field: all that is left; nothing is deleted.
    std::string_view last_field() const { return text_; }

    // The field at the front: the characters before the first ",".
    std::string_view field() const { return text_.substr(0, comma_at()); }
    bool field_is_empty() const { return text_.empty() || text_.front() == ','; }

    // The characters at 1-based positions first .. first + length - 1 of
    // the field at the front (fewer when the field is shorter); nothing is
    // deleted.
    std::string_view fixed_piece(std::size_t first, std::size_t length) const {
        const std::string_view front = field();
        if (first > front.size()) return {};
        return front.substr(first - 1, length);
    }

    // The first character of what remains, as a one-character text (empty
    // when nothing remains). After an empty field this is the next comma.
    std::string_view first_character() const { return text_.substr(0, 1); }

private:
    // Where the first "," stands (npos without one). Fields are a few
    // characters long: a plain loop finds it sooner than a library search.
    std::size_t comma_at() const {
        for (std::size_t i = 0; i < text_.size(); ++i) {
            if (text_[i] == ',') return i;
        }
        return std::string_view::npos;
    }

    std::string_view text_;
};

// The conversion rule for fields and pieces: the number when the whole text
// is one, otherwise 0.
inline double real_value(std::string_view field) {
    return common::to_real(field);
}
inline std::uint64_t unsigned_value(std::string_view field) {
    return common::to_unsigned(field);
}
inline std::int64_t signed_value(std::string_view field) {
    return common::to_integer(field);
}

}  // namespace nmea
