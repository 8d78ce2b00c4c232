#pragma once

// Starting the headless runner as a separate program, as other programs use it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel_host {

// Runs `program` with `args`, standard input read from the file `in` and standard output
// and error written to the files `out` and `err`; the exit status, or -1 when it could not
// be started or did not exit normally.
int run_with_files(const std::string& program, const std::vector<std::string>& args,
                   const std::string& in, const std::string& out, const std::string& err);

// A running program whose standard input and output are pipes held by this process.
struct PipedChild {
    std::intptr_t process = -1;
    std::intptr_t to_child = -1;
    std::intptr_t from_child = -1;
};

// False when the program could not be started.
bool start_piped(const std::string& program, const std::vector<std::string>& args,
                 PipedChild& child);
bool write_to_child(PipedChild& child, std::string_view text);
// One line with its line feed; waits at most `timeout_ms` for each byte and returns what
// came so far when none comes, or at the end of the child's output.
std::string read_line_from_child(PipedChild& child, int timeout_ms);
void close_child_input(PipedChild& child);
// Closes the pipe from the child, waits for it to end and gives its exit status.
int wait_for_child(PipedChild& child);

// Different for every process running at the same time: keeps temporary file names apart.
std::uint64_t current_process_id();

}  // namespace vantrel_host
