// Our reader and writer side by side with the libraries a user would otherwise pick,
// on the same documents.
#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <string>
#include <variant>
#include <vector>

#include "game.hpp"
#include "session.hpp"
#include "snapshot_emit.hpp"

namespace {

using namespace vantrel_sim;

// The heaviest document a frame writes: the largest room, eight echoes, a held cargo.
const Snapshot& heavy_snapshot() {
    static const Snapshot snapshot = [] {
        Game game = new_world();
        game.select_room(14);
        for (int e = 0; e < 8; ++e) {
            for (int frame = 0; frame < 60; ++frame) {
                Input input;
                input.dt = 1.0f / 60.0f;
                input.mz = 1.0f;
                input.yaw = static_cast<float>(frame) * 0.05f;
                game.update(input);
            }
            Input commit;
            commit.commit = true;
            game.update(commit);
        }
        game.cargo[0].owner = 0;
        game.actors[0].held = 0;
        return game.snapshot();
    }();
    return snapshot;
}

void BM_WriteSnapshot_Own(benchmark::State& state) {
    const Snapshot& snapshot = heavy_snapshot();
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string text;
        text.reserve(128);
        write_snapshot(snapshot, text);
        bytes += text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

struct RapidSink {
    rapidjson::Writer<rapidjson::StringBuffer>& writer;
    void begin_object() { writer.StartObject(); }
    void end_object() { writer.EndObject(); }
    void begin_array() { writer.StartArray(); }
    void end_array() { writer.EndArray(); }
    void key(const char* name) { writer.Key(name); }
    void number(float value) {
        if (std::isfinite(value)) {
            writer.Double(static_cast<double>(value));
        } else {
            writer.Null();
        }
    }
    void integer(std::int64_t value) { writer.Int64(value); }
    void boolean(bool value) { writer.Bool(value); }
    void text(std::string_view value) {
        writer.String(value.data(), static_cast<rapidjson::SizeType>(value.size()));
    }
    void null() { writer.Null(); }
};

void BM_WriteSnapshot_RapidJSON(benchmark::State& state) {
    const Snapshot& snapshot = heavy_snapshot();
    std::size_t bytes = 0;
    for (auto _ : state) {
        rapidjson::StringBuffer buffer;
        rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
        RapidSink sink{writer};
        emit_snapshot(sink, snapshot);
        bytes += buffer.GetSize();
        benchmark::DoNotOptimize(buffer.GetString());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

// nlohmann builds a tree and then dumps it; ordered_json keeps the key order.
struct NlohmannSink {
    std::vector<nlohmann::ordered_json> stack;
    std::vector<std::string> keys;
    std::string pending_key;
    nlohmann::ordered_json root;

    void put(nlohmann::ordered_json value) {
        if (stack.empty()) {
            root = std::move(value);
        } else if (stack.back().is_array()) {
            stack.back().push_back(std::move(value));
        } else {
            stack.back()[pending_key] = std::move(value);
        }
    }
    void begin_object() {
        keys.push_back(pending_key);
        stack.emplace_back(nlohmann::ordered_json::object());
    }
    void begin_array() {
        keys.push_back(pending_key);
        stack.emplace_back(nlohmann::ordered_json::array());
    }
    void end() {
        nlohmann::ordered_json done = std::move(stack.back());
        stack.pop_back();
        pending_key = keys.back();
        keys.pop_back();
        put(std::move(done));
    }
    void end_object() { end(); }
    void end_array() { end(); }
    void key(const char* name) { pending_key = name; }
    void number(float value) {
        if (std::isfinite(value)) {
            put(value);
        } else {
            put(nullptr);
        }
    }
    void integer(std::int64_t value) { put(value); }
    void boolean(bool value) { put(value); }
    void text(std::string_view value) { put(std::string(value)); }
    void null() { put(nullptr); }
};

void BM_WriteSnapshot_Nlohmann(benchmark::State& state) {
    const Snapshot& snapshot = heavy_snapshot();
    std::size_t bytes = 0;
    for (auto _ : state) {
        NlohmannSink sink;
        emit_snapshot(sink, snapshot);
        const std::string text = sink.root.dump();
        bytes += text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

BENCHMARK(BM_WriteSnapshot_Own)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteSnapshot_RapidJSON)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteSnapshot_Nlohmann)->Unit(benchmark::kMicrosecond);

const std::vector<std::string>& input_texts() {
    static const std::vector<std::string> texts = {
        "{}",
        R"({"dt":0.016666668,"mx":0.0,"mz":1.0,"yaw":-1.2345678,"pitch":0.25})",
        R"({"dt":0.016666668,"mx":-0.70710677,"mz":0.70710677,"yaw":3.1415927,"pitch":-0.4,"jump":false,"interact":true,"throw":false,"commit":false,"reset":false,"retry":false,"undo":false,"next":false})",
        R"([0.016666668,0,1,0.5,0,true,false,false,false,false,false,false,false])",
    };
    return texts;
}

void BM_ReadInput_Own(benchmark::State& state) {
    const std::string& text = input_texts()[static_cast<std::size_t>(state.range(0))];
    for (auto _ : state) {
        auto result = parse_input(text);
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

template <typename Get>
void read_fields(Input& input, Get&& get) {
    get("dt", input.dt, 0);
    get("mx", input.mx, 1);
    get("mz", input.mz, 2);
    get("yaw", input.yaw, 3);
    get("pitch", input.pitch, 4);
    get("jump", input.jump, 5);
    get("interact", input.interact, 6);
    get("throw", input.throw_, 7);
    get("commit", input.commit, 8);
    get("reset", input.reset, 9);
    get("retry", input.retry, 10);
    get("undo", input.undo, 11);
    get("next", input.next, 12);
}

void BM_ReadInput_RapidJSON(benchmark::State& state) {
    const std::string& text = input_texts()[static_cast<std::size_t>(state.range(0))];
    for (auto _ : state) {
        rapidjson::Document document;
        document.Parse(text.data(), text.size());
        Input input;
        if (!document.HasParseError()) {
            read_fields(input, [&](const char* key, auto& field, rapidjson::SizeType index) {
                const rapidjson::Value* value = nullptr;
                if (document.IsObject()) {
                    auto member = document.FindMember(key);
                    value = member == document.MemberEnd() ? nullptr : &member->value;
                } else if (document.IsArray() && index < document.Size()) {
                    value = &document[index];
                }
                if (value == nullptr) return;
                if constexpr (std::is_same_v<std::decay_t<decltype(field)>, bool>) {
                    if (value->IsBool()) field = value->GetBool();
                } else {
                    if (value->IsNumber()) field = value->GetFloat();
                }
            });
        }
        benchmark::DoNotOptimize(input);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_ReadInput_Nlohmann(benchmark::State& state) {
    const std::string& text = input_texts()[static_cast<std::size_t>(state.range(0))];
    for (auto _ : state) {
        const auto document = nlohmann::json::parse(text, nullptr, false);
        Input input;
        if (!document.is_discarded()) {
            read_fields(input, [&](const char* key, auto& field, std::size_t index) {
                const nlohmann::json* value = nullptr;
                if (document.is_object()) {
                    auto member = document.find(key);
                    value = member == document.end() ? nullptr : &*member;
                } else if (document.is_array() && index < document.size()) {
                    value = &document[index];
                }
                if (value == nullptr) return;
                if constexpr (std::is_same_v<std::decay_t<decltype(field)>, bool>) {
                    if (value->is_boolean()) field = value->get<bool>();
                } else {
                    if (value->is_number()) field = value->get<float>();
                }
            });
        }
        benchmark::DoNotOptimize(input);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

BENCHMARK(BM_ReadInput_Own)->DenseRange(0, 3)->ArgName("text");
BENCHMARK(BM_ReadInput_RapidJSON)->DenseRange(0, 3)->ArgName("text");
BENCHMARK(BM_ReadInput_Nlohmann)->DenseRange(0, 3)->ArgName("text");

}  // namespace
