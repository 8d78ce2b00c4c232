// LoopCore as the engine sees it: the built library loaded as the engine loads it, driven through
// the GDExtension interface by a fake engine.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "fake_engine.hpp"

namespace {

using namespace vantrel_host;
using gde::CallErrorType;
using gde::VariantType;

const char* const FRESH_TITLE = "Первый рейс";
const char* const LAST_TITLE = "Вертикальный терминал";
const char* const EMPTY_INPUT_ERROR = "Invalid simulation input: EOF while parsing a value at line 1 column 0";

std::string field_text(const std::string& snapshot, const std::string& key) {
    const std::string marker = "\"" + key + "\":";
    const std::size_t start = snapshot.find(marker);
    if (start == std::string::npos) {
        return {};
    }
    const std::size_t from = start + marker.size();
    return snapshot.substr(from, snapshot.find_first_of(",}", from) - from);
}

class LoopCoreBinding : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(engine.open(VANTREL_LIBRARY_PATH));
        engine.initialize_levels();
    }

    void TearDown() override {
        for (FakeObject* object : objects) {
            engine.destroy(object);
        }
        engine.deinitialize_levels();
        EXPECT_TRUE(engine.classes.empty()) << "LoopCore still registered after deinitialization";
        EXPECT_EQ(engine.live_values(), 0u);
        EXPECT_EQ(engine.constructed, engine.destroyed);
        for (const std::string& misuse : engine.misuses) {
            ADD_FAILURE() << "interface misuse: " << misuse;
        }
    }

    FakeObject* make_core() {
        FakeObject* object = engine.create("LoopCore");
        EXPECT_NE(object, nullptr);
        if (object != nullptr) {
            objects.push_back(object);
        }
        return object;
    }

    std::string snapshot(FakeObject* core) { return engine.ptrcall_text(core, "snapshot", {}); }
    std::string step(FakeObject* core, const std::string& input) {
        return engine.ptrcall_text(core, "step", {text_value(input)});
    }
    std::string select_room(FakeObject* core, std::int64_t index, const std::string& slot = "") {
        return engine.ptrcall_text(core, "select_room", {int_value(index)}, slot);
    }

    FakeEngine engine;
    std::vector<FakeObject*> objects;
};

TEST(LibraryEntry, AsksForSceneLevelAndRefusesAnEngineLackingAFunction) {
    {
        FakeEngine engine;
        ASSERT_TRUE(engine.open(VANTREL_LIBRARY_PATH));
        EXPECT_EQ(engine.minimum_level(), gde::InitializationLevel::Scene);
    }
    FakeEngine engine;
    engine.withheld.insert("classdb_register_extension_class5");
    EXPECT_FALSE(engine.open(VANTREL_LIBRARY_PATH));
    EXPECT_EQ(engine.live_values(), 0u);
}

TEST(LibraryEntry, RefusesAnEngineLackingAnyFunctionOrConversionItUses) {
    std::vector<std::string> needed;
    {
        FakeEngine engine;
        ASSERT_TRUE(engine.open(VANTREL_LIBRARY_PATH));
        needed = engine.looked_up;
    }
    ASSERT_FALSE(needed.empty());
    for (const std::string& name : needed) {
        FakeEngine engine;
        engine.withheld.insert(name);
        EXPECT_FALSE(engine.open(VANTREL_LIBRARY_PATH)) << "lacking " << name;
        EXPECT_EQ(engine.live_values(), 0u) << "lacking " << name;
    }
    // Arguments arrive as Variants on the dynamic call path; results leave as Variants.
    for (const VariantType type : {VariantType::Int, VariantType::String}) {
        FakeEngine engine;
        engine.withheld_from_variant.insert(type);
        EXPECT_FALSE(engine.open(VANTREL_LIBRARY_PATH))
            << "lacking the conversion from a Variant to type " << static_cast<int>(type);
    }
    for (const VariantType type : {VariantType::String, VariantType::PackedStringArray}) {
        FakeEngine engine;
        engine.withheld_to_variant.insert(type);
        EXPECT_FALSE(engine.open(VANTREL_LIBRARY_PATH))
            << "lacking the conversion of type " << static_cast<int>(type) << " to a Variant";
    }
}

TEST_F(LoopCoreBinding, RegistersAnExposedRefCountedClassWithFiveMethodsInOrder) {
    const RegisteredClass* loop_core = engine.find_class("LoopCore");
    ASSERT_NE(loop_core, nullptr);
    EXPECT_EQ(loop_core->parent, "RefCounted");
    EXPECT_EQ(loop_core->info.is_exposed, 1);
    EXPECT_EQ(loop_core->info.is_virtual, 0);
    EXPECT_EQ(loop_core->info.is_abstract, 0);
    EXPECT_EQ(loop_core->info.is_runtime, 0);
    EXPECT_NE(loop_core->info.create_instance_func, nullptr);
    EXPECT_NE(loop_core->info.free_instance_func, nullptr);

    struct Expected {
        const char* name;
        std::uint32_t flags;
        VariantType result;
        const char* parameter;
        VariantType parameter_type;
        gde::ArgumentMetadata metadata;
    };
    const Expected expected[] = {
        {"version", 5, VariantType::String, nullptr, VariantType::Nil, gde::ArgumentMetadata::None},
        {"room_names", 5, VariantType::PackedStringArray, nullptr, VariantType::Nil, gde::ArgumentMetadata::None},
        {"select_room", 1, VariantType::String, "index", VariantType::Int, gde::ArgumentMetadata::IntIsInt32},
        {"step", 1, VariantType::String, "input", VariantType::String, gde::ArgumentMetadata::None},
        {"snapshot", 5, VariantType::String, nullptr, VariantType::Nil, gde::ArgumentMetadata::None},
    };
    ASSERT_EQ(loop_core->methods.size(), std::size(expected));
    for (std::size_t k = 0; k < std::size(expected); ++k) {
        const RegisteredMethod& method = loop_core->methods[k];
        SCOPED_TRACE(expected[k].name);
        EXPECT_EQ(method.name, expected[k].name);
        EXPECT_EQ(method.flags, expected[k].flags);
        EXPECT_TRUE(method.has_return);
        EXPECT_EQ(method.result.type, expected[k].result);
        EXPECT_EQ(method.result.name, "");
        EXPECT_EQ(method.result.usage, 6u);
        EXPECT_EQ(method.result_metadata, gde::ArgumentMetadata::None);
        EXPECT_EQ(method.default_argument_count, 0u);
        EXPECT_NE(method.call, nullptr);
        EXPECT_NE(method.ptrcall, nullptr);
        if (expected[k].parameter == nullptr) {
            EXPECT_TRUE(method.arguments.empty());
            continue;
        }
        ASSERT_EQ(method.arguments.size(), 1u);
        EXPECT_EQ(method.arguments[0].name, expected[k].parameter);
        EXPECT_EQ(method.arguments[0].type, expected[k].parameter_type);
        EXPECT_EQ(method.arguments[0].usage, 6u);
        EXPECT_EQ(method.argument_metadata[0], expected[k].metadata);
    }
}

TEST_F(LoopCoreBinding, VersionIsTheSameTextOnEveryCallAndPath) {
    FakeObject* core = make_core();
    EXPECT_EQ(engine.ptrcall_text(core, "version", {}, "stale"), "Ilde core 0.3");
    EXPECT_EQ(engine.ptrcall_text(core, "version", {}), "Ilde core 0.3");
    const CallOutcome outcome = engine.call(core, "version", {});
    EXPECT_EQ(outcome.error.error, CallErrorType::Ok);
    EXPECT_EQ(outcome.result.type, VariantType::String);
    EXPECT_EQ(outcome.result.text, "Ilde core 0.3");
    EXPECT_TRUE(engine.errors.empty());
}

TEST_F(LoopCoreBinding, RoomNamesListsSixteenTitlesWithoutTouchingTheWorld) {
    FakeObject* core = make_core();
    select_room(core, 3);
    const std::string before = snapshot(core);

    const std::vector<std::string> names = engine.ptrcall_texts(core, "room_names");
    ASSERT_EQ(names.size(), 16u);
    EXPECT_EQ(names.front(), FRESH_TITLE);
    EXPECT_EQ(names.back(), LAST_TITLE);

    const CallOutcome outcome = engine.call(core, "room_names", {});
    EXPECT_EQ(outcome.result.type, VariantType::PackedStringArray);
    EXPECT_EQ(outcome.result.texts, names);
    EXPECT_EQ(snapshot(core), before);
    EXPECT_TRUE(engine.errors.empty());
}

TEST_F(LoopCoreBinding, SelectRoomIgnoresNegativeAndPastTheCatalogueIndices) {
    FakeObject* core = make_core();
    step(core, R"({"dt":0.05,"mz":1})");
    const std::string current = snapshot(core);
    for (std::int64_t index : {std::int64_t{-1}, std::int64_t{16}, std::int64_t{std::numeric_limits<std::int32_t>::min()},
                               std::int64_t{std::numeric_limits<std::int32_t>::max()}}) {
        EXPECT_EQ(select_room(core, index), current) << index;
    }
    EXPECT_EQ(engine.call(core, "select_room", {int_value(-1)}).result.text, current);
    EXPECT_TRUE(engine.errors.empty());
}

TEST_F(LoopCoreBinding, SelectRoomThreeStartsThatRoomWithoutEchoes) {
    FakeObject* core = make_core();
    step(core, R"({"dt":0.1,"mz":1})");
    const std::string committed = step(core, R"({"commit":true})");
    ASSERT_NE(field_text(committed, "echoes"), "[]") << "committing a run should leave an echo";

    const std::string room = select_room(core, 3);
    EXPECT_EQ(room.rfind("{\"level\":3,", 0), 0u) << room.substr(0, 40);
    EXPECT_EQ(field_text(room, "echoes"), "[]");
    EXPECT_EQ(room, snapshot(core));

    const CallOutcome outcome = engine.call(core, "select_room", {int_value(5)});
    EXPECT_EQ(outcome.result.text.rfind("{\"level\":5,", 0), 0u);
    // The lowest index is a room like the others; only below it is ignored.
    EXPECT_EQ(select_room(core, 0).rfind("{\"level\":0,", 0), 0u);
}

TEST_F(LoopCoreBinding, EmptyInputIsReportedAndLeavesTheWorldAsItWas) {
    FakeObject* core = make_core();
    step(core, R"({"dt":0.05,"mz":1})");
    const std::string before = snapshot(core);

    EXPECT_EQ(step(core, ""), before);
    ASSERT_EQ(engine.errors.size(), 1u);
    EXPECT_EQ(engine.errors[0].description, EMPTY_INPUT_ERROR);
    EXPECT_EQ(engine.errors[0].function, "vantrel::LoopCore::step");
    EXPECT_FALSE(engine.errors[0].editor_notify);
    EXPECT_FALSE(engine.errors[0].file.empty());
    EXPECT_GT(engine.errors[0].line, 0);

    const CallOutcome outcome = engine.call(core, "step", {text_value("")});
    EXPECT_EQ(outcome.error.error, CallErrorType::Ok);
    EXPECT_EQ(outcome.result.text, before);
    ASSERT_EQ(engine.errors.size(), 2u);
    EXPECT_EQ(engine.errors[1].description, EMPTY_INPUT_ERROR);
    EXPECT_EQ(field_text(snapshot(core), "time"), field_text(before, "time"));
}

TEST_F(LoopCoreBinding, EmptyObjectIsAValidFrame) {
    FakeObject* core = make_core();
    const std::string result = step(core, "{}");
    EXPECT_TRUE(engine.errors.empty());
    EXPECT_EQ(result, snapshot(core));
    EXPECT_EQ(result.rfind("{\"level\":0,", 0), 0u);
}

TEST_F(LoopCoreBinding, TwoCoresSteppedAlternatelyDoNotInfluenceEachOther) {
    const std::vector<std::string> inputs_a = {R"({"dt":0.05,"mz":1})", R"({"dt":0.05,"mx":1,"jump":true})",
                                               R"({"dt":0.1,"mz":1,"yaw":0.5})"};
    const std::vector<std::string> inputs_b = {R"({"dt":0.1,"mx":-1})", "{}", R"({"dt":0.02,"mz":-1})"};
    FakeObject* solo_a = make_core();
    FakeObject* solo_b = make_core();
    std::vector<std::string> expected_a;
    std::vector<std::string> expected_b;
    for (std::size_t k = 0; k < inputs_a.size(); ++k) {
        expected_a.push_back(step(solo_a, inputs_a[k]));
    }
    for (std::size_t k = 0; k < inputs_b.size(); ++k) {
        expected_b.push_back(step(solo_b, inputs_b[k]));
    }
    ASSERT_NE(expected_a.back(), expected_b.back());

    FakeObject* a = make_core();
    FakeObject* b = make_core();
    for (std::size_t k = 0; k < inputs_a.size(); ++k) {
        EXPECT_EQ(step(a, inputs_a[k]), expected_a[k]) << k;
        EXPECT_EQ(step(b, inputs_b[k]), expected_b[k]) << k;
    }
}

TEST_F(LoopCoreBinding, DynamicCallOfTheWrongTypeIsRefusedBeforeTheBody) {
    FakeObject* core = make_core();
    const std::string before = snapshot(core);
    struct Case {
        const char* method;
        Value argument;
        VariantType expected;
    };
    const Case cases[] = {
        {"select_room", text_value("3"), VariantType::Int},
        {"select_room", float_value(3.0), VariantType::Int},
        {"step", int_value(5), VariantType::String},
        {"step", nil_value(), VariantType::String},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        engine.errors.clear();
        const CallOutcome outcome = engine.call(core, c.method, {c.argument});
        EXPECT_EQ(outcome.error.error, CallErrorType::InvalidArgument);
        EXPECT_EQ(outcome.error.argument, 0);
        EXPECT_EQ(outcome.error.expected, static_cast<std::int32_t>(c.expected));
        EXPECT_EQ(outcome.result.type, VariantType::Nil);
        ASSERT_EQ(engine.errors.size(), 1u);
        EXPECT_EQ(engine.errors[0].function, std::string("vantrel::LoopCore::") + c.method);
    }
    EXPECT_EQ(snapshot(core), before);
}

TEST_F(LoopCoreBinding, DynamicCallWithTheWrongCountIsRefusedBeforeTheBody) {
    FakeObject* core = make_core();
    const std::string before = snapshot(core);
    struct Case {
        const char* method;
        std::vector<Value> arguments;
        CallErrorType error;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"version", {int_value(1)}, CallErrorType::TooManyArguments, 0},
        {"snapshot", {text_value("{}")}, CallErrorType::TooManyArguments, 0},
        {"select_room", {}, CallErrorType::TooFewArguments, 1},
        {"step", {text_value(R"({"dt":0.1})"), text_value(R"({"dt":0.1})")}, CallErrorType::TooManyArguments, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        const CallOutcome outcome = engine.call(core, c.method, c.arguments);
        EXPECT_EQ(outcome.error.error, c.error);
        EXPECT_EQ(outcome.error.expected, c.expected);
        EXPECT_EQ(outcome.result.type, VariantType::Nil);
    }
    EXPECT_EQ(snapshot(core), before);
}

TEST_F(LoopCoreBinding, IndexOutsideThirtyTwoBitsIsAConversionErrorOnBothPaths) {
    FakeObject* core = make_core();
    const std::string before = snapshot(core);
    const std::int64_t wraps_to_three = (std::int64_t{1} << 32) + 3;

    EXPECT_EQ(select_room(core, wraps_to_three, "untouched"), "untouched");
    ASSERT_EQ(engine.errors.size(), 1u);
    EXPECT_EQ(engine.errors[0].function, "vantrel::LoopCore::select_room");

    for (std::int64_t index : {wraps_to_three, std::numeric_limits<std::int64_t>::min()}) {
        const CallOutcome outcome = engine.call(core, "select_room", {int_value(index)});
        EXPECT_EQ(outcome.error.error, CallErrorType::InvalidArgument);
        EXPECT_EQ(outcome.error.expected, static_cast<std::int32_t>(VariantType::Int));
        EXPECT_EQ(outcome.result.type, VariantType::Nil);
    }
    EXPECT_EQ(engine.errors.size(), 3u);
    EXPECT_EQ(snapshot(core), before);
}

TEST_F(LoopCoreBinding, CallsFromAnotherThreadAreRefused) {
    FakeObject* core = make_core();
    const std::string before = snapshot(core);
    std::string slot;
    CallOutcome outcome;
    std::thread worker([&] {
        slot = engine.ptrcall_text(core, "step", {text_value(R"({"dt":0.1,"mz":1})")}, "untouched");
        outcome = engine.call(core, "version", {});
    });
    worker.join();

    EXPECT_EQ(slot, "untouched");
    EXPECT_EQ(outcome.result.type, VariantType::Nil);
    ASSERT_EQ(engine.errors.size(), 2u);
    EXPECT_EQ(engine.errors[0].function, "vantrel::LoopCore::step");
    EXPECT_EQ(engine.errors[1].function, "vantrel::LoopCore::version");
    EXPECT_FALSE(engine.errors[0].editor_notify);
    EXPECT_EQ(snapshot(core), before);
}

TEST_F(LoopCoreBinding, CallsWithoutAnInstanceAreRefused) {
    const CallOutcome outcome = engine.call(nullptr, "snapshot", {});
    EXPECT_EQ(outcome.error.error, CallErrorType::InstanceIsNull);
    EXPECT_EQ(outcome.result.type, VariantType::Nil);
    EXPECT_EQ(engine.ptrcall_text(nullptr, "snapshot", {}, "untouched"), "untouched");
    ASSERT_EQ(engine.errors.size(), 1u);
    EXPECT_EQ(engine.errors[0].function, "vantrel::LoopCore::snapshot");
}

}  // namespace
