// The headless runner's contract, checked by running the built vantrel-run against what the
// same world gives in process.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.hpp"
#include "runner_command.hpp"
#include "session.hpp"

namespace {

using namespace vantrel_sim;
using namespace vantrel_host;

const std::string EMPTY_INPUT_ERROR = "Invalid simulation input: EOF while parsing a value at line 1 column 0";

struct Finished {
    int status = -1;
    std::string out;
    std::string err;
};

std::string temp_path(const char* name) {
    return std::string(::testing::TempDir()) + "vantrel_run_" + std::to_string(current_process_id()) + "_" + name;
}

std::string read_file(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void write_file(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The runner's arguments after those of its command that come before them (an emulator's).
std::vector<std::string> runner_args(const std::vector<std::string>& args) {
    std::vector<std::string> all(RUNNER_COMMAND.begin() + 1, RUNNER_COMMAND.end());
    all.insert(all.end(), args.begin(), args.end());
    return all;
}

// Runs the runner with `input` on standard input; output goes through files, so no pipe fills.
Finished run(const std::vector<std::string>& args, const std::string& input = "") {
    const std::string in = temp_path("in"), out = temp_path("out"), err = temp_path("err");
    write_file(in, input);
    Finished finished;
    finished.status = run_with_files(RUNNER_COMMAND[0], runner_args(args), in, out, err);
    finished.out = read_file(out);
    finished.err = read_file(err);
    std::remove(in.c_str());
    std::remove(out.c_str());
    std::remove(err.c_str());
    return finished;
}

// What a LoopCore would return for these inputs, one line each.
std::string expected_lines(const std::vector<std::string>& inputs, std::int64_t room = -1) {
    Game game = new_world();
    select_room_text(game, room);
    std::string lines;
    for (const std::string& input : inputs) {
        lines += step_text(game, input).text + "\n";
    }
    return lines;
}

std::string last_line(const std::string& lines) {
    const std::size_t start = lines.rfind('\n', lines.size() - 2);
    return lines.substr(start == std::string::npos ? 0 : start + 1);
}

TEST(HeadlessRunner, PrintsTheVersionAndTheRoomTitles) {
    const Finished version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "Ilde core 0.3\n");
    EXPECT_EQ(version.err, "");

    const Finished rooms = run({"--rooms"});
    EXPECT_EQ(rooms.status, 0);
    std::string titles;
    for (std::string_view title : room_names()) {
        titles += std::string(title) + "\n";
    }
    EXPECT_EQ(rooms.out, titles);
    EXPECT_EQ(rooms.out.rfind("Первый рейс\n", 0), 0u);
}

TEST(HeadlessRunner, WritesOneSnapshotPerLineAndReportsLinesThatDoNotParse) {
    const std::string input = "{\"dt\":0.05,\"mz\":1}\r\n\n{\"dt\":0.1,\"mx\":1}";
    const Finished finished = run({}, input);
    EXPECT_EQ(finished.status, 1);
    EXPECT_EQ(finished.out, expected_lines({R"({"dt":0.05,"mz":1})", "", R"({"dt":0.1,"mx":1})"}));
    EXPECT_EQ(finished.err, EMPTY_INPUT_ERROR + "\n");
}

TEST(HeadlessRunner, StripsOnlyTheLineEndAndTheCarriageReturnBeforeIt) {
    // "\r" alone is whitespace that the reader counts, so a kept CR shows in the column.
    const Finished finished = run({"-"}, "\r\n\r\r\n");
    EXPECT_EQ(finished.status, 1);
    EXPECT_EQ(finished.err, EMPTY_INPUT_ERROR + "\n" +
                                "Invalid simulation input: EOF while parsing a value at line 1 column 1\n");
    EXPECT_EQ(finished.out, expected_lines({"", "\r"}));
}

TEST(HeadlessRunner, ValidLinesExitZeroAndReadFromAFileAsFromStandardInput) {
    const std::string path = temp_path("frames");
    write_file(path, "{}\n[0.016,0,1,0.5,0,true]\n");
    const Finished from_file = run({"--room", "2", path});
    std::remove(path.c_str());
    EXPECT_EQ(from_file.status, 0);
    EXPECT_EQ(from_file.err, "");
    EXPECT_EQ(from_file.out, expected_lines({"{}", "[0.016,0,1,0.5,0,true]"}, 2));
    EXPECT_EQ(run({"--room", "2"}, "{}\n[0.016,0,1,0.5,0,true]\n").out, from_file.out);
}

TEST(HeadlessRunner, FinalWritesOnlyTheLastSnapshot) {
    const std::vector<std::string> inputs = {R"({"dt":0.1,"mz":1})", R"({"dt":0.1,"mz":1,"jump":true})"};
    const Finished finished = run({"--final", "--room", "4"}, inputs[0] + "\n" + inputs[1] + "\n");
    EXPECT_EQ(finished.status, 0);
    EXPECT_EQ(finished.out, last_line(expected_lines(inputs, 4)));

    Game fresh = new_world();
    select_room_text(fresh, 5);
    EXPECT_EQ(run({"--room", "5", "--final"}).out, snapshot_text(fresh).text + "\n");
}

TEST(HeadlessRunner, RoomIndicesAreIgnoredAsSelectRoomIgnoresThem) {
    const std::string fresh = snapshot_text(new_world()).text + "\n";
    for (const char* room : {"-1", "16", "2147483647", "-2147483648"}) {
        const Finished finished = run({"--room", room, "--final"});
        EXPECT_EQ(finished.status, 0) << room;
        EXPECT_EQ(finished.out, fresh) << room;
    }
}

TEST(HeadlessRunner, BadArgumentsAndUnreadableFilesExitTwoWithUsage) {
    const std::vector<std::vector<std::string>> bad = {
        {"--room", "2147483648"}, {"--room", "3x"}, {"--room"},       {"--frobnicate"},
        {"a", "b"},               {"--final", "--final"}, {"--version", "--final"},
        {"/nonexistent/frames"},  {"/"},
    };
    for (const std::vector<std::string>& args : bad) {
        const Finished finished = run(args, "{}\n");
        EXPECT_EQ(finished.status, 2) << args[0];
        EXPECT_EQ(finished.out, "") << args[0];
        EXPECT_NE(finished.err.find("usage: vantrel-run"), std::string::npos) << args[0];
    }
}

std::string first_line(const std::string& text) { return text.substr(0, text.find('\n') + 1); }

TEST(HeadlessRunner, NamesUnreadableFilesInTheSameWordsOnEveryPlatform) {
    const std::string missing = temp_path("missing");
    EXPECT_EQ(first_line(run({missing}).err), "vantrel-run: cannot open " + missing + ": no such file or directory\n");

    const std::string directory = temp_path("directory");
    std::filesystem::create_directory(directory);
    const Finished from_directory = run({directory});
    std::filesystem::remove(directory);
    EXPECT_EQ(from_directory.status, 2);
    EXPECT_EQ(first_line(from_directory.err), "vantrel-run: cannot read " + directory + ": is a directory\n");
}

TEST(HeadlessRunner, AnswersEachLineAtOnceThroughAPipe) {
    PipedChild child;
    ASSERT_TRUE(start_piped(RUNNER_COMMAND[0], runner_args({}), child));
    const std::vector<std::string> inputs = {R"({"dt":0.05,"mz":1})", R"({"dt":0.05,"yaw":1})"};
    std::istringstream expected(expected_lines(inputs));
    for (const std::string& input : inputs) {
        const std::string line = input + "\n";
        ASSERT_TRUE(write_to_child(child, line));
        std::string want;
        std::getline(expected, want);
        EXPECT_EQ(read_line_from_child(child, 2000), want + "\n");
    }
    close_child_input(child);
    EXPECT_EQ(read_line_from_child(child, 2000), "");
    EXPECT_EQ(wait_for_child(child), 0);
}

}  // namespace
