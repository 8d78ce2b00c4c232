// The headless runner's contract, checked by running the built vantrel-run against what the
// same world gives in process.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "session.hpp"

extern char** environ;

namespace {

using namespace vantrel_sim;

const std::string EMPTY_INPUT_ERROR = "Invalid simulation input: EOF while parsing a value at line 1 column 0";

struct Finished {
    int status = -1;
    std::string out;
    std::string err;
};

std::string temp_path(const char* name) {
    return std::string(::testing::TempDir()) + "vantrel_run_" + std::to_string(getpid()) + "_" + name;
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

std::vector<char*> argv_of(std::vector<std::string>& args) {
    args.insert(args.begin(), VANTREL_RUN_PATH);
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    return argv;
}

int wait_for(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs the runner with `input` on standard input; output goes through files, so no pipe fills.
Finished run(std::vector<std::string> args, const std::string& input = "") {
    const std::string in = temp_path("in"), out = temp_path("out"), err = temp_path("err");
    write_file(in, input);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv = argv_of(args);
    pid_t child = 0;
    Finished finished;
    if (posix_spawn(&child, VANTREL_RUN_PATH, &actions, nullptr, argv.data(), environ) == 0) {
        finished.status = wait_for(child);
    }
    posix_spawn_file_actions_destroy(&actions);
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

// Reads one line from `fd`, waiting at most two seconds for each piece.
std::string read_line(int fd) {
    std::string line;
    char c = 0;
    pollfd ready{fd, POLLIN, 0};
    while (poll(&ready, 1, 2000) == 1 && read(fd, &c, 1) == 1) {
        line += c;
        if (c == '\n') {
            break;
        }
    }
    return line;
}

TEST(HeadlessRunner, AnswersEachLineAtOnceThroughAPipe) {
    int to_child[2];
    int from_child[2];
    ASSERT_EQ(pipe(to_child), 0);
    ASSERT_EQ(pipe(from_child), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, to_child[0], 0);
    posix_spawn_file_actions_adddup2(&actions, from_child[1], 1);
    posix_spawn_file_actions_addclose(&actions, to_child[1]);
    posix_spawn_file_actions_addclose(&actions, from_child[0]);
    std::vector<std::string> args;
    std::vector<char*> argv = argv_of(args);
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, VANTREL_RUN_PATH, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(to_child[0]);
    close(from_child[1]);

    const std::vector<std::string> inputs = {R"({"dt":0.05,"mz":1})", R"({"dt":0.05,"yaw":1})"};
    std::istringstream expected(expected_lines(inputs));
    for (const std::string& input : inputs) {
        const std::string line = input + "\n";
        ASSERT_EQ(write(to_child[1], line.data(), line.size()), static_cast<ssize_t>(line.size()));
        std::string want;
        std::getline(expected, want);
        EXPECT_EQ(read_line(from_child[0]), want + "\n");
    }
    close(to_child[1]);
    EXPECT_EQ(read_line(from_child[0]), "");
    close(from_child[0]);
    EXPECT_EQ(wait_for(child), 0);
}

}  // namespace
