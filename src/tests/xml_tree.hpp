#pragma once

// A small reader that accepts only well-formed XML: one root element, matching tags, quoted
// and unique attributes, known entities, comments and processing instructions. Enough to
// check the class reference without another dependency; DTDs and CDATA are refused.

#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace vantrel_host {

struct XmlElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<XmlElement> children;
    std::string text;  // the character data directly inside, entities resolved

    // Null when the attribute is absent.
    const std::string* attribute(std::string_view attribute_name) const;
};

// The root element, or a description of the first fault with its byte offset.
std::variant<XmlElement, std::string> parse_xml(std::string_view document);

}  // namespace vantrel_host
