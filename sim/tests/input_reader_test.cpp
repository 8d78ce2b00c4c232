#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <string>

#include "input.hpp"

namespace vantrel_sim {
namespace {

// The parsed Input, failing the test when the text does not parse.
Input parsed(std::string_view text) {
    auto result = parse_input(text);
    if (const auto* error = std::get_if<InputError>(&result)) {
        ADD_FAILURE() << "unexpected error: " << error->text();
        return Input{};
    }
    return std::get<Input>(result);
}

// The error text, or a marker when the text parses.
std::string error_of(std::string_view text) {
    auto result = parse_input(text);
    if (const auto* error = std::get_if<InputError>(&result)) return error->text();
    return "<parsed>";
}

std::uint32_t bits(float value) { return std::bit_cast<std::uint32_t>(value); }

void expect_all_default(const Input& input) {
    EXPECT_EQ(bits(input.dt), 0u);
    EXPECT_EQ(bits(input.mx), 0u);
    EXPECT_EQ(bits(input.mz), 0u);
    EXPECT_EQ(bits(input.yaw), 0u);
    EXPECT_EQ(bits(input.pitch), 0u);
    EXPECT_FALSE(input.jump || input.interact || input.throw_ || input.commit || input.reset ||
                 input.retry || input.undo || input.next);
}

TEST(InputReader, EmptyObjectAndEmptyArrayGiveAllDefaults) {
    expect_all_default(parsed("{}"));
    expect_all_default(parsed("[]"));
    expect_all_default(parsed(" \t\r\n{ \n}\n "));
    expect_all_default(parsed("[ ]"));
}

TEST(InputReader, ObjectFormReadsEveryFieldByItsKey) {
    const Input input = parsed(
        R"({"next":true,"undo":true,"retry":true,"reset":true,"commit":true,"throw":true,)"
        R"("interact":true,"jump":true,"pitch":-0.5,"yaw":3.25,"mz":1,"mx":-1,"dt":0.016})");
    EXPECT_EQ(input.dt, 0.016f);
    EXPECT_EQ(input.mx, -1.0f);
    EXPECT_EQ(input.mz, 1.0f);
    EXPECT_EQ(input.yaw, 3.25f);
    EXPECT_EQ(input.pitch, -0.5f);
    EXPECT_TRUE(input.jump && input.interact && input.throw_ && input.commit && input.reset &&
                input.retry && input.undo && input.next);
}

TEST(InputReader, MissingKeysTakeDefaultsAndFalseIsRead) {
    const Input input = parsed(R"({"yaw":1.5,"jump":false,"commit":true})");
    EXPECT_EQ(input.yaw, 1.5f);
    EXPECT_EQ(input.dt, 0.0f);
    EXPECT_FALSE(input.jump);
    EXPECT_TRUE(input.commit);
    EXPECT_FALSE(input.next);
}

TEST(InputReader, ArrayFormFillsFieldsInDeclarationOrder) {
    const Input six = parsed("[0.016, 0, 1, 0.5, 0, true]");
    EXPECT_EQ(six.dt, 0.016f);
    EXPECT_EQ(six.mx, 0.0f);
    EXPECT_EQ(six.mz, 1.0f);
    EXPECT_EQ(six.yaw, 0.5f);
    EXPECT_EQ(six.pitch, 0.0f);
    EXPECT_TRUE(six.jump);
    EXPECT_FALSE(six.interact || six.throw_ || six.commit || six.reset || six.retry ||
                 six.undo || six.next);

    const Input full =
        parsed("[1,2,3,4,5,false,false,false,false,false,false,false,true]");
    EXPECT_EQ(full.pitch, 5.0f);
    EXPECT_FALSE(full.undo);
    EXPECT_TRUE(full.next);
}

TEST(InputReader, ArrayFormRejectsAFourteenthElementAndTrailingCommas) {
    const std::string thirteen = "[0,0,0,0,0,true,true,true,true,true,true,true,true";
    EXPECT_EQ(error_of(thirteen + ",7]"), "trailing characters at line 1 column 52");
    EXPECT_EQ(error_of(thirteen + ", ]"), "trailing comma at line 1 column 53");
    EXPECT_EQ(error_of(thirteen + " 7]"), "trailing characters at line 1 column 52");
    EXPECT_EQ(error_of("[1,]"), "trailing comma at line 1 column 4");
    EXPECT_EQ(error_of("[1 2]"), "expected `,` or `]` at line 1 column 4");
    EXPECT_EQ(error_of("[,]"), "expected value at line 1 column 2");
    EXPECT_EQ(error_of("[1,"), "EOF while parsing a value at line 1 column 3");
    EXPECT_EQ(error_of("["), "EOF while parsing a list at line 1 column 1");
}

TEST(InputReader, UnknownKeysAreSkippedWithTheirWholeValue) {
    const Input input = parsed(
        R"({"dt":0.25,"extra":{"a":[1,{"b":null,"c":[[],{}]}],"s":"x\"}]"},)"
        R"("DT":5,"Dt":"no","list":[true,false,-1.5e3,"\u005d"],"jump":true})");
    EXPECT_EQ(input.dt, 0.25f);
    EXPECT_TRUE(input.jump);
}

TEST(InputReader, KeyInCapitalsIsNotDt) {
    EXPECT_EQ(parsed(R"({"DT":0.5})").dt, 0.0f);
}

TEST(InputReader, KeysAreMatchedAfterResolvingEscapes) {
    EXPECT_EQ(parsed(R"({"\u0064t":0.5})").dt, 0.5f);
    EXPECT_TRUE(parsed(R"({"j\u0075mp":true,"\ud83d\ude00":1})").jump);
    EXPECT_EQ(error_of(R"({"d\u0074":1,"dt":2})"), "duplicate field `dt` at line 1 column 17");
}

TEST(InputReader, DuplicateKeyFailsEvenWithAnEqualValue) {
    EXPECT_EQ(error_of(R"({"dt":1,"dt":1})"), "duplicate field `dt` at line 1 column 12");
    EXPECT_EQ(error_of(R"({"jump":true,"x":0,"jump":false})"),
              "duplicate field `jump` at line 1 column 25");
    // Unknown keys may repeat.
    EXPECT_EQ(parsed(R"({"x":1,"x":2,"mx":0.5})").mx, 0.5f);
}

TEST(InputReader, FloatFieldsTakeIntegersOfAnySize) {
    EXPECT_EQ(bits(parsed(R"({"dt":1})").dt), bits(1.0f));
    EXPECT_EQ(parsed(R"({"dt":-3})").dt, -3.0f);
    EXPECT_EQ(parsed(R"({"dt":123456789012345678901234567890})").dt, 1.2345679e29f);
    EXPECT_EQ(bits(parsed(R"({"dt":-0})").dt), bits(-0.0f));
    EXPECT_EQ(parsed(R"({"dt":2E+2})").dt, 200.0f);
}

TEST(InputReader, FloatsRoundOnceToTheNearestFloat) {
    EXPECT_EQ(parsed(R"({"dt":0.1})").dt, 0.1f);
    // Just above the midpoint between 1 and the next float: rounding through a double
    // would land on the midpoint and then tie down to 1.
    EXPECT_EQ(parsed(R"({"dt":1.0000000596046447753906251})").dt, 1.00000012f);
    EXPECT_EQ(parsed(R"({"dt":3.4028235e38})").dt, std::numeric_limits<float>::max());
    EXPECT_EQ(parsed(R"({"dt":1e-45})").dt, std::numeric_limits<float>::denorm_min());
    EXPECT_EQ(parsed(R"({"dt":8e-46})").dt, std::numeric_limits<float>::denorm_min());
}

TEST(InputReader, BeyondFloatRangeIsInfinityAndBeyondDoubleRangeIsAnError) {
    const float infinity = std::numeric_limits<float>::infinity();
    EXPECT_EQ(parsed(R"({"dt":1e39})").dt, infinity);
    EXPECT_EQ(parsed(R"({"mx":-1e39})").mx, -infinity);
    EXPECT_EQ(parsed(R"({"dt":3.4028236e38})").dt, infinity);
    EXPECT_EQ(error_of(R"({"dt":1e400})"), "number out of range at line 1 column 11");
    EXPECT_EQ(error_of(R"({"dt":-1e400})"), "number out of range at line 1 column 12");
    EXPECT_EQ(error_of(R"({"dt":1e99999999999999999999999})"),
              "number out of range at line 1 column 31");
    std::string huge_integer = "[";
    huge_integer.append(400, '9');
    EXPECT_EQ(error_of(huge_integer + "]"), "number out of range at line 1 column 401");
    // Underflow is no error: the value rounds towards zero and keeps its sign.
    EXPECT_EQ(bits(parsed(R"({"dt":1e-50})").dt), bits(0.0f));
    EXPECT_EQ(bits(parsed(R"({"dt":-1e-400})").dt), bits(-0.0f));
    EXPECT_EQ(bits(parsed(R"({"dt":0e999999999999})").dt), bits(0.0f));
}

TEST(InputReader, InvalidTypesNameTheValueMet) {
    EXPECT_EQ(error_of(R"({"jump":1})"),
              "invalid type: integer `1`, expected a boolean at line 1 column 9");
    EXPECT_EQ(error_of(R"({"dt":null})"), "invalid type: null, expected f32 at line 1 column 10");
    EXPECT_EQ(error_of(R"({"dt":true})"),
              "invalid type: boolean `true`, expected f32 at line 1 column 10");
    EXPECT_EQ(error_of(R"({"next":false,"dt":"1.5"})"),
              "invalid type: string \"1.5\", expected f32 at line 1 column 24");
    EXPECT_EQ(error_of(R"({"dt":[1]})"), "invalid type: sequence, expected f32 at line 1 column 6");
    EXPECT_EQ(error_of(R"({"undo":{}})"),
              "invalid type: map, expected a boolean at line 1 column 8");
    EXPECT_EQ(error_of(R"({"jump":-7})"),
              "invalid type: integer `-7`, expected a boolean at line 1 column 10");
    EXPECT_EQ(error_of("[0,0,0,0,0,0]"),
              "invalid type: integer `0`, expected a boolean at line 1 column 12");
}

TEST(InputReader, NumbersWithFractionOrExponentAreNamedInShortestPlainForm) {
    const auto name_of = [](const std::string& number) {
        const std::string text = error_of("{\"jump\":" + number + "}");
        const auto start = text.find('`');
        return text.substr(start, text.find('`', start + 1) - start + 1);
    };
    EXPECT_EQ(name_of("1.5"), "`1.5`");
    EXPECT_EQ(name_of("1e5"), "`100000.0`");
    EXPECT_EQ(name_of("2.50"), "`2.5`");
    EXPECT_EQ(name_of("-2.5e-7"), "`-0.00000025`");
    EXPECT_EQ(name_of("0.1"), "`0.1`");
    EXPECT_EQ(name_of("1e22"), "`10000000000000000000000.0`");
    EXPECT_EQ(name_of("-0.0"), "`-0.0`");
    EXPECT_EQ(name_of("1e-400"), "`0.0`");
    EXPECT_EQ(error_of(R"({"jump":1e400})"), "number out of range at line 1 column 13");
}

TEST(InputReader, IntegersAreNamedAsWrittenWhateverTheirSizeOrSign) {
    EXPECT_EQ(error_of(R"({"jump":-0})"),
              "invalid type: integer `-0`, expected a boolean at line 1 column 10");
    EXPECT_EQ(error_of(R"({"jump":18446744073709551616})"),
              "invalid type: integer `18446744073709551616`, expected a boolean at line 1 "
              "column 28");
    EXPECT_EQ(error_of(R"({"jump":-9223372036854775809})"),
              "invalid type: integer `-9223372036854775809`, expected a boolean at line 1 "
              "column 28");
    const std::string huge(400, '9');
    EXPECT_EQ(error_of("{\"jump\":" + huge + "}"),
              "invalid type: integer `" + huge + "`, expected a boolean at line 1 column 408");
}

TEST(InputReader, TopLevelValuesOtherThanObjectOrArrayExpectStructInput) {
    EXPECT_EQ(error_of(R"("abc")"),
              "invalid type: string \"abc\", expected struct Input at line 1 column 5");
    EXPECT_EQ(error_of(R"(  "a\"b\\\n\u0001\/й")"),
              "invalid type: string \"a\\\"b\\\\\\n\\u0001/й\", expected struct Input at line 1 "
              "column 22");
    EXPECT_EQ(error_of("42"), "invalid type: integer `42`, expected struct Input at line 1 column 2");
    EXPECT_EQ(error_of("null"), "invalid type: null, expected struct Input at line 1 column 4");
    EXPECT_EQ(error_of("\n\nfalse"),
              "invalid type: boolean `false`, expected struct Input at line 3 column 5");
}

TEST(InputReader, EmptyOrBlankTextIsEndOfInput) {
    EXPECT_EQ(error_of(""), "EOF while parsing a value at line 1 column 0");
    EXPECT_EQ(error_of("  \n\t "), "EOF while parsing a value at line 2 column 2");
}

TEST(InputReader, OnlyBlanksMayFollowTheDocument) {
    EXPECT_EQ(error_of("{} x"), "trailing characters at line 1 column 4");
    EXPECT_EQ(error_of("{}{}"), "trailing characters at line 1 column 3");
    EXPECT_EQ(error_of("[]\n\n ]"), "trailing characters at line 3 column 2");
    EXPECT_EQ(parsed("{\"dt\":0.5} \n\r\n\t ").dt, 0.5f);
}

TEST(InputReader, LinesAndColumnsCountAcrossLineBreaks) {
    EXPECT_EQ(error_of("{\n  \"dt\": 0.5,\n  \"jump\": 2\n}"),
              "invalid type: integer `2`, expected a boolean at line 3 column 11");
    EXPECT_EQ(error_of("{\r\n\"dt\":\r\n@}"), "expected value at line 3 column 1");
    // Columns count bytes, so a two-byte letter counts twice.
    EXPECT_EQ(error_of("{\"ключ\":1,\n\"x\":1,\"Ж\":[1 2]}"),
              "expected `,` or `]` at line 2 column 15");
}

TEST(InputReader, ObjectSyntaxFaultsAreReported) {
    EXPECT_EQ(error_of(R"({"dt" 1})"), "expected `:` at line 1 column 7");
    EXPECT_EQ(error_of(R"({"dt":1 "mx":2})"), "expected `,` or `}` at line 1 column 9");
    EXPECT_EQ(error_of(R"({1:2})"), "key must be a string at line 1 column 2");
    EXPECT_EQ(error_of(R"({"dt":1,})"), "trailing comma at line 1 column 9");
    EXPECT_EQ(error_of(R"({"x":[1,],"dt":1})"), "trailing comma at line 1 column 9");
    EXPECT_EQ(error_of(R"({"x":{"a":1,}})"), "trailing comma at line 1 column 13");
    EXPECT_EQ(error_of(R"({"x":[1}})"), "expected `,` or `]` at line 1 column 8");
    EXPECT_EQ(error_of("{"), "EOF while parsing an object at line 1 column 1");
    EXPECT_EQ(error_of(R"({"dt":)"), "EOF while parsing a value at line 1 column 6");
    EXPECT_EQ(error_of(R"({"dt":1,)"), "EOF while parsing a value at line 1 column 8");
    EXPECT_EQ(error_of(R"({"x":{"a")"), "EOF while parsing an object at line 1 column 9");
}

TEST(InputReader, ScalarSyntaxFaultsAreReported) {
    EXPECT_EQ(error_of(R"({"jump":tru})"), "expected ident at line 1 column 12");
    EXPECT_EQ(error_of(R"({"jump":nul)"), "EOF while parsing a value at line 1 column 11");
    EXPECT_EQ(error_of(R"({"dt":01})"), "invalid number at line 1 column 8");
    EXPECT_EQ(error_of(R"({"dt":-})"), "invalid number at line 1 column 8");
    EXPECT_EQ(error_of(R"({"dt":1.})"), "invalid number at line 1 column 9");
    EXPECT_EQ(error_of(R"({"dt":1e+})"), "invalid number at line 1 column 10");
    EXPECT_EQ(error_of(R"({"dt":.5})"), "expected value at line 1 column 7");
    EXPECT_EQ(error_of(R"({"dt":+1})"), "expected value at line 1 column 7");
    EXPECT_EQ(error_of(R"({"x":NaN})"), "expected value at line 1 column 6");
}

TEST(InputReader, StringFaultsAreReported) {
    EXPECT_EQ(error_of("{\"x\":\"abc"), "EOF while parsing a string at line 1 column 9");
    EXPECT_EQ(error_of("{\"x\":\"a\tb\"}"),
              "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 8");
    EXPECT_EQ(error_of("{\"x\":\"a\nb\"}"),
              "control character (\\u0000-\\u001F) found while parsing a string at line 2 column 0");
    EXPECT_EQ(error_of(R"({"x":"\q"})"), "invalid escape at line 1 column 8");
    EXPECT_EQ(error_of(R"({"x":"\u12g4"})"), "invalid escape at line 1 column 11");
    EXPECT_EQ(error_of(R"({"x":"\ud800"})"), "unexpected end of hex escape at line 1 column 12");
    EXPECT_EQ(error_of(R"({"x":"\ud800\u0041"})"),
              "lone surrogate in hex escape at line 1 column 18");
    EXPECT_EQ(error_of(R"({"x":"\udc00"})"), "lone surrogate in hex escape at line 1 column 12");
    EXPECT_EQ(error_of("{\"x\":\"\xff\"}"), "invalid unicode code point at line 1 column 7");
    EXPECT_EQ(error_of("{\"x\":\"\xc0\xaf\"}"), "invalid unicode code point at line 1 column 7");
    EXPECT_EQ(error_of("{\"x\":\"\xed\xa0\x80\"}"),
              "invalid unicode code point at line 1 column 7");
    EXPECT_EQ(error_of("{\"x\":\"\xf4\x90\x80\x80\"}"),
              "invalid unicode code point at line 1 column 7");
    EXPECT_EQ(error_of("{\"x\":\"\xe2\x82"), "invalid unicode code point at line 1 column 7");
    EXPECT_EQ(error_of("{\xd0\x96:1}"), "key must be a string at line 1 column 2");
    EXPECT_EQ(parsed("{\"\xf0\x9f\x98\x80\":\"\xe2\x82\xac\",\"dt\":2}").dt, 2.0f);
}

TEST(InputReader, DeepNestingInASkippedValueParsesWithoutRecursion) {
    constexpr std::size_t depth = 1'000'000;
    std::string text = R"({"deep":)";
    text.append(depth, '[');
    text.append(depth, ']');
    text += R"(,"deeper":)";
    for (std::size_t i = 0; i < depth; ++i) text += R"({"a":[)";
    for (std::size_t i = 0; i < depth; ++i) text += "]}";
    text += R"(,"dt":0.25})";
    EXPECT_EQ(parsed(text).dt, 0.25f);

    const std::string unclosed = R"({"deep":)" + std::string(depth, '[');
    EXPECT_EQ(error_of(unclosed),
              "EOF while parsing a value at line 1 column " + std::to_string(unclosed.size()));
}

TEST(InputReader, NoPrefixOrMutationOfADocumentCrashesOrParsesHalfway) {
    const std::string document =
        "{\"dt\":0.016,\"yaw\":-1.5e-3,\"x\":[{\"k\":\"\\u0416\\n\"},null,true],\n"
        "\"jump\":true,\"mx\":1e39}";
    ASSERT_TRUE(parsed(document).jump);
    for (std::size_t length = 0; length < document.size(); ++length) {
        const auto result = parse_input(std::string_view(document).substr(0, length));
        ASSERT_TRUE(std::holds_alternative<InputError>(result)) << length;
        const InputError& error = std::get<InputError>(result);
        EXPECT_LE(error.column, length);
        EXPECT_FALSE(error.description.empty());
    }
    // Byte mutations from a fixed seed: each either parses or reports a place inside the text.
    std::uint32_t state = 12345u;
    for (int round = 0; round < 20000; ++round) {
        std::string text = document;
        for (int edit = 0; edit < 3; ++edit) {
            state = state * 1664525u + 1013904223u;
            const std::size_t at = (state >> 8) % text.size();
            text[at] = static_cast<char>(state >> 24);
        }
        const auto result = parse_input(text);
        if (const auto* error = std::get_if<InputError>(&result)) {
            EXPECT_LE(error->line, 5u);
            EXPECT_LE(error->column, text.size());
        }
    }
}

}  // namespace
}  // namespace vantrel_sim
