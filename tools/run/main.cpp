// vantrel-run: drives one world with input lines exactly as the engine drives a LoopCore,
// writing one snapshot line per input line, so that a program can play it through a pipe.

#include <charconv>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

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

int run(const Options& options, std::FILE* input, const char* input_name) {
    Game game = new_world();
    if (options.room) {
        report(select_room_text(game, *options.room));
    }
    bool any_rejected = false;
    std::optional<std::string> last;
    char* buffer = nullptr;
    std::size_t capacity = 0;
    ssize_t length = 0;
    while ((length = getline(&buffer, &capacity, input)) >= 0) {
        Reply reply = step_text(game, without_line_end({buffer, static_cast<std::size_t>(length)}));
        report(reply);
        any_rejected = any_rejected || reply.input_rejected;
        if (options.final_only) {
            last = std::move(reply.text);
        } else {
            write_line(reply.text);
        }
    }
    const int read_error = std::ferror(input) ? errno : 0;
    std::free(buffer);
    if (read_error != 0) {
        return bad_use("cannot read ", (std::string(input_name) + ": " + std::strerror(read_error)).c_str());
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
    std::FILE* input = std::fopen(options.file->c_str(), "rb");
    if (input == nullptr) {
        return bad_use("cannot open ", (*options.file + ": " + std::strerror(errno)).c_str());
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
