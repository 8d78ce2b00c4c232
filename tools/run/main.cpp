// vantrel-run: drives one world with input lines exactly as the engine drives a LoopCore,
// writing one snapshot line per input line, so that a program can play it through a pipe.

#include <charconv>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "binary_stdio.hpp"
#include "session.hpp"

namespace {

using namespace vantrel_sim;

constexpr int EXIT_REJECTED_INPUT = 1;
constexpr int EXIT_BAD_USE = 2;
constexpr int EXIT_INTERNAL_FAULT = 3;

constexpr const char* USAGE =
    "usage: vantrel-run --version\n"
    "       vantrel-run --rooms\n"
    "       vantrel-run [--room N] [--final] [FILE | -]\n"
    "Steps a fresh world with every line of FILE (standard input when absent or -)\n"
    "and writes the snapshot after each line, or only the last one with --final.\n";

enum class Mode { Version, Rooms, Run };

struct Options {
    Mode mode = Mode::Run;
    std::optional<std::int32_t> room;
    bool final_only = false;
    std::optional<std::string> file;
};

std::optional<std::int32_t> parse_room(std::string_view text) {
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<Options> parse_options(int argc, char** argv) {
    Options options;
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        options.mode = Mode::Version;
        return options;
    }
    if (argc == 2 && std::string_view(argv[1]) == "--rooms") {
        options.mode = Mode::Rooms;
        return options;
    }
    for (int k = 1; k < argc; ++k) {
        const std::string_view arg = argv[k];
        if (arg == "--room" && !options.room && k + 1 < argc) {
            options.room = parse_room(argv[++k]);
            if (!options.room) {
                return std::nullopt;
            }
        } else if (arg == "--final" && !options.final_only) {
            options.final_only = true;
        } else if ((arg == "-" || !arg.starts_with('-')) && !options.file) {
            options.file = std::string(arg);
        } else {
            return std::nullopt;
        }
    }
    return options;
}

void write_line(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The descriptions the engine's error print would receive, one line each.
void report(const Reply& reply) {
    for (const Fault& fault : reply.faults) {
        std::fprintf(stderr, "%s\n", fault.description.c_str());
    }
}

// Reads up to and including the next line feed, keeping any byte (a NUL too) for the reader
// to judge; false at the end of the input with nothing read.
bool read_line(std::FILE* input, std::string& line) {
    line.clear();
    int c = 0;
    while ((c = std::getc(input)) != EOF) {
        line.push_back(static_cast<char>(c));
        if (c == '\n') {
            return true;
        }
    }
    return !line.empty();
}

std::string_view without_line_end(std::string_view line) {
    if (line.ends_with('\n')) {
        line.remove_suffix(1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
    }
    return line;
}

int bad_use(const char* problem, const char* detail) {
    std::fprintf(stderr, "vantrel-run: %s%s\n%s", problem, detail, USAGE);
    return EXIT_BAD_USE;
}

// The C libraries' own texts differ between platforms; these read the same everywhere.
const char* reason_of(int error) {
    switch (error) {
        case ENOENT: return "no such file or directory";
        case EACCES: return "permission denied";
        case EISDIR: return "is a directory";
        default: return "input/output error";
    }
}

int unreadable(const char* problem, const std::string& name, int error) {
    return bad_use(problem, (name + ": " + reason_of(error)).c_str());
}

int run(const Options& options, std::FILE* input, const char* input_name) {
    Game game = new_world();
    if (options.room) {
        report(select_room_text(game, *options.room));
    }
    bool any_rejected = false;
    std::optional<std::string> last;
    std::string line;
    while (read_line(input, line)) {
        Reply reply = step_text(game, without_line_end(line));
        report(reply);
        any_rejected = any_rejected || reply.input_rejected;
        if (options.final_only) {
            last = std::move(reply.text);
        } else {
            write_line(reply.text);
        }
    }
    if (std::ferror(input)) {
        return unreadable("cannot read ", input_name, errno);
    }
    if (options.final_only) {
        if (!last) {
            Reply reply = snapshot_text(game);
            report(reply);
            last = std::move(reply.text);
        }
        write_line(*last);
    }
    return any_rejected ? EXIT_REJECTED_INPUT : EXIT_SUCCESS;
}

int run_with_file(const Options& options) {
    if (!options.file || *options.file == "-") {
        return run(options, stdin, "standard input");
    }
    // Windows refuses to open a directory where POSIX fails only on reading it.
    std::error_code ignored;
    if (std::filesystem::is_directory(*options.file, ignored)) {
        return unreadable("cannot read ", *options.file, EISDIR);
    }
    std::FILE* input = std::fopen(options.file->c_str(), "rb");
    if (input == nullptr) {
        return unreadable("cannot open ", *options.file, errno);
    }
    const int status = run(options, input, options.file->c_str());
    std::fclose(input);
    return status;
}

int dispatch(const Options& options) {
    switch (options.mode) {
        case Mode::Version:
            write_line(VERSION);
            return EXIT_SUCCESS;
        case Mode::Rooms:
            for (std::string_view title : room_names()) {
                write_line(title);
            }
            return EXIT_SUCCESS;
        case Mode::Run:
            break;
    }
    return run_with_file(options);
}

}  // namespace

int main(int argc, char** argv) {
    vantrel_tools::use_binary_stdio();
    const std::optional<Options> options = parse_options(argc, argv);
    if (!options) {
        return bad_use("bad arguments", "");
    }
    // A broken invariant of the simulation: the engine would report it and skip the call.
    try {
        return dispatch(*options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vantrel-run: internal error: %s\n", error.what());
        return EXIT_INTERNAL_FAULT;
    }
}
