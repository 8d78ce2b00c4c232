#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "child_process.hpp"

extern char** environ;

namespace vantrel_host {

namespace {

std::vector<char*> argv_of(const std::string& program, std::vector<std::string>& args) {
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    return argv;
}

int exit_status(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool spawn(const std::string& program, std::vector<std::string> args,
           posix_spawn_file_actions_t& actions, pid_t& child) {
    std::vector<char*> argv = argv_of(program, args);
    const bool started =
        posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    return started;
}

}  // namespace

int run_with_files(const std::string& program, const std::vector<std::string>& args,
                   const std::string& in, const std::string& out, const std::string& err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t child = 0;
    return spawn(program, args, actions, child) ? exit_status(child) : -1;
}

bool start_piped(const std::string& program, const std::vector<std::string>& args,
                 PipedChild& child) {
    int to_child[2];
    int from_child[2];
    if (pipe(to_child) != 0 || pipe(from_child) != 0) {
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, to_child[0], 0);
    posix_spawn_file_actions_adddup2(&actions, from_child[1], 1);
    posix_spawn_file_actions_addclose(&actions, to_child[1]);
    posix_spawn_file_actions_addclose(&actions, from_child[0]);
    pid_t pid = 0;
    const bool started = spawn(program, args, actions, pid);
    close(to_child[0]);
    close(from_child[1]);
    child = {pid, to_child[1], from_child[0]};
    if (!started) {
        close_child_input(child);
        close(from_child[0]);
    }
    return started;
}

bool write_to_child(PipedChild& child, std::string_view text) {
    return write(static_cast<int>(child.to_child), text.data(), text.size()) ==
           static_cast<ssize_t>(text.size());
}

std::string read_line_from_child(PipedChild& child, int timeout_ms) {
    const int fd = static_cast<int>(child.from_child);
    std::string line;
    char c = 0;
    pollfd ready{fd, POLLIN, 0};
    while (poll(&ready, 1, timeout_ms) == 1 && read(fd, &c, 1) == 1) {
        line += c;
        if (c == '\n') {
            break;
        }
    }
    return line;
}

void close_child_input(PipedChild& child) {
    close(static_cast<int>(child.to_child));
    child.to_child = -1;
}

int wait_for_child(PipedChild& child) {
    close(static_cast<int>(child.from_child));
    child.from_child = -1;
    return exit_status(static_cast<pid_t>(child.process));
}

std::uint64_t current_process_id() {
    return static_cast<std::uint64_t>(getpid());
}

}  // namespace vantrel_host
