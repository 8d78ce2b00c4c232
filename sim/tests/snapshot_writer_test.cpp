#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>  // getpid, for file names of their own

#include "decimal_to_binary.hpp"
#include "input.hpp"
#include "json_text.hpp"
#include "snapshot.hpp"

namespace vantrel_sim {
namespace {

constexpr float INF = std::numeric_limits<float>::infinity();

std::string number_text(float value) {
    std::string out;
    append_number(out, value);
    return out;
}

std::string written(const Snapshot& snapshot) {
    std::string out;
    write_snapshot(snapshot, out);
    return out;
}

TEST(FloatText, ShortestDigitsInPlainOrScientificNotation) {
    EXPECT_EQ(number_text(20.0f), "20.0");
    EXPECT_EQ(number_text(2.5f), "2.5");
    EXPECT_EQ(number_text(0.1f), "0.1");
    EXPECT_EQ(number_text(0.04f), "0.04");
    EXPECT_EQ(number_text(0.000001f), "0.000001");
    EXPECT_EQ(number_text(0.0000015f), "0.0000015");
    EXPECT_EQ(number_text(1e12f), "1000000000000.0");
    EXPECT_EQ(number_text(-1.25f), "-1.25");
    EXPECT_EQ(number_text(0.008333334f), "0.008333334");
    EXPECT_EQ(number_text(1.05f), "1.05");  // zeros inside the fraction
    EXPECT_EQ(number_text(1.0000001f), "1.0000001");
    EXPECT_EQ(number_text(123456.79f), "123456.79");
    EXPECT_EQ(number_text(1.00000014e11f), "100000014000.0");  // nine digits
    EXPECT_EQ(number_text(1e-7f), "1e-7");
    EXPECT_EQ(number_text(1.5e-7f), "1.5e-7");
    EXPECT_EQ(number_text(1e13f), "1e+13");
    EXPECT_EQ(number_text(-2.5e20f), "-2.5e+20");
    EXPECT_EQ(number_text(std::numeric_limits<float>::max()), "3.4028235e+38");
    EXPECT_EQ(number_text(std::numeric_limits<float>::denorm_min()), "1e-45");
    EXPECT_EQ(number_text(0.0f), "0.0");
    EXPECT_EQ(number_text(-0.0f), "-0.0");
}

TEST(FloatText, WholeNumbersAreWrittenWithTheirDigitsAndOneZero) {
    EXPECT_EQ(number_text(0.0f), "0.0");
    EXPECT_EQ(number_text(-0.0f), "-0.0");
    EXPECT_EQ(number_text(-5.0f), "-5.0");
    EXPECT_EQ(number_text(16777215.0f), "16777215.0");
    EXPECT_EQ(number_text(16777216.0f), "16777216.0");
    EXPECT_EQ(number_text(16777218.0f), "16777218.0");
    EXPECT_EQ(number_text(123456790000.0f), "123456790000.0");
    // Either side of a power of ten, where the count of digits changes.
    for (int power = 10; power <= 10000000; power *= 10) {
        for (const int whole : {power - 1, power + 1}) {
            EXPECT_EQ(number_text(static_cast<float>(whole)), std::to_string(whole) + ".0");
        }
    }
    // Every whole number in a wide band reads back to itself.
    for (int whole = -70000; whole <= 70000; whole += 7) {
        const float value = static_cast<float>(whole);
        const std::string text = number_text(value);
        ASSERT_EQ(text, std::to_string(whole) + ".0");
    }
}

TEST(FloatText, NonFiniteIsNull) {
    EXPECT_EQ(number_text(INF), "null");
    EXPECT_EQ(number_text(-INF), "null");
    EXPECT_EQ(number_text(std::numeric_limits<float>::quiet_NaN()), "null");
}

// Whether the text is a JSON number written by the rules: a point in plain notation, a signed
// exponent without leading zeros in scientific notation.
bool well_formed(const std::string& text) {
    const std::size_t e = text.find('e');
    if (e == std::string::npos) {
        const std::size_t point = text.find('.');
        return point != std::string::npos && point + 1 < text.size() && point > 0;
    }
    const bool signed_exponent = e + 2 < text.size() && (text[e + 1] == '+' || text[e + 1] == '-');
    return signed_exponent && text[e + 2] != '0' && text.find('.') != e - 1;
}

TEST(FloatText, PseudoRandomBitPatternsReadBackToTheSameBits) {
    std::uint64_t state = 0x9E3779B97F4A7C15u;  // splitmix64, fixed seed
    for (int i = 0; i < 200000; ++i) {
        state += 0x9E3779B97F4A7C15u;
        std::uint64_t mixed = state;
        mixed = (mixed ^ (mixed >> 30)) * 0xBF58476D1CE4E5B9u;
        mixed = (mixed ^ (mixed >> 27)) * 0x94D049BB133111EBu;
        mixed ^= mixed >> 31;
        const auto pattern = static_cast<std::uint32_t>(mixed);
        const float value = std::bit_cast<float>(pattern);
        const std::string text = number_text(value);
        if (!std::isfinite(value)) {
            ASSERT_EQ(text, "null");
            continue;
        }
        ASSERT_TRUE(well_formed(text)) << text;
        ASSERT_EQ(std::bit_cast<std::uint32_t>(decimal_to_float(text)), pattern) << text;
        // The input reader reads it back the same way, the whole text taken as one number.
        const auto input = parse_input("[" + text + "]");
        ASSERT_TRUE(std::holds_alternative<Input>(input)) << text;
        ASSERT_EQ(std::bit_cast<std::uint32_t>(std::get<Input>(input).dt), pattern) << text;
    }
}

TEST(SnapshotWriter, DefaultSnapshotLeavesOutTheOptionalKeys) {
    EXPECT_EQ(
        written(Snapshot{}),
        R"({"level":0,"level_count":16,"title":"","objective":"","hint":"","time":0.0,"limit":0.0,)"
        R"("won":false,"finished":false,"failed":false,"transfer_window":null,"player":{)"
        R"("pos":[0.0,0.0,0.0],"yaw":0.0,"pitch":0.0,"held":-1,"active":true,"duration":0.0,)"
        R"("next_throw":null,"grounded":true,"vel":[0.0,0.0,0.0],"action_seq":0,"action":"none",)"
        R"("action_time":0.0,"action_cargo":-1,"action_pos":[0.0,0.0,0.0]},"echoes":[],"cargo":[],)"
        R"("walls":[],"plates":[],"doors":[],"fans":[],"sockets":[],"moon_gravity":false,)"
        R"("interaction":"","goal":[0.0,0.0,0.0],"goal_size":[0.0,0.0,0.0],"spawn":[0.0,0.0,0.0],)"
        R"("room_size":[0.0,0.0],"room_height":0.0,"cargo_gravity_off":false,"message":"",)"
        R"("trajectory":[]})");
}

TEST(SnapshotWriter, AppendsToWhatTheBufferHolds) {
    std::string out = "prefix:";
    write_snapshot(Snapshot{}, out);
    EXPECT_EQ(out.rfind("prefix:{\"level\":0,", 0), 0u);
    EXPECT_EQ(out.back(), '}');
}

Snapshot populated() {
    Snapshot s;
    s.level = 15;
    s.title = "Шлюз";
    s.objective = "Доставь груз";
    s.hint = "Q";
    s.time = 1.5f;
    s.limit = 25.0f;
    s.won = true;
    s.transfer_window = std::array<float, 2>{4.0f, 9.5f};
    s.player.pos = {1.0f, 0.0f, -2.5f};
    s.player.held = 3;
    s.player.vel = {0.0f, -9.8f, 0.0f};
    s.player.action_seq = 7;
    s.player.action = ActorAction::BatteryInsert;
    s.player.action_cargo = 3;
    ActorView echo;
    echo.active = true;
    echo.duration = 12.25f;
    echo.next_throw = 3.0f;
    echo.grounded = false;
    echo.action = ActorAction::Land;
    s.echoes = {echo, ActorView{}};
    CargoView cargo;
    cargo.id = 3;
    cargo.pos = {-2.0f, 1.225f, 7.0f};
    cargo.size = {0.9f, 0.9f, 0.9f};
    cargo.owner = 0;
    cargo.label = "Батарея";
    cargo.kind = 1;
    cargo.style = CargoStyle::Helmet;
    cargo.docked = true;
    s.cargo = {cargo};
    s.walls = {BoxView{{0.0f, 2.5f, -14.2f}, {20.0f, 5.0f, 0.4f}}};
    PlateView scale;
    scale.pos = {3.0f, 0.05f, 0.0f};
    scale.label = "Весы";
    scale.load_required = 2.0f;
    scale.load_maximum = 3.5f;
    scale.load = 1.0f;
    PlateView plate;
    plate.active = true;
    s.plates = {scale, plate};
    DoorView cycled;
    cycled.size = {2.0f, 3.0f, 0.3f};
    cycled.hold_remaining = 4.0f;
    cycled.cycle_remaining = 0.5f;
    DoorView plain;
    plain.open = true;
    plain.label = "Дверь";
    s.doors = {cycled, plain};
    s.fans = {FanView{"Вентилятор", {1.0f, 1.0f, 1.0f}, {0.0f, 1.0f, 0.0f}, false}};
    s.sockets = {SocketView{"Гнездо", {2.0f, 1.0f, 0.0f}, true}};
    s.moon_gravity = true;
    s.interaction = "E: взять";
    s.goal = {0.0f, 0.04f, -10.0f};
    s.goal_size = {3.4f, 0.12f, 3.0f};
    s.spawn = {0.0f, 0.0f, 10.0f};
    s.room_size = {20.0f, 28.0f};
    s.room_height = 5.0f;
    LiftView lift;
    lift.plate = 2;
    lift.controls = {Vec3{1.0f, 1.0f, 1.0f}, Vec3{2.0f, 6.0f, 2.0f}};
    lift.center = {5.0f, 0.0f, 5.0f};
    lift.size = {3.0f, 0.3f, 3.0f};
    lift.top = 5.0f;
    lift.height = 0.3f;
    lift.target_up = true;
    s.lift = lift;
    s.gravity_controls = {Vec3{1.0f, 1.2f, -3.0f}};
    s.cargo_gravity_off = true;
    s.message = "Копия 1";
    s.trajectory = {Vec3{0.0f, 1.5f, 0.0f}, Vec3{INF, 1.0f, -1e-7f}};
    return s;
}

TEST(SnapshotWriter, PopulatedSnapshotWritesEveryRecordInKeyOrder) {
    const std::string text = written(populated());
    const auto contains = [&](const std::string& part) {
        EXPECT_NE(text.find(part), std::string::npos) << "missing " << part << "\nin " << text;
    };
    contains(R"({"level":15,"level_count":16,"title":"Шлюз","objective":"Доставь груз",)"
             R"("hint":"Q","time":1.5,"limit":25.0,"won":true,"finished":false,"failed":false,)"
             R"("transfer_window":[4.0,9.5],"player":{"pos":[1.0,0.0,-2.5],"yaw":0.0,)"
             R"("pitch":0.0,"held":3,"active":true,"duration":0.0,"next_throw":null,)"
             R"("grounded":true,"vel":[0.0,-9.8,0.0],"action_seq":7,"action":"battery_insert",)"
             R"("action_time":0.0,"action_cargo":3,"action_pos":[0.0,0.0,0.0]},)");
    contains(R"("echoes":[{"pos":[0.0,0.0,0.0],"yaw":0.0,"pitch":0.0,"held":-1,"active":true,)"
             R"("duration":12.25,"next_throw":3.0,"grounded":false,"vel":[0.0,0.0,0.0],)"
             R"("action_seq":0,"action":"land","action_time":0.0,"action_cargo":-1,)"
             R"("action_pos":[0.0,0.0,0.0]},{"pos":)");
    contains(R"("cargo":[{"id":3,"pos":[-2.0,1.225,7.0],"vel":[0.0,0.0,0.0],)"
             R"("size":[0.9,0.9,0.9],"owner":0,"label":"Батарея","kind":1,"style":"helmet",)"
             R"("docked":true,"delivered":false}],)");
    contains(R"("walls":[{"pos":[0.0,2.5,-14.2],"size":[20.0,5.0,0.4]}],)");
    contains(R"("plates":[{"pos":[3.0,0.05,0.0],"radius":0.9,"active":false,"label":"Весы",)"
             R"("load_required":2.0,"load_maximum":3.5,"load":1.0},{"pos":[0.0,0.0,0.0],)"
             R"("radius":0.9,"active":true,"label":"","load_required":0.0,"load_maximum":null,)"
             R"("load":0.0}],)");
    contains(R"("doors":[{"pos":[0.0,0.0,0.0],"size":[2.0,3.0,0.3],"open":false,"label":"",)"
             R"("hold_remaining":4.0,"cycle_remaining":0.5},{"pos":[0.0,0.0,0.0],)"
             R"("size":[0.0,0.0,0.0],"open":true,"label":"Дверь","hold_remaining":null}],)");
    contains(R"("fans":[{"pos":[1.0,1.0,1.0],"dir":[0.0,1.0,0.0],"active":false,)"
             R"("label":"Вентилятор"}],"sockets":[{"pos":[2.0,1.0,0.0],"powered":true,)"
             R"("label":"Гнездо"}],"moon_gravity":true,"interaction":"E: взять",)");
    contains(R"("goal":[0.0,0.04,-10.0],"goal_size":[3.4,0.12,3.0],"spawn":[0.0,0.0,10.0],)"
             R"("room_size":[20.0,28.0],"room_height":5.0,"lift":{"center":[5.0,0.0,5.0],)"
             R"("size":[3.0,0.3,3.0],"top":5.0,"height":0.3,"plate":2,)"
             R"("controls":[[1.0,1.0,1.0],[2.0,6.0,2.0]],"target_up":true},)"
             R"("gravity_controls":[[1.0,1.2,-3.0]],"cargo_gravity_off":true,)"
             R"("message":"Копия 1","trajectory":[[0.0,1.5,0.0],[null,1.0,-1e-7]]})");
    EXPECT_EQ(text.find('\n'), std::string::npos);
}

using Change = std::pair<std::string, std::function<void(Snapshot&)>>;

// One change of every field an actor sends, zero's sign included.
std::vector<Change> actor_changes(const char* who, ActorView& (*actor)(Snapshot&)) {
    std::vector<std::pair<const char*, std::function<void(ActorView&)>>> fields = {
        {"pos", [](ActorView& a) { a.pos.y += 0.25f; }},
        {"yaw to -0.0", [](ActorView& a) { a.yaw = -0.0f; }},
        {"pitch", [](ActorView& a) { a.pitch = 0.1f; }},
        {"held", [](ActorView& a) { a.held = 4; }},
        {"active", [](ActorView& a) { a.active = !a.active; }},
        {"duration", [](ActorView& a) { a.duration += 1.0f; }},
        {"next_throw", [](ActorView& a) { a.next_throw = a.next_throw ? std::nullopt : std::optional(2.0f); }},
        {"grounded", [](ActorView& a) { a.grounded = !a.grounded; }},
        {"vel", [](ActorView& a) { a.vel.z = std::numeric_limits<float>::quiet_NaN(); }},
        {"action_seq", [](ActorView& a) { a.action_seq += 1; }},
        {"action", [](ActorView& a) { a.action = ActorAction::Catch; }},
        {"action_time", [](ActorView& a) { a.action_time = 0.5f; }},
        {"action_cargo", [](ActorView& a) { a.action_cargo = 2; }},
        {"action_pos", [](ActorView& a) { a.action_pos.x = 3.0f; }},
    };
    std::vector<Change> changes;
    for (const auto& field : fields) {
        // Copied out: Clang 14 cannot capture a structured binding.
        const auto change = field.second;
        changes.push_back(
            {std::string(who) + " " + field.first, [=](Snapshot& s) { change(actor(s)); }});
    }
    return changes;
}

std::vector<Change> every_kind_of_change() {
    std::vector<Change> changes = {
        {"level", [](Snapshot& s) { s.level = 3; }},
        {"title", [](Snapshot& s) { s.title = "Склад"; }},
        {"objective", [](Snapshot& s) { s.objective += "!"; }},
        {"hint", [](Snapshot& s) { s.hint = "\"Q\""; }},
        {"cargo id", [](Snapshot& s) { s.cargo[0].id = 5; }},
        {"cargo pos", [](Snapshot& s) { s.cargo[0].pos.x = -0.0f; }},
        {"cargo vel", [](Snapshot& s) { s.cargo[0].vel.y = -1.0f; }},
        {"cargo size", [](Snapshot& s) { s.cargo[0].size.z = 1.2f; }},
        {"cargo owner", [](Snapshot& s) { s.cargo[0].owner = -1; }},
        {"cargo label", [](Snapshot& s) { s.cargo[0].label = "Баллон"; }},
        {"cargo kind", [](Snapshot& s) { s.cargo[0].kind = 0; }},
        {"cargo style", [](Snapshot& s) { s.cargo[0].style = CargoStyle::Cryo; }},
        {"cargo docked", [](Snapshot& s) { s.cargo[0].docked = false; }},
        {"cargo delivered", [](Snapshot& s) { s.cargo[0].delivered = true; }},
        {"wall pos", [](Snapshot& s) { s.walls[0].pos.z = -14.0f; }},
        {"wall size", [](Snapshot& s) { s.walls[0].size.x = 19.0f; }},
        {"wall pos to -0.0", [](Snapshot& s) { s.walls[0].pos.x = -0.0f; }},
        {"wall size to NaN", [](Snapshot& s) { s.walls[0].size.y = std::numeric_limits<float>::quiet_NaN(); }},
        {"one wall more", [](Snapshot& s) { s.walls.push_back({{1.0f, 2.0f, 3.0f}, {4.0f, 5.0f, 6.0f}}); }},
        {"second wall pos", [](Snapshot& s) { s.walls[1].pos.y = 2.5f; }},
        {"first wall gone", [](Snapshot& s) { s.walls.erase(s.walls.begin()); }},
        {"plate pos", [](Snapshot& s) { s.plates[0].pos.x = 2.0f; }},
        {"plate radius", [](Snapshot& s) { s.plates[0].radius = 1.1f; }},
        {"plate active", [](Snapshot& s) { s.plates[0].active = true; }},
        {"plate label", [](Snapshot& s) { s.plates[0].label = "Плита"; }},
        {"plate load_required", [](Snapshot& s) { s.plates[0].load_required = 3.0f; }},
        {"plate load_maximum", [](Snapshot& s) { s.plates[0].load_maximum.reset(); }},
        {"plate load", [](Snapshot& s) { s.plates[0].load = 2.5f; }},
        {"door pos", [](Snapshot& s) { s.doors[0].pos.y = 1.5f; }},
        {"door size", [](Snapshot& s) { s.doors[0].size.y = 2.8f; }},
        {"door open", [](Snapshot& s) { s.doors[0].open = true; }},
        {"door label", [](Snapshot& s) { s.doors[0].label = "Шлюз"; }},
        {"door hold_remaining", [](Snapshot& s) { s.doors[0].hold_remaining = 3.9916667f; }},
        {"door cycle_remaining", [](Snapshot& s) { s.doors[0].cycle_remaining.reset(); }},
        {"door cycle_remaining back", [](Snapshot& s) { s.doors[0].cycle_remaining = 0.0f; }},
        {"fan pos", [](Snapshot& s) { s.fans[0].pos.z = 4.0f; }},
        {"fan dir", [](Snapshot& s) { s.fans[0].dir = {1.0f, 0.0f, 0.0f}; }},
        {"fan active", [](Snapshot& s) { s.fans[0].active = true; }},
        {"fan label", [](Snapshot& s) { s.fans[0].label = "Вентилятор 2"; }},
        {"socket pos", [](Snapshot& s) { s.sockets[0].pos.y = 1.5f; }},
        {"socket powered", [](Snapshot& s) { s.sockets[0].powered = false; }},
        {"socket label", [](Snapshot& s) { s.sockets[0].label = "Гнездо B"; }},
        {"interaction", [](Snapshot& s) { s.interaction = "E — положить"; }},
        {"goal", [](Snapshot& s) { s.goal.x = 1.0f; }},
        {"goal_size", [](Snapshot& s) { s.goal_size.y = 0.2f; }},
        {"spawn", [](Snapshot& s) { s.spawn.z = 9.0f; }},
        {"room_size", [](Snapshot& s) { s.room_size[1] = 30.0f; }},
        {"room_height", [](Snapshot& s) { s.room_height = 6.0f; }},
        {"lift center", [](Snapshot& s) { s.lift->center.x = 4.0f; }},
        {"lift size", [](Snapshot& s) { s.lift->size.y = 0.4f; }},
        {"lift top", [](Snapshot& s) { s.lift->top = 4.5f; }},
        {"lift height", [](Snapshot& s) { s.lift->height = 0.30833334f; }},
        {"lift plate", [](Snapshot& s) { s.lift->plate = 1; }},
        {"lift controls", [](Snapshot& s) { s.lift->controls[1].y = 5.5f; }},
        {"lift target_up", [](Snapshot& s) { s.lift->target_up = false; }},
        {"no lift", [](Snapshot& s) { s.lift.reset(); }},
        {"gravity controls", [](Snapshot& s) { s.gravity_controls[0].x = 2.0f; }},
        {"no gravity controls", [](Snapshot& s) { s.gravity_controls.clear(); }},
        {"message", [](Snapshot& s) { s.message = "Копия 2"; }},
        {"one echo more", [](Snapshot& s) { s.echoes.push_back(s.echoes[0]); }},
        {"first echo gone", [](Snapshot& s) { s.echoes.erase(s.echoes.begin()); }},
        {"no cargo", [](Snapshot& s) { s.cargo.clear(); }},
        {"every list empty", [](Snapshot& s) { s = Snapshot{}; }},
        {"every list back", [](Snapshot& s) { s = populated(); }},
    };
    for (auto [who, actor] : {std::pair{"player", +[](Snapshot& s) -> ActorView& { return s.player; }},
                              std::pair{"echo", +[](Snapshot& s) -> ActorView& { return s.echoes[1]; }}}) {
        for (Change& change : actor_changes(who, actor)) {
            changes.push_back(std::move(change));
        }
    }
    return changes;
}

TEST(SnapshotTextCache, TextOfEveryChangedRecordIsWrittenAfresh) {
    Snapshot s = populated();
    SnapshotTextCache cache;
    const auto expect_fresh = [&](const std::string& what) {
        std::string cached;
        write_snapshot(s, cached, cache);
        ASSERT_EQ(cached, written(s)) << "after changing " << what;
        std::string again;
        write_snapshot(s, again, cache);
        ASSERT_EQ(again, cached) << "unchanged after " << what;
    };
    expect_fresh("nothing");
    for (const auto& [what, change] : every_kind_of_change()) {
        change(s);
        expect_fresh(what);
    }
}

TEST(SnapshotWriter, EveryActionAndStyleHasItsWireName) {
    const char* actions[] = {"none",   "pickup",         "place", "throw", "catch",
                             "switch", "battery_insert", "jump",  "land"};
    for (std::size_t i = 0; i < std::size(actions); ++i) {
        EXPECT_STREQ(actor_action_name(static_cast<ActorAction>(i)), actions[i]);
    }
    const char* styles[] = {"freight", "oxygen",  "battery", "antenna", "samples",  "bio",
                            "cryo",    "ballast", "toolkit", "coil",    "canister", "helmet"};
    for (std::size_t i = 0; i < std::size(styles); ++i) {
        EXPECT_STREQ(cargo_style_name(static_cast<CargoStyle>(i)), styles[i]);
    }
}

TEST(SnapshotWriter, LabelsEscapeQuotesBackslashesAndControlBytesOnly) {
    std::string out;
    append_json_string(out, "a\"b\\c\nd\x01" "e\x1f/\t\b\f\r\x7f Груз");
    EXPECT_EQ(out, "\"a\\\"b\\\\c\\nd\\u0001e\\u001f/\\t\\b\\f\\r\x7f Груз\"");

    Snapshot snapshot;
    snapshot.message = std::string("x\0y", 3);
    EXPECT_NE(written(snapshot).find(R"("message":"x\u0000y")"), std::string::npos);
}

// The text of a populated snapshot is accepted by an independent JSON reader, with its keys
// in order, its texts intact and non-finite numbers as null.
TEST(SnapshotWriter, PythonJsonModuleAcceptsTheText) {
    // Named by the process: builds of other trees may run this test at the same time.
    const std::string stem =
        testing::TempDir() + "vantrel_snapshot_writer_test_" + std::to_string(getpid());
    const std::string path = stem + ".json";
    {
        std::ofstream file(path, std::ios::binary);
        file << written(populated());
    }
    const std::string script =
        "import json,sys\n"
        "d=json.load(open(sys.argv[1],encoding='utf-8'),parse_constant=lambda c:sys.exit(3))\n"
        "keys=['level','level_count','title','objective','hint','time','limit','won',"
        "'finished','failed','transfer_window','player','echoes','cargo','walls','plates',"
        "'doors','fans','sockets','moon_gravity','interaction','goal','goal_size','spawn',"
        "'room_size','room_height','lift','gravity_controls','cargo_gravity_off','message',"
        "'trajectory']\n"
        "assert list(d.keys())==keys, list(d.keys())\n"
        "assert d['title']=='\\u0428\\u043b\\u044e\\u0437'\n"
        "assert d['trajectory'][1]==[None,1.0,-1e-7]\n"
        "assert d['plates'][1]['load_maximum'] is None\n"
        "assert 'cycle_remaining' not in d['doors'][1]\n"
        "assert d['player']['held']==3 and d['echoes'][1]['held']==-1\n";
    const std::string script_path = stem + ".py";
    {
        std::ofstream file(script_path, std::ios::binary);
        file << script;
    }
    // A Windows build under Wine has no python3 to start; a status of 0 means success on
    // every platform, where the other values differ.
    const bool python_runs = std::system("python3 -c pass") == 0;
    const int status = python_runs ? std::system(("python3 " + script_path + " " + path + " 2>&1").c_str()) : 0;
    std::remove(path.c_str());
    std::remove(script_path.c_str());
    if (!python_runs) {
        GTEST_SKIP() << "python3 is not available";
    }
    EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace vantrel_sim
