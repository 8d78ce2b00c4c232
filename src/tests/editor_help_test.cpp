// LoopCore's class reference as the editor receives it: handed over only when the engine
// reaches the editor level, well formed, and describing exactly the registered methods.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "fake_engine.hpp"
#include "xml_tree.hpp"

namespace {

using namespace vantrel_host;
using gde::InitializationLevel;

const std::set<std::string> EDITOR_HELP_FUNCTIONS = {"editor_help_load_xml_from_utf8_chars",
                                                     "editor_help_load_xml_from_utf8_chars_and_len"};

std::string file_text(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool asked_for_editor_help(const FakeEngine& engine) {
    return std::any_of(engine.looked_up.begin(), engine.looked_up.end(),
                       [](const std::string& name) { return EDITOR_HELP_FUNCTIONS.count(name) != 0; });
}

// Opens the library and takes the engine up to `top`, then checks that the class is there.
void start(FakeEngine& engine, InitializationLevel top) {
    ASSERT_TRUE(engine.open(VANTREL_LIBRARY_PATH));
    engine.initialize_levels(top);
    EXPECT_NE(engine.find_class("LoopCore"), nullptr);
}

void shut_down(FakeEngine& engine) {
    engine.deinitialize_levels();
    EXPECT_TRUE(engine.classes.empty());
    EXPECT_EQ(engine.live_values(), 0u);
    for (const std::string& misuse : engine.misuses) {
        ADD_FAILURE() << "interface misuse: " << misuse;
    }
}

TEST(EditorHelp, EditorReceivesTheReferenceFileOnce) {
    FakeEngine engine;
    start(engine, InitializationLevel::Editor);
    ASSERT_EQ(engine.editor_help.size(), 1u);
    EXPECT_EQ(engine.editor_help[0], file_text(VANTREL_REFERENCE_XML));
    EXPECT_TRUE(engine.errors.empty());
    shut_down(engine);
}

TEST(EditorHelp, ExportedGameNeitherAsksForHelpNorPrints) {
    FakeEngine engine;
    engine.withheld = EDITOR_HELP_FUNCTIONS;
    start(engine, InitializationLevel::Scene);
    EXPECT_FALSE(asked_for_editor_help(engine));
    EXPECT_TRUE(engine.editor_help.empty());
    EXPECT_TRUE(engine.errors.empty());
    shut_down(engine);
}

TEST(EditorHelp, EditorWithoutHelpFunctionsStillInitializesSilently) {
    FakeEngine engine;
    engine.withheld = EDITOR_HELP_FUNCTIONS;
    start(engine, InitializationLevel::Editor);
    EXPECT_TRUE(engine.editor_help.empty());
    EXPECT_TRUE(engine.errors.empty());
    shut_down(engine);
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::vector<std::string> child_names(const XmlElement& element) {
    std::vector<std::string> names;
    for (const XmlElement& child : element.children) {
        names.push_back(child.name);
    }
    return names;
}

const XmlElement* child(const XmlElement& element, const std::string& name) {
    for (const XmlElement& candidate : element.children) {
        if (candidate.name == name) {
            return &candidate;
        }
    }
    return nullptr;
}

std::string attribute_or_empty(const XmlElement& element, const char* name) {
    const std::string* value = element.attribute(name);
    return value == nullptr ? std::string() : *value;
}

// The names in every "[<tag> name]" reference of a description, such as [method step].
std::vector<std::string> references(const std::string& description, const std::string& tag) {
    std::vector<std::string> names;
    const std::string marker = "[" + tag + " ";
    for (std::size_t at = description.find(marker); at != std::string::npos; at = description.find(marker, at + 1)) {
        const std::size_t start = at + marker.size();
        names.push_back(description.substr(start, description.find(']', start) - start));
    }
    return names;
}

std::string type_name(gde::VariantType type) {
    switch (type) {
        case gde::VariantType::Int: return "int";
        case gde::VariantType::String: return "String";
        case gde::VariantType::PackedStringArray: return "PackedStringArray";
        default: return "unnamed type " + std::to_string(static_cast<int>(type));
    }
}

// One line per method, the same for the registration and the reference, so that a
// difference shows as a differing line.
std::string signature(const RegisteredMethod& method) {
    std::string text = method.name + "(";
    for (std::size_t k = 0; k < method.arguments.size(); ++k) {
        text += (k == 0 ? "" : ", ") + method.arguments[k].name + ": " + type_name(method.arguments[k].type);
    }
    text += ") -> " + (method.has_return ? type_name(method.result.type) : "void");
    return (method.flags & gde::METHOD_FLAG_CONST) != 0 ? text + " const" : text;
}

std::string signature(const XmlElement& method) {
    std::string text = attribute_or_empty(method, "name") + "(";
    std::string result = "void";
    bool first = true;
    for (const XmlElement& part : method.children) {
        if (part.name == "param") {
            text += (first ? "" : ", ") + attribute_or_empty(part, "name") + ": " + attribute_or_empty(part, "type");
            first = false;
        } else if (part.name == "return") {
            result = attribute_or_empty(part, "type");
        }
    }
    text += ") -> " + result;
    return attribute_or_empty(method, "qualifiers") == "const" ? text + " const" : text;
}

class ClassReference : public ::testing::Test {
protected:
    void SetUp() override {
        start(engine, InitializationLevel::Editor);
        ASSERT_EQ(engine.editor_help.size(), 1u);
        auto parsed = parse_xml(engine.editor_help[0]);
        ASSERT_TRUE(std::holds_alternative<XmlElement>(parsed)) << std::get<std::string>(parsed);
        root = std::get<XmlElement>(std::move(parsed));
    }

    void TearDown() override { shut_down(engine); }

    FakeEngine engine;
    XmlElement root;
};

TEST_F(ClassReference, NamesLoopCoreAndKeepsTheEngineLayout) {
    EXPECT_EQ(root.name, "class");
    EXPECT_EQ(attribute_or_empty(root, "name"), "LoopCore");
    EXPECT_EQ(attribute_or_empty(root, "inherits"), "RefCounted");
    EXPECT_EQ(attribute_or_empty(root, "version"), "4.5");
    ASSERT_EQ(child_names(root), (std::vector<std::string>{"brief_description", "description", "tutorials", "methods"}));
    EXPECT_GE(trimmed(root.children[0].text).size(), 10u);
    EXPECT_EQ(trimmed(root.children[0].text).find('\n'), std::string::npos) << "the brief is one line";
    EXPECT_GE(trimmed(root.children[1].text).size(), 10u);
    EXPECT_NE(root.children[1].text.find("[codeblock]"), std::string::npos) << "the description shows an example";

    for (const XmlElement& method : root.children[3].children) {
        SCOPED_TRACE(attribute_or_empty(method, "name"));
        EXPECT_EQ(method.name, "method");
        std::vector<std::string> expected = {"return"};
        std::set<std::string> parameters;
        for (std::size_t k = 1; k + 1 < method.children.size(); ++k) {
            expected.push_back("param");
            EXPECT_EQ(attribute_or_empty(method.children[k], "index"), std::to_string(k - 1));
            parameters.insert(attribute_or_empty(method.children[k], "name"));
        }
        expected.push_back("description");
        ASSERT_EQ(child_names(method), expected);
        const std::string& description = method.children.back().text;
        EXPECT_GE(trimmed(description).size(), 10u);
        for (const std::string& parameter : references(description, "param")) {
            EXPECT_EQ(parameters.count(parameter), 1u) << "[param " << parameter << "]";
        }
    }
}

TEST_F(ClassReference, DocumentsExactlyTheRegisteredMethods) {
    const RegisteredClass* loop_core = engine.find_class("LoopCore");
    ASSERT_NE(loop_core, nullptr);
    std::multiset<std::string> registered;
    for (const RegisteredMethod& method : loop_core->methods) {
        registered.insert(signature(method));
    }
    std::multiset<std::string> documented;
    std::set<std::string> documented_names;
    const XmlElement* methods = child(root, "methods");
    ASSERT_NE(methods, nullptr);
    for (const XmlElement& method : methods->children) {
        documented.insert(signature(method));
        documented_names.insert(attribute_or_empty(method, "name"));
    }
    EXPECT_EQ(documented, registered);

    // Every [method name] of this class names a documented method; other classes' are dotted.
    std::vector<std::string> descriptions = {child(root, "description")->text};
    for (const XmlElement& method : methods->children) {
        descriptions.push_back(method.children.back().text);
    }
    for (const std::string& description : descriptions) {
        for (const std::string& name : references(description, "method")) {
            EXPECT_TRUE(name.find('.') != std::string::npos || documented_names.count(name) != 0) << name;
        }
    }
}

TEST(XmlTree, RefusesWhatIsNotWellFormed) {
    const char* const faulty[] = {
        "",
        "<a><b></a></b>",
        "<a></a><b/>",
        "<a x=1/>",
        "<a x='1' x='2'/>",
        "<a>fish &chips;</a>",
        "<a>1 < 2</a>",
        "<a><!-- a -- b --></a>",
        "<a>",
        "text<a/>",
    };
    for (const char* document : faulty) {
        EXPECT_TRUE(std::holds_alternative<std::string>(parse_xml(document))) << document;
    }

    const auto parsed = parse_xml("<?xml version=\"1.0\"?>\n<a k=\"&lt;&#x41;&amp;\"><!-- c --><b/>x &gt; y</a>\n");
    ASSERT_TRUE(std::holds_alternative<XmlElement>(parsed)) << std::get<std::string>(parsed);
    const XmlElement& a = std::get<XmlElement>(parsed);
    EXPECT_EQ(attribute_or_empty(a, "k"), "<A&");
    EXPECT_EQ(child_names(a), std::vector<std::string>{"b"});
    EXPECT_EQ(a.text, "x > y");
}

}  // namespace
