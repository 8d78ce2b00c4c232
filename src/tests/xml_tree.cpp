#include "xml_tree.hpp"

#include <charconv>

namespace vantrel_host {

namespace {

struct XmlFault {
    std::string what;
};

void append_utf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
        return;
    }
    const int extra = code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
    const unsigned lead[] = {0, 0xC0, 0xE0, 0xF0};
    out += static_cast<char>(lead[extra] | (code >> (6 * extra)));
    for (int k = extra - 1; k >= 0; --k) {
        out += static_cast<char>(0x80 | ((code >> (6 * k)) & 0x3F));
    }
}

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    XmlElement document() {
        skip_misc();
        if (!looking_at("<")) {
            fail("no root element");
        }
        XmlElement root = element();
        skip_misc();
        if (at_ < text_.size()) {
            fail("content after the root element");
        }
        return root;
    }

    std::size_t offset() const { return at_; }

private:
    [[noreturn]] void fail(const std::string& what) const { throw XmlFault{what}; }

    bool looking_at(std::string_view what) const { return text_.substr(at_, what.size()) == what; }

    void expect(std::string_view what) {
        if (!looking_at(what)) {
            fail("expected '" + std::string(what) + "'");
        }
        at_ += what.size();
    }

    void skip_space() {
        while (at_ < text_.size() && is_space(text_[at_])) {
            ++at_;
        }
    }

    static bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    static bool is_name_start(char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' ||
               static_cast<unsigned char>(c) >= 0x80;
    }
    static bool is_name_char(char c) { return is_name_start(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

    // Comments, processing instructions (the declaration among them) and blanks.
    void skip_misc() {
        for (;;) {
            skip_space();
            if (looking_at("<!--")) {
                comment();
            } else if (looking_at("<?")) {
                skip_past("?>", "unterminated processing instruction");
            } else {
                return;
            }
        }
    }

    void comment() {
        at_ += 4;
        const std::size_t end = text_.find("--", at_);
        if (end == std::string_view::npos || text_.substr(end, 3) != "-->") {
            fail("'--' inside a comment or an unterminated comment");
        }
        at_ = end + 3;
    }

    void skip_past(std::string_view end, const char* fault) {
        const std::size_t found = text_.find(end, at_);
        if (found == std::string_view::npos) {
            fail(fault);
        }
        at_ = found + end.size();
    }

    std::string name() {
        if (at_ >= text_.size() || !is_name_start(text_[at_])) {
            fail("expected a name");
        }
        const std::size_t start = at_;
        while (at_ < text_.size() && is_name_char(text_[at_])) {
            ++at_;
        }
        return std::string(text_.substr(start, at_ - start));
    }

    // At '&': appends the character the reference stands for.
    void reference(std::string& out) {
        const std::size_t end = text_.find(';', at_);
        if (end == std::string_view::npos) {
            fail("unterminated entity reference");
        }
        const std::string_view entity = text_.substr(at_ + 1, end - at_ - 1);
        at_ = end + 1;
        if (entity == "lt") { out += '<'; return; }
        if (entity == "gt") { out += '>'; return; }
        if (entity == "amp") { out += '&'; return; }
        if (entity == "quot") { out += '"'; return; }
        if (entity == "apos") { out += '\''; return; }
        if (entity.size() > 1 && entity[0] == '#') {
            const bool hex = entity[1] == 'x';
            const std::string_view digits = entity.substr(hex ? 2 : 1);
            unsigned code = 0;
            const auto [end_digit, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
            if (!digits.empty() && error == std::errc() && end_digit == digits.data() + digits.size() && code > 0 &&
                code <= 0x10FFFF) {
                append_utf8(out, code);
                return;
            }
        }
        fail("unknown entity '&" + std::string(entity) + ";'");
    }

    std::string attribute_value() {
        if (at_ >= text_.size() || (text_[at_] != '"' && text_[at_] != '\'')) {
            fail("attribute value without quotes");
        }
        const char quote = text_[at_++];
        std::string value;
        while (at_ < text_.size() && text_[at_] != quote) {
            if (text_[at_] == '<') {
                fail("'<' in an attribute value");
            }
            if (text_[at_] == '&') {
                reference(value);
            } else {
                value += text_[at_++];
            }
        }
        expect(std::string_view(&quote, 1));
        return value;
    }

    // The start tag; true when it closes itself.
    bool start_tag(XmlElement& element) {
        expect("<");
        element.name = name();
        for (;;) {
            const std::size_t before_space = at_;
            skip_space();
            if (looking_at("/>")) {
                at_ += 2;
                return true;
            }
            if (looking_at(">")) {
                ++at_;
                return false;
            }
            if (at_ == before_space) {
                fail("attributes must be separated by blanks");
            }
            std::string attribute_name = name();
            skip_space();
            expect("=");
            skip_space();
            if (element.attribute(attribute_name) != nullptr) {
                fail("attribute '" + attribute_name + "' given twice");
            }
            element.attributes.emplace_back(std::move(attribute_name), attribute_value());
        }
    }

    XmlElement element() {
        XmlElement result;
        if (start_tag(result)) {
            return result;
        }
        for (;;) {
            if (at_ >= text_.size()) {
                fail("'" + result.name + "' is not closed");
            }
            if (looking_at("</")) {
                at_ += 2;
                if (name() != result.name) {
                    fail("end tag does not match '" + result.name + "'");
                }
                skip_space();
                expect(">");
                return result;
            }
            if (looking_at("<!--")) {
                comment();
            } else if (looking_at("<?")) {
                skip_past("?>", "unterminated processing instruction");
            } else if (looking_at("<!")) {
                fail("CDATA and declarations are not accepted");
            } else if (looking_at("<")) {
                result.children.push_back(element());
            } else if (looking_at("&")) {
                reference(result.text);
            } else if (looking_at("]]>")) {
                fail("']]>' in text");
            } else {
                result.text += text_[at_++];
            }
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

}  // namespace

const std::string* XmlElement::attribute(std::string_view attribute_name) const {
    for (const auto& [key, value] : attributes) {
        if (key == attribute_name) {
            return &value;
        }
    }
    return nullptr;
}

std::variant<XmlElement, std::string> parse_xml(std::string_view document) {
    Reader reader(document);
    try {
        return reader.document();
    } catch (const XmlFault& fault) {
        return fault.what + " at byte " + std::to_string(reader.offset());
    }
}

}  // namespace vantrel_host
